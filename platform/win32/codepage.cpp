#include "platform/win32/codepage.h"

#include <windows.h>

namespace Win32 {

std::string ansiCodePageText(const wchar_t *text)
{
    if (!text)
        return std::string();
    const int needed = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return std::string();
    std::string converted(std::size_t(needed), '\0');
    const int written = WideCharToMultiByte(CP_ACP, 0, text, -1, &converted[0], needed, nullptr, nullptr);
    if (written != needed)
        return std::string();
    converted.pop_back();
    return converted;
}

} // namespace Win32
