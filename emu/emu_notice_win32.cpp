#include "emu_notice.h"

#include <windows.h>
// After <windows.h>, whose types it uses.
#include <dbt.h>

#include <cstddef>
#include <vector>

namespace tarno_emu {

namespace {

// The HID device interface class.
constexpr GUID HidInterfaceClass = { 0x4d1e55b2, 0xf16f, 0x11cf, { 0x88, 0xcb, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30 } };

}

void announceDevice(bool arrival, const std::string &nodePath)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, nodePath.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return;
    const std::size_t size
        = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + std::size_t(length) * sizeof(wchar_t);
    std::vector<unsigned char> record(size);
    auto *header = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W *>(record.data());
    header->dbcc_size = DWORD(size);
    header->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    header->dbcc_classguid = HidInterfaceClass;
    MultiByteToWideChar(CP_UTF8, 0, nodePath.c_str(), -1, header->dbcc_name, length);
    // Every top-level window gets it, hidden ones too; a window that hangs is skipped after a second.
    SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, arrival ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE,
                        LPARAM(header), SMTO_ABORTIFHUNG, 1000, nullptr);
}

}
