// The buttons page's traffic with the mouse, over the shared command buffer and the query operations.
#ifndef BUTTONDEVICE_H
#define BUTTONDEVICE_H

#include "buttons/assignmentcodec.h"

#include <optional>

// Reads a button's assignment into deviceContext.controlReply; false when the mouse never answered.
bool readButtonAssignment(quint8 buttonId);
// Reads the first `count` macro events of a button in chunks; nothing when a chunk could not be read.
std::optional<QVector<micro_Event>> readMacroEvents(quint8 buttonId, int count);

void writeButtonFunction(quint8 buttonId, quint8 funcType, quint8 funcId);
void writeButtonCombination(quint8 buttonId, quint8 modifiers, quint8 usage);
// The assignment, then the events on the config channel, which is opened for them and closed afterwards.
// False when the mouse refused a chunk of events; the buttons page does not look, an import does.
bool writeButtonMacro(quint8 buttonId, bool recordDelay, const QVector<micro_Event> &events);

#endif
