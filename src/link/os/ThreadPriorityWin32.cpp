#include <windows.h>

#include "link/os/ThreadPriority.h"

namespace tivolan {
void LowerCurrentThreadPriority() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); }
}  // namespace tivolan
