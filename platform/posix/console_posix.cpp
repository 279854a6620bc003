#include "platform/console.h"

bool useParentConsole()
{
    // A process inherits its parent's terminal here.
    return true;
}
