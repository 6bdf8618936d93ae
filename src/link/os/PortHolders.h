#pragma once
// Which other processes have a terminal device open, from /proc (POSIX only;
// where there is no /proc nobody is found). Windows needs none of this: it
// opens a port for one program at a time.
#include <sys/types.h>

#include <string>
#include <vector>

namespace tivolan {

struct PortHolder {
  int pid = 0;
  std::string name;  // the process's command name, "minicom"
};

struct PortHolders {
  // Hold the device itself and would take what the device sends.
  std::vector<PortHolder> users;
  // Hold the master side of this pseudo-terminal: the line's other end (a
  // simulator, socat), which may keep the slave open as well and is no user.
  // Empty when this process holds the master itself.
  std::vector<PortHolder> otherEnd;
};

// Every process but this one that has the character device `device` open.
PortHolders FindPortHolders(dev_t device);

// The terminal open on `fd` is the one this process runs in (its controlling
// terminal), under whatever name it was opened: /dev/tty, /dev/stdin, its
// /dev/pts path. That is the user's own terminal, never a serial line.
bool IsOwnTerminal(int fd);

}  // namespace tivolan
