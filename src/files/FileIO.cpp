#include "files/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tivolan {
namespace {

namespace fs = std::filesystem;

// Linux gives up after 40 links; so do we, which also ends a loop of links.
constexpr int kMaxLinkHops = 40;

[[noreturn]] void Fail(FileAction action, const std::string& path, FileReason reason, std::error_code error = {}) {
  throw FileError({action, reason, path, error});
}
[[noreturn]] void CannotCreate(const std::string& path, FileReason reason, std::error_code error = {}) {
  Fail(FileAction::Create, path, reason, error);
}
[[noreturn]] void CannotCreate(const std::string& path, std::error_code error) {
  CannotCreate(path, FileReason::System, error);
}
[[noreturn]] void CannotOpen(const std::string& path, FileReason reason, std::error_code error = {}) {
  Fail(FileAction::Open, path, reason, error);
}

std::error_code LastError() { return {errno, std::generic_category()}; }

fs::path TempNameBeside(const fs::path& target) {
  std::random_device random;
  fs::path name(".");
  name += target.filename();
  name += ".tmp" + std::to_string(random() % 1000000);
  return target.parent_path() / name;
}

// The name a write through `file` lands on: symbolic links followed to the
// end, a dangling one to its missing target.
fs::path FinalTarget(const fs::path& file, const std::string& path) {
  fs::path current = file;
  for (int hops = 0;; ++hops) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(current, ec))) return current;  // errors: the caller's status says
    if (hops == kMaxLinkHops) CannotCreate(path, std::make_error_code(std::errc::too_many_symbolic_link_levels));
    const fs::path next = fs::read_symlink(current, ec);
    if (ec) CannotCreate(path, ec);
    // Relative to the link's folder; an absolute `next` replaces it whole.
    current = current.parent_path() / next;
  }
}

struct SaveTarget {
  fs::path file;                   // what the rename replaces or creates
  std::optional<fs::perms> perms;  // the existing file's, for the new one
};

// Where a save may go; the check and the save share these rules.
SaveTarget ResolveSaveTarget(const std::string& path) {
  if (path.empty()) CannotCreate(path, FileReason::NoFileName);
  SaveTarget target{FinalTarget(PathFromUtf8(path), path), std::nullopt};
  std::error_code ec;
  const fs::file_status status = fs::status(target.file, ec);
  switch (status.type()) {
    case fs::file_type::regular:
      target.perms = status.permissions() & fs::perms::all;
      return target;
    case fs::file_type::directory:
      CannotCreate(path, FileReason::Folder);
    case fs::file_type::not_found:
      break;
    case fs::file_type::none:  // not even its type could be read
      CannotCreate(path, FileReason::Inaccessible, ec);
    default:  // a device, FIFO or socket: a rename would replace it by a file
      CannotCreate(path, FileReason::NotRegular);
  }
  if (target.file.filename().empty()) CannotCreate(path, FileReason::NoFileName);  // "name/"
  const fs::path folder = target.file.has_parent_path() ? target.file.parent_path() : fs::path(".");
  const fs::file_status folderStatus = fs::status(folder, ec);
  if (folderStatus.type() == fs::file_type::none) CannotCreate(path, FileReason::Inaccessible, ec);
  if (!fs::is_directory(folderStatus)) CannotCreate(path, FileReason::NoFolder);
  return target;
}

// A file under a fresh name beside the target, removed again unless it has
// been renamed over the target. Creating it is also how the folder is judged
// writable: only trying gets root, ACLs and read-only file systems right.
class TempFile {
 public:
  TempFile(const SaveTarget& target, const std::string& path) : path_(path) {
    for (int attempt = 0;; ++attempt) {
      name_ = TempNameBeside(target.file);
      std::error_code ec;
      const fs::file_type type = fs::symlink_status(name_, ec).type();
      if (type == fs::file_type::not_found) break;
      // Never open a name that exists: it is someone's file, or a link.
      if (type == fs::file_type::none) CannotCreate(path, FileReason::Inaccessible, ec);
      if (attempt == 100) CannotCreate(path, std::make_error_code(std::errc::file_exists));
    }
    out_.open(name_, std::ios::binary | std::ios::trunc);
    if (!out_) CannotCreate(path, LastError());
    try {
      // Before any bytes go in, so that a private file is never readable by others.
      if (target.perms) KeepPermissions(*target.perms);
    } catch (...) {
      Discard();  // no destructor runs for a constructor that throws
      throw;
    }
  }
  ~TempFile() {
    if (!renamed_) Discard();
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  void Write(const std::string& bytes) {
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out_.close();
    if (!out_) CannotCreate(path_, LastError());
  }

  void RenameOver(const fs::path& file) {
    std::error_code ec;
    fs::rename(name_, file, ec);
    if (ec) CannotCreate(path_, ec);
    renamed_ = true;
  }

 private:
  void Discard() {
    if (out_.is_open()) out_.close();  // Windows cannot remove an open file
    std::error_code ignored;
    fs::remove(name_, ignored);
  }

  void KeepPermissions(fs::perms wanted) {
    std::error_code ec;
    // File systems without Unix permissions refuse a change but already agree.
    if ((fs::status(name_, ec).permissions() & fs::perms::all) == wanted) return;
    fs::permissions(name_, wanted, fs::perm_options::replace, ec);
    if (ec) CannotCreate(path_, ec);
  }

  const std::string path_;
  fs::path name_;
  std::ofstream out_;
  bool renamed_ = false;
};

// Reads through `next(buffer, size)`, which returns the bytes read, 0 at the
// end and -1 on an error.
template <class Next>
std::string ReadToEnd(const std::string& path, std::size_t maxBytes, Next next) {
  std::string data;
  char chunk[65536];
  for (;;) {
    const long long n = next(chunk, sizeof chunk);
    if (n == 0) return data;
    if (n < 0) Fail(FileAction::Read, path, FileReason::System, LastError());
    data.append(chunk, static_cast<std::size_t>(n));
    if (data.size() > maxBytes) Fail(FileAction::Read, path, FileReason::TooLarge);
  }
}

#ifndef _WIN32
struct Descriptor {
  int fd;
  ~Descriptor() { ::close(fd); }
};
#endif

}  // namespace

