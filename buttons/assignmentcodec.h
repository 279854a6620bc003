// The bytes of the button-assignment messages: read and write an assignment, write and read macro events.
#ifndef ASSIGNMENTCODEC_H
#define ASSIGNMENTCODEC_H

#include <QVector>
#include <QtGlobal>

// One macro event, as it travels to and from the mouse.
struct micro_Event
{
    quint8 usage = 0;      // HID keyboard usage id
    quint8 up = 0;         // 0: key went down, 1: key went up
    quint16 delay_ms = 0;  // since the previous event

    bool operator==(const micro_Event &other) const
    {
        return usage == other.usage && up == other.up && delay_ms == other.delay_ms;
    }
};

namespace FuncType {
constexpr quint8 Function = 0;
constexpr quint8 Combination = 1;
constexpr quint8 Macro = 2;
} // namespace FuncType

constexpr int MaxMacroEvents = 100;
constexpr int MacroChunkEvents = 14;
constexpr int MacroChunkBufferSize = 64;
constexpr quint8 CustomComboId = 0;

// The delay field of an event that follows a pause of `elapsedMs`: a pause longer than the field holds is kept
// as the longest one rather than wrapped to a short one.
quint16 macroDelay(qint64 elapsedMs);

// The assignment as the read-assignment reply carries it.
struct ButtonAssignment
{
    quint8 funcType = 0;
    quint8 funcId = 0;
    quint8 param = 0;   // modifier byte of a custom combination, or the macro's event count
    quint8 key = 0;     // usage id of a custom combination's key

    static ButtonAssignment fromReply(const quint8 *reply);
    // The count byte is signed on the mouse: 128 and above mean no events.
    int macroEventCount() const;
};

struct MacroChunk
{
    int first;
    int count;
};

class AssignmentCodec
{
public:
    // Control commands are built in the shared command buffer: only the bytes listed are set.
    static void readAssignment(quint8 *command, quint8 buttonId);
    static void writeAssignment(quint8 *command, quint8 buttonId, quint8 funcType, quint8 funcId);
    static void writeCombination(quint8 *command, quint8 buttonId, quint8 modifiers, quint8 usage);
    static void writeMacro(quint8 *command, quint8 buttonId, bool recordDelay, quint8 eventCount);

    // Chunks of at most 14 events; chunk k starts at event 14k.
    static QVector<MacroChunk> macroChunks(int eventCount);
    // Fills the header and the chunk's events into a reused 64-byte buffer; later bytes keep their content.
    static void macroWriteChunk(quint8 *buffer, quint8 buttonId, const MacroChunk &chunk,
                                const QVector<micro_Event> &events);
    // Fills the whole 64-byte buffer of a chunk read.
    static void macroReadChunk(quint8 *buffer, quint8 buttonId, const MacroChunk &chunk);
    static QVector<micro_Event> macroReplyEvents(const quint8 *reply, int count);
};

#endif
