#include "buttons/assignmentcodec.h"

#include "device/deviceprotocol.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int EventSize = 4;
constexpr int ChunkEventsOffset = 4;
constexpr int ReplyEventsOffset = 6;

void putEvent(quint8 *at, const micro_Event &event)
{
    at[0] = event.usage;
    at[1] = event.up;
    at[2] = quint8(event.delay_ms & 0xFF);
    at[3] = quint8(event.delay_ms >> 8);
}

micro_Event takeEvent(const quint8 *at)
{
    micro_Event event;
    event.usage = at[0];
    event.up = at[1];
    event.delay_ms = quint16(at[2] | (at[3] << 8));
    return event;
}

} // namespace

quint16 macroDelay(qint64 elapsedMs)
{
    return quint16(std::clamp<qint64>(elapsedMs, 0, 0xFFFF));
}

ButtonAssignment ButtonAssignment::fromReply(const quint8 *reply)
{
    ButtonAssignment assignment;
    assignment.funcType = reply[4];
    assignment.funcId = reply[5];
    assignment.param = reply[6];
    assignment.key = reply[7];
    return assignment;
}

int ButtonAssignment::macroEventCount() const
{
    return std::max(0, int(qint8(param)));
}

void AssignmentCodec::readAssignment(quint8 *command, quint8 buttonId)
{
    command[0] = DeviceCommand::ReadButton;
    command[1] = buttonId;
}

void AssignmentCodec::writeAssignment(quint8 *command, quint8 buttonId, quint8 funcType, quint8 funcId)
{
    command[0] = DeviceCommand::WriteButton;
    command[1] = buttonId;
    command[2] = funcType;
    command[3] = funcId;
}

void AssignmentCodec::writeCombination(quint8 *command, quint8 buttonId, quint8 modifiers, quint8 usage)
{
    writeAssignment(command, buttonId, FuncType::Combination, CustomComboId);
    command[4] = modifiers;
    command[5] = usage;
}

void AssignmentCodec::writeMacro(quint8 *command, quint8 buttonId, bool recordDelay, quint8 eventCount)
{
    writeAssignment(command, buttonId, FuncType::Macro, recordDelay ? 1 : 0);
    command[4] = eventCount;
}

QVector<MacroChunk> AssignmentCodec::macroChunks(int eventCount)
{
    QVector<MacroChunk> chunks;
    for (int first = 0; first < eventCount; first += MacroChunkEvents)
        chunks.append({ first, std::min(MacroChunkEvents, eventCount - first) });
    return chunks;
}

void AssignmentCodec::macroWriteChunk(quint8 *buffer, quint8 buttonId, const MacroChunk &chunk,
                                      const QVector<micro_Event> &events)
{
    buffer[0] = DeviceCommand::WriteMacro;
    buffer[1] = buttonId;
    buffer[2] = quint8(chunk.count);
    buffer[3] = quint8(chunk.first);
    for (int j = 0; j < chunk.count; ++j)
        putEvent(buffer + ChunkEventsOffset + EventSize * j, events.at(chunk.first + j));
}

void AssignmentCodec::macroReadChunk(quint8 *buffer, quint8 buttonId, const MacroChunk &chunk)
{
    std::memset(buffer, 0, MacroChunkBufferSize);
    buffer[0] = DeviceCommand::ReadMacro;
    buffer[1] = buttonId;
    buffer[2] = quint8(chunk.count);
    buffer[3] = quint8(chunk.first);
}

QVector<micro_Event> AssignmentCodec::macroReplyEvents(const quint8 *reply, int count)
{
    QVector<micro_Event> events;
    events.reserve(count);
    for (int j = 0; j < count; ++j)
        events.append(takeEvent(reply + ReplyEventsOffset + EventSize * j));
    return events;
}
