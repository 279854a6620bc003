// The buttons page's traffic with the mouse: the jobs the page hands to the mouse link, and the calls they make
// on the link's thread over the shared command buffer and the query operations.
#ifndef BUTTONDEVICE_H
#define BUTTONDEVICE_H

#include "buttons/assignmentcodec.h"
#include "device/mouselink.h"

#include <QMetaType>

#include <optional>

// A button as read from the mouse: its assignment and, for a macro, the events that could be read.
struct ButtonRead
{
    quint8 buttonId = 0;
    ButtonAssignment assignment;
    QVector<micro_Event> events;
};
Q_DECLARE_METATYPE(ButtonRead)

// Reads button `buttonId` (a ButtonRead); no answer when the mouse did not answer the assignment query.
MouseLink::Job readButtonJob(quint8 buttonId);
// Sends the assignment, then the events on the config channel.
MouseLink::Job writeButtonMacroJob(quint8 buttonId, bool recordDelay, const QVector<micro_Event> &events);

// On the link's thread.
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
