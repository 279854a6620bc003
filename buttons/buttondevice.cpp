#include "buttons/buttondevice.h"

#include "device/devicecontext.h"
#include "device/deviceprotocol.h"

#include <array>

MouseLink::Job readButtonJob(quint8 buttonId)
{
    return [buttonId](DeviceContext &device) {
        if (!readButtonAssignment(buttonId))
            return QVariant();
        ButtonRead read;
        read.buttonId = buttonId;
        read.assignment = ButtonAssignment::fromReply(device.controlReply);
        if (read.assignment.funcType == FuncType::Macro) {
            read.events
                = readMacroEvents(buttonId, read.assignment.macroEventCount()).value_or(QVector<micro_Event>());
        }
        return QVariant::fromValue(read);
    };
}

MouseLink::Job writeButtonMacroJob(quint8 buttonId, bool recordDelay, const QVector<micro_Event> &events)
{
    return [buttonId, recordDelay, events](DeviceContext &) {
        writeButtonMacro(buttonId, recordDelay, events);
        return QVariant(true);
    };
}

bool readButtonAssignment(quint8 buttonId)
{
    AssignmentCodec::readAssignment(deviceContext.commandBuffer, buttonId);
    return queryControl(deviceContext.commandBuffer, deviceContext.controlReply);
}

std::optional<QVector<micro_Event>> readMacroEvents(quint8 buttonId, int count)
{
    QVector<micro_Event> events;
    for (const MacroChunk &chunk : AssignmentCodec::macroChunks(count)) {
        std::array<quint8, MacroChunkBufferSize> command;
        AssignmentCodec::macroReadChunk(command.data(), buttonId, chunk);
        std::array<quint8, ConfigReplySize> reply {};
        // Whatever a failed read left in the reply is not the macro; the rest is not worth the retries either.
        if (!queryConfig(command.data(), ConfigCommandSize, reply.data()))
            return std::nullopt;
        events += AssignmentCodec::macroReplyEvents(reply.data(), chunk.count);
    }
    return events;
}

void writeButtonFunction(quint8 buttonId, quint8 funcType, quint8 funcId)
{
    AssignmentCodec::writeAssignment(deviceContext.commandBuffer, buttonId, funcType, funcId);
    sendCommandBuffer();
}

void writeButtonCombination(quint8 buttonId, quint8 modifiers, quint8 usage)
{
    AssignmentCodec::writeCombination(deviceContext.commandBuffer, buttonId, modifiers, usage);
    sendCommandBuffer();
}

bool writeButtonMacro(quint8 buttonId, bool recordDelay, const QVector<micro_Event> &events)
{
    DeviceContext &d = deviceContext;
    AssignmentCodec::writeMacro(d.commandBuffer, buttonId, recordDelay, quint8(events.size()));
    sendCommandBuffer();

    d.OpenConfigDevice(TARNO_VENDOR_ID, TARNO_PRODUCT_ID);
    std::array<quint8, MacroChunkBufferSize> chunkBuffer {};
    bool taken = true;
    for (const MacroChunk &chunk : AssignmentCodec::macroChunks(events.size())) {
        AssignmentCodec::macroWriteChunk(chunkBuffer.data(), buttonId, chunk, events);
        // Status 0 is the one result of a config write the library defines.
        if (d.WrtieConfig(ConfigCommandSize, chunkBuffer.data()) != 0)
            taken = false;
    }
    d.CloseConfigDevice();
    return taken;
}
