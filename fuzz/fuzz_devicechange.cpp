// Device-change records as the system hands them to the main window, the decision taken on them, and the
// device path the library returns, against which removals are matched.
#include "fuzzsupport.h"

#include "device/devicecontext.h"
#include "device/deviceprotocol.h"
#include "device/mouselifetime.h"
#include "platform/devicechange.h"
#include "platform/devicepath.h"
#include "ui/shellstate.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceDiagnostics();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const quint32 events[] = { DeviceBroadcast::Arrival, DeviceBroadcast::RemoveComplete, 0x0007, 0x8001 };
    const quint32 event = input.PickValueInArray(events);
    const MouseState state = MouseState(input.ConsumeIntegralInRange<int>(0, 3));

    // The path comes from the library as NUL-terminated UTF-16 of any length.
    std::vector<tarno_char16> path;
    const size_t pathUnits = input.ConsumeIntegralInRange<size_t>(0, 700);
    for (size_t i = 0; i < pathUnits; ++i)
        path.push_back(input.ConsumeIntegral<tarno_char16>());
    path.push_back(0);
    const QByteArray stored = capDevicePath(systemCodePagePath(path.data()));
    fuzzCheck(stored.size() < DevicePathSize && !stored.contains('\0'), "the path fits devicePath");
    std::memcpy(deviceContext.devicePath, stored.constData(), size_t(stored.size()) + 1);

    // The record in a buffer of exactly the size the system says is there, so that any read past it is caught.
    const std::vector<uint8_t> record = input.ConsumeRemainingBytes<uint8_t>();
    const std::optional<DeviceChange> change = parseDeviceBroadcast(event, record.data(), record.size());
    if (!change)
        return 0;
    fuzzCheck(size_t(change->interfaceName.size()) * 2 + DeviceBroadcast::NameOffset <= record.size()
                  || change->interfaceName.isEmpty(),
              "the name lies within the record");
    fuzzCheck(!change->interfaceName.contains(QChar(0)), "the name ends at its NUL");

    const DeviceChangeAction action
        = deviceChangeAction(*change, state, isOpenDeviceName(change->interfaceName, stored));
    if (change->kind == DeviceChange::Arrival)
        fuzzCheck(action != DeviceChangeAction::CloseMouse, "an arrival never closes the mouse");
    else
        fuzzCheck(action != DeviceChangeAction::OpenMouse, "a removal never opens the mouse");
    return 0;
}
