#include "link/os/PortHolders.h"

#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/sysmacros.h>
#endif

#include <charconv>
#include <filesystem>
#include <fstream>
#include <optional>
#include <utility>

namespace tivolan {
namespace {

namespace fs = std::filesystem;

// Linux numbers: /dev/ptmx is 5:2; the slaves of /dev/pts are majors
// 136..143, their index being the pty's number.
constexpr unsigned kPtmxMajor = 5;
constexpr unsigned kPtmxMinor = 2;
constexpr unsigned kPtySlaveMajor = 136;
constexpr unsigned kPtySlaveMajors = 8;

std::optional<long> PtyIndexOfSlave(dev_t device) {
  const unsigned m = major(device);
  if (m < kPtySlaveMajor || m >= kPtySlaveMajor + kPtySlaveMajors) return std::nullopt;
  return static_cast<long>((m - kPtySlaveMajor) * 256 + minor(device));
}

// The pty a master descriptor belongs to, as the kernel states it in
// fdinfo ("tty-index:"); nothing on kernels that do not say.
std::optional<long> PtyIndexOfMaster(const fs::path& fdinfo) {
  std::ifstream in(fdinfo);
  const std::string key = "tty-index:";
  for (std::string line; std::getline(in, line);) {
    if (line.compare(0, key.size(), key) != 0) continue;
    const std::size_t digits = line.find_first_not_of(" \t", key.size());
    long index = -1;
    if (digits == std::string::npos ||
        std::from_chars(line.data() + digits, line.data() + line.size(), index).ec != std::errc())
      return std::nullopt;
    return index;
  }
  return std::nullopt;
}

std::string CommandName(const fs::path& process) {
  std::ifstream in(process / "comm");
  std::string name;
  std::getline(in, name);
  return name;
}

struct Holding {
  bool device = false;
  bool master = false;
};

Holding WhatProcessHolds(const fs::path& process, dev_t device, std::optional<long> ptyIndex) {
  Holding held;
  std::error_code ec;
  for (fs::directory_iterator fd(process / "fd", ec), end; !ec && fd != end; fd.increment(ec)) {
    struct stat info {};
    if (::stat(fd->path().c_str(), &info) != 0 || !S_ISCHR(info.st_mode)) continue;
    if (info.st_rdev == device) {
      held.device = true;
    } else if (ptyIndex && major(info.st_rdev) == kPtmxMajor && minor(info.st_rdev) == kPtmxMinor) {
      held.master = held.master || PtyIndexOfMaster(process / "fdinfo" / fd->path().filename()) == ptyIndex;
    }
  }
  return held;
}

}  // namespace

PortHolders FindPortHolders(dev_t device) {
  const std::optional<long> ptyIndex = PtyIndexOfSlave(device);
  const std::string self = std::to_string(::getpid());
  bool selfIsOtherEnd = false;
  std::vector<std::pair<PortHolder, Holding>> others;
  std::error_code ec;
  for (fs::directory_iterator proc("/proc", ec), end; !ec && proc != end; proc.increment(ec)) {
    const std::string pid = proc->path().filename().string();
    if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
    const Holding held = WhatProcessHolds(proc->path(), device, ptyIndex);
    if (pid == self) selfIsOtherEnd = held.master;
    else if (held.device || held.master) others.push_back({{std::stoi(pid), CommandName(proc->path())}, held});
  }
  // A program that made the pseudo-terminal itself (a test, the simulator
  // run in-process) is its other end: a child that inherited a copy of the
  // master then uses the line like anyone else.
  PortHolders found;
  for (const auto& [process, held] : others) {
    if (held.master && !selfIsOtherEnd) found.otherEnd.push_back(process);
    else if (held.device) found.users.push_back(process);
  }
  return found;
}

// Only a process's own controlling terminal tells its session.
bool IsOwnTerminal(int fd) {
  const pid_t session = ::tcgetsid(fd);
  return session != -1 && session == ::getsid(0);
}

}  // namespace tivolan