FileError::FileError(FileSystemCause cause) : CausedError(cause, FileErrorText(cause)) {}

std::string FileReasonText(const FileSystemCause& cause) {
  switch (cause.reason) {
    case FileReason::System:
    case FileReason::Inaccessible:
      return cause.error.message();
    case FileReason::Folder:
      return "It is a folder";
    case FileReason::NotRegular:
      return "It is not a regular file";
    case FileReason::TooLarge:
      return "It is too large";
    case FileReason::NoFileName:
      return "No file name";
    case FileReason::NoFolder:
      return "The folder does not exist";
    case FileReason::Unexplained:
      break;
  }
  return "write error";
}

std::string FileErrorText(const FileSystemCause& cause) {
  const std::string file = "file \"" + cause.path + "\"";
  switch (cause.action) {
    case FileAction::Open:
      return "Cannot open " + file + ". " + FileReasonText(cause);
    case FileAction::Read:
      return cause.reason == FileReason::TooLarge ? "File \"" + cause.path + "\" is too large" : "Cannot read " + file;
    case FileAction::Create:
      return "Cannot create " + file + ". " + FileReasonText(cause);
    case FileAction::WriteOutput:
      break;
  }
  return "Cannot write standard output. " + FileReasonText(cause);
}

fs::path PathFromUtf8(const std::string& text) {
  return fs::path(std::u8string(text.begin(), text.end()));
}

std::string Utf8FromPath(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string ReadWholeFile(const std::string& path, std::size_t maxBytes) {
  const fs::path file = PathFromUtf8(path);
  // Refused before opening: opening a FIFO waits for a writer, and opening a
  // serial port or a tape does things of its own.
  std::error_code ec;
  const fs::file_status status = fs::status(file, ec);
  // A path whose type cannot be found out (a folder without search right, a
  // loop of links) cannot be opened either; its cause says so.
  if (status.type() == fs::file_type::none) CannotOpen(path, FileReason::Inaccessible, ec);
  if (fs::is_directory(status)) CannotOpen(path, FileReason::Folder);
  if (fs::exists(status) && !fs::is_regular_file(status)) CannotOpen(path, FileReason::NotRegular);
#ifdef _WIN32
  std::ifstream in(file, std::ios::binary);
  if (!in) CannotOpen(path, FileReason::System, LastError());
  return ReadToEnd(path, maxBytes, [&in](char* buffer, std::size_t size) -> long long {
    in.read(buffer, static_cast<std::streamsize>(size));
    if (in.bad()) return -1;
    return in.gcount();
  });
#else
  // The name may have been swapped since the check: an open that never
  // waits, and the type of what was actually opened, settle it.
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) CannotOpen(path, FileReason::System, LastError());
  const Descriptor opened{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0) CannotOpen(path, FileReason::System, LastError());
  if (S_ISDIR(info.st_mode)) CannotOpen(path, FileReason::Folder);
  if (!S_ISREG(info.st_mode)) CannotOpen(path, FileReason::NotRegular);
  return ReadToEnd(path, maxBytes, [fd](char* buffer, std::size_t size) -> long long {
    for (;;) {
      const ssize_t n = ::read(fd, buffer, size);
      if (n >= 0 || errno != EINTR) return n;
    }
  });
#endif
}

void CheckSaveTarget(const std::string& path) {
  const TempFile probe(ResolveSaveTarget(path), path);
}

void WriteFileReplacing(const std::string& path, const std::string& bytes) {
  const SaveTarget target = ResolveSaveTarget(path);
  TempFile temp(target, path);
  temp.Write(bytes);
  temp.RenameOver(target.file);
}

}  // namespace tivolan
