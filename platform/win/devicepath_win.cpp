#include "platform/devicepath.h"

#include <windows.h>

QByteArray systemCodePagePath(const tarno_char16 *path)
{
    const auto *wide = reinterpret_cast<const wchar_t *>(path);
    const int needed = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return QByteArray();
    QByteArray text(needed, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text.data(), needed, nullptr, nullptr);
    text.chop(1);
    return text;
}
