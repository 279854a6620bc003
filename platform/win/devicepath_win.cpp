#include "platform/devicepath.h"

#include "platform/win32/codepage.h"

QByteArray systemCodePagePath(const tarno_char16 *path)
{
    static_assert(sizeof(tarno_char16) == sizeof(wchar_t), "the library's path is Windows UTF-16");
    return QByteArray::fromStdString(Win32::ansiCodePageText(reinterpret_cast<const wchar_t *>(path)));
}
