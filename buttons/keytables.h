// Windows virtual-key codes, USB HID keyboard usage ids and the names the dialog shows for keys.
#ifndef KEYTABLES_H
#define KEYTABLES_H

#include "buttons/modifierkeys.h"

#include <QString>
#include <QtGlobal>

// Virtual-key code to HID keyboard usage id; codes the table does not cover are returned unchanged.
quint8 vk_to_usage(quint8 vk);
// The inverse of vk_to_usage, plus the non-US # key (the same key code as the backslash key).
quint8 usage_to_vk(quint8 usage);
// Whether a usage id is one of the keys the table maps (the configuration file refuses others).
bool isKnownUsage(quint8 usage);
// Whether the mouse can send the key of a virtual-key code: one the table maps. Volume, media and browser keys
// are no keyboard keys to the mouse.
bool hasUsage(quint8 vk);
// The display name of a virtual-key code; empty for "no key".
QString key_name(quint8 vk);
// The name a macro list shows for a usage id: its key's name, or the number of an id the table does not map.
QString usageName(quint8 usage);

#endif
