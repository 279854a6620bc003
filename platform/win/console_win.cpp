#include "platform/console.h"

#include "platform/win32/console.h"

bool useParentConsole()
{
    return Win32::attachParentConsole();
}
