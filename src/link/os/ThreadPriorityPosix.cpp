#include <sys/resource.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/syscall.h>
#endif

#include "link/os/ThreadPriority.h"

namespace tivolan {

void LowerCurrentThreadPriority() {
#ifdef __linux__
  // Linux keeps a nice value per thread.
  const id_t self = static_cast<id_t>(::syscall(SYS_gettid));
  const int current = ::getpriority(PRIO_PROCESS, self);
  ::setpriority(PRIO_PROCESS, self, current + 1);
#endif
}

}  // namespace tivolan
