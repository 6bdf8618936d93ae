// What Linux tells about a serial port: the open itself, the processes that
// hold the device (the serial device's own /proc scan), the UUCP lock files,
// the device's group or owner and the USB adapter behind it (from sysfs).
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "link/os/PortHolders.h"
#include "platform/PortState.h"

namespace tivolan {
namespace {

namespace fs = std::filesystem;

std::string ReadLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  return line;
}

std::vector<std::string> Named(const std::vector<PortHolder>& processes) {
  std::vector<std::string> names;
  for (const PortHolder& p : processes) names.push_back("процесс " + std::to_string(p.pid) + " (" + p.name + ")");
  return names;
}

// The serial device's own scan, so that what is said here is what its open
// refuses.
void AddHolders(dev_t device, PortState& s) {
  const PortHolders found = FindPortHolders(device);
  s.holders = Named(found.users);
  s.otherEnd = Named(found.otherEnd);
}

void AddLockFiles(const std::string& path, std::vector<std::string>& holders) {
  const std::string name = fs::path(path).filename().string();
  for (const char* dir : {"/run/lock", "/var/lock"}) {
    const fs::path lock = fs::path(dir) / ("LCK.." + name);
    std::error_code ec;
    if (fs::exists(lock, ec)) holders.push_back("файл блокировки " + lock.string());
  }
}

std::string GroupOf(gid_t gid) {
  const group* g = ::getgrgid(gid);
  return g ? g->gr_name : std::to_string(gid);
}

std::string UserOf(uid_t uid) {
  const passwd* p = ::getpwuid(uid);
  return p ? p->pw_name : std::to_string(uid);
}

// Whom to ask for the port: its group, when joining that group is what
// gives access (it may read and write, and it is no administrators' group);
// else its owner, whom nothing but the port's own rights can change.
void AddWhoMayOpen(const struct stat& info, PortState& s) {
  const bool groupMayUse = (info.st_mode & S_IRGRP) && (info.st_mode & S_IWGRP);
  if (groupMayUse && info.st_gid != 0)
    s.group = GroupOf(info.st_gid);
  else
    s.owner = UserOf(info.st_uid);
}

// "FTDI FT232R USB UART" and its serial number: the USB device above the
// tty in sysfs.
void AddAdapter(const std::string& path, PortState& s) {
  std::error_code ec;
  fs::path device = fs::canonical(fs::path("/sys/class/tty") / fs::path(path).filename() / "device", ec);
  for (int up = 0; !ec && up < 6 && !device.empty() && device != device.root_path(); ++up, device = device.parent_path()) {
    const std::string product = ReadLine(device / "product");
    if (product.empty()) continue;
    const std::string maker = ReadLine(device / "manufacturer");
    s.adapter = maker.empty() ? product : maker + " " + product;
    s.serial = ReadLine(device / "serial");
    return;
  }
}

std::string KindOf(const struct stat& info) {
  if (S_ISDIR(info.st_mode)) return "это папка";
  if (S_ISREG(info.st_mode)) return "это обычный файл";
  if (S_ISFIFO(info.st_mode)) return "это канал (FIFO)";
  if (S_ISSOCK(info.st_mode)) return "это сокет";
  return "это устройство, но не терминал";
}

}  // namespace

PortState DiagnosePort(const std::string& path) {
  PortState s;
  s.path = path;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    s.condition = errno == ENOENT ? PortCondition::Missing : PortCondition::Unknown;
    s.detail = std::strerror(errno);
    return s;
  }
  if (!S_ISCHR(info.st_mode)) {
    s.condition = PortCondition::NotSerial;
    s.kind = KindOf(info);
    return s;
  }
  AddAdapter(path, s);
  const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    s.detail = std::strerror(error);
    if (error == EACCES || error == EPERM) {
      s.condition = PortCondition::NoPermission;
      AddWhoMayOpen(info, s);
    } else if (error == EBUSY) {
      s.condition = PortCondition::InUse;
      AddHolders(info.st_rdev, s);
    } else {
      s.condition = error == ENXIO || error == ENODEV ? PortCondition::Missing : PortCondition::Unknown;
    }
    return s;
  }
  const bool terminal = ::isatty(fd) != 0;
  const bool own = terminal && IsOwnTerminal(fd);
  ::close(fd);
  if (!terminal || own) {
    s.condition = PortCondition::NotSerial;
    s.kind = own ? "это терминал, в котором запущена программа" : KindOf(info);
    return s;
  }
  AddHolders(info.st_rdev, s);
  AddLockFiles(path, s.holders);
  s.condition = s.holders.empty() ? PortCondition::Free : PortCondition::InUse;
  return s;
}

}  // namespace tivolan
