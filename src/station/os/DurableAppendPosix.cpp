#include "station/os/DurableAppend.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tivolan::station {

std::optional<std::string> AppendDurably(const std::string& path, const std::string& bytes,
                                         unsigned long long* sizeBefore) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return std::strerror(errno);
  std::optional<std::string> error;
  struct stat info {};
  if (::fstat(fd, &info) != 0) error = std::strerror(errno);
  if (!error && sizeBefore) *sizeBefore = static_cast<unsigned long long>(info.st_size);
  for (std::size_t done = 0; !error && done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) error = std::strerror(n < 0 ? errno : ENOSPC);
    else done += static_cast<std::size_t>(n);
  }
  // Only a regular file has a disk to force the row to.
  if (!error && S_ISREG(info.st_mode) && ::fsync(fd) != 0) error = std::strerror(errno);
  if (::close(fd) != 0 && !error) error = std::strerror(errno);
  return error;
}

}  // namespace tivolan::station
