// Macro events read back in chunks (0xF0): the count byte of the assignment decides how many chunks are asked
// for, each reply carries its events from byte 6.
#include "fuzzsupport.h"

#include "buttons/assignmentcodec.h"
#include "buttons/buttondevice.h"
#include "device/devicecontext.h"
#include "device/deviceprotocol.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceDiagnostics();
    FuzzDevice::install();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const quint8 buttonId = input.ConsumeIntegral<quint8>();
    ButtonAssignment assignment;
    assignment.param = input.ConsumeIntegral<quint8>();
    const int count = assignment.macroEventCount();
    fuzzCheck(count >= 0 && count <= 127, "the count byte is signed");

    FuzzDevice::script({}, QByteArray::fromStdString(input.ConsumeRemainingBytesAsString()));
    const std::optional<QVector<micro_Event>> events = readMacroEvents(buttonId, count);
    if (events)
        fuzzCheck(events->size() == count, "a read macro has the announced length");

    int next = 0;
    int previous = -1;
    for (const QByteArray &command : FuzzDevice::configWrites()) {
        fuzzCheck(command.size() == ConfigCommandSize, "config commands are 63 bytes");
        fuzzCheck(quint8(command.at(0)) == DeviceCommand::ReadMacro && quint8(command.at(1)) == buttonId,
                  "macro reads of the selected button");
        const int chunk = quint8(command.at(2));
        const int first = quint8(command.at(3));
        fuzzCheck(chunk >= 1 && chunk <= MacroChunkEvents && first + chunk <= count, "chunks within the macro");
        // A retried read asks for the same chunk again.
        fuzzCheck(first == next || first == previous, "chunks in order");
        previous = first;
        next = first + chunk;
    }
    return 0;
}
