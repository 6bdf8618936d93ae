// Whole-file reads and saves against what can stand at a path: regular
// files, links, folders, FIFOs, sockets and device nodes.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "files/FileIO.h"
#include "support/TempDir.h"

namespace tivolan {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kNotRegular = "It is not a regular file";
const std::string kFolder = "It is a folder";
const std::string kNoFolder = "The folder does not exist";

template <class F>
std::string ErrorOf(F&& action) {
  try {
    action();
  } catch (const FileError& e) {
    return e.what();
  }
  return "(no error)";
}

std::string Created(const std::string& path, const std::string& reason) {
  return "Cannot create file \"" + path + "\". " + reason;
}

std::string Opened(const std::string& path, const std::string& reason) {
  return "Cannot open file \"" + path + "\". " + reason;
}

std::string Slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Permission bits as octal text, so that a mismatch reads well.
std::string Octal(fs::perms bits) {
  char text[8];
  std::snprintf(text, sizeof text, "0%o", static_cast<unsigned>(bits & fs::perms::all));
  return text;
}

std::string BitsOf(const fs::path& file) { return Octal(fs::status(file).permissions()); }

void MakeFifo(const fs::path& file) { ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0) << std::strerror(errno); }

void MakeSocket(const fs::path& file) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(file.native().size(), sizeof address.sun_path);
  std::strcpy(address.sun_path, file.c_str());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0) << std::strerror(errno);
  const int bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  const int error = errno;
  ::close(fd);  // the socket's name stays behind
  ASSERT_EQ(bound, 0) << std::strerror(error);
}

// While a reader waits in open() on the FIFO, a writer opening it lets the
// read end; keeps trying until `read` is done.
template <class Future>
void UnblockReader(Future& read, const fs::path& fifo) {
  while (read.wait_for(10ms) == std::future_status::timeout) {
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) ::close(writer);
  }
}

class FileIOFolder : public ::testing::Test, protected test::TempDir {
 protected:
  FileIOFolder() : TempDir("tivolan-fileio") {}

  // Temporary files left in the folder or below it.
  int Leftovers() const {
    int count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
      count += entry.path().filename().string().find(".tmp") != std::string::npos;
    return count;
  }

  // Reads `path` on its own thread, so that a read waiting on `fifo` fails
  // the test instead of hanging it.
  std::string ReadGuarded(const std::string& path, const fs::path& fifo) const {
    auto read = std::async(std::launch::async, [path] { return ErrorOf([&] { ReadWholeFile(path, 1 << 20); }); });
    if (read.wait_for(5s) == std::future_status::timeout) {
      ADD_FAILURE() << "reading \"" << path << "\" waited for a writer";
      UnblockReader(read, fifo);
    }
    return read.get();
  }
};

class FileIOSave : public FileIOFolder {};
class FileIOCheck : public FileIOFolder {};
class FileIORead : public FileIOFolder {};
class FileIOCheckDeathTest : public FileIOFolder {};

TEST_F(FileIOSave, ReplacesARegularFileAndCreatesAMissingOne) {
  Write("old.cf8", "old contents");
  WriteFileReplacing(Path("old.cf8"), "new");
  WriteFileReplacing(Path("fresh.cf8"), "fresh");
  EXPECT_EQ(Slurp(dir / "old.cf8"), "new");
  EXPECT_EQ(Slurp(dir / "fresh.cf8"), "fresh");
  EXPECT_EQ(Leftovers(), 0);
}

TEST_F(FileIOSave, KeepsThePermissionBitsOfTheFileItReplaces) {
  for (const fs::perms bits : {fs::perms(0600), fs::perms(0640), fs::perms(0444), fs::perms(0755)}) {
    const fs::path file = dir / "kept.cf8";
    std::ofstream(file) << "old";
    fs::permissions(file, bits);
    WriteFileReplacing(file.string(), "new");
    EXPECT_EQ(BitsOf(file), Octal(bits));
    EXPECT_EQ(Slurp(file), "new");
    fs::remove(file);
  }
  // A new file gets what any new file in the folder gets.
  std::ofstream(dir / "reference") << "";
  WriteFileReplacing(Path("new.cf8"), "new");
  EXPECT_EQ(BitsOf(dir / "new.cf8"), BitsOf(dir / "reference"));
  EXPECT_EQ(Leftovers(), 0);
}

TEST_F(FileIOSave, ReplacesTheTargetOfALinkAndKeepsTheLink) {
  fs::create_directory(dir / "sub");
  std::ofstream(dir / "sub" / "real.cf8") << "old";
  fs::permissions(dir / "sub" / "real.cf8", fs::perms(0640));
  fs::create_symlink("sub/real.cf8", dir / "link.cf8");
  WriteFileReplacing(Path("link.cf8"), "new");
  ASSERT_TRUE(fs::is_symlink(fs::symlink_status(dir / "link.cf8")));
  EXPECT_EQ(fs::read_symlink(dir / "link.cf8"), "sub/real.cf8");
  EXPECT_EQ(Slurp(dir / "sub" / "real.cf8"), "new");
  EXPECT_EQ(BitsOf(dir / "sub" / "real.cf8"), "0640");
  EXPECT_EQ(Leftovers(), 0);
}

TEST_F(FileIOSave, FollowsAChainOfRelativeAndAbsoluteLinks) {
  std::ofstream(dir / "real.cf8") << "old";
  fs::create_symlink(dir / "real.cf8", dir / "second");  // absolute
  fs::create_symlink("second", dir / "first");           // relative
  WriteFileReplacing(Path("first"), "new");
  EXPECT_EQ(fs::read_symlink(dir / "first"), "second");
  EXPECT_EQ(fs::read_symlink(dir / "second"), dir / "real.cf8");
  EXPECT_EQ(Slurp(dir / "real.cf8"), "new");
  EXPECT_EQ(Leftovers(), 0);
}

TEST_F(FileIOSave, CreatesTheMissingTargetOfADanglingLink) {
  fs::create_directory(dir / "sub");
  fs::create_symlink("sub/new.cf8", dir / "dangling.cf8");
  WriteFileReplacing(Path("dangling.cf8"), "created");
  ASSERT_TRUE(fs::is_symlink(fs::symlink_status(dir / "dangling.cf8")));
  EXPECT_EQ(fs::read_symlink(dir / "dangling.cf8"), "sub/new.cf8");
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / "sub" / "new.cf8")));
  EXPECT_EQ(Slurp(dir / "sub" / "new.cf8"), "created");
  EXPECT_EQ(Leftovers(), 0);
}

TEST_F(FileIOSave, RefusesADanglingLinkIntoAMissingFolder) {
  fs::create_symlink("missing/new.cf8", dir / "dangling.cf8");
  EXPECT_EQ(ErrorOf([&] { WriteFileReplacing(Path("dangling.cf8"), "x"); }), Created(Path("dangling.cf8"), kNoFolder));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "dangling.cf8")));
  EXPECT_FALSE(fs::exists(dir / "missing"));
  EXPECT_EQ(Leftovers(), 0);
}

TEST_F(FileIOSave, RefusesFifosSocketsAndLinksToThemOrToDevices) {
  MakeFifo(dir / "fifo");
  MakeSocket(dir / "socket");
  fs::create_symlink("/dev/null", dir / "to-null");
  fs::create_symlink("fifo", dir / "to-fifo");
  for (const char* name : {"fifo", "socket", "to-null", "to-fifo"})
    EXPECT_EQ(ErrorOf([&] { WriteFileReplacing(Path(name), "x"); }), Created(Path(name), kNotRegular));
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status(dir / "fifo")));
  EXPECT_TRUE(fs::is_socket(fs::symlink_status(dir / "socket")));
  EXPECT_EQ(fs::read_symlink(dir / "to-null"), "/dev/null");
  EXPECT_EQ(fs::read_symlink(dir / "to-fifo"), "fifo");
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_EQ(Leftovers(), 0);
}

TEST_F(FileIOSave, RefusesADeviceNode) {
  // A private twin of /dev/full, so that a faulty save cannot replace the real one.
  const fs::path node = dir / "full";
  if (::mknod(node.c_str(), S_IFCHR | 0666, ::makedev(1, 7)) != 0)
    GTEST_SKIP() << "cannot make a device node here (" << std::strerror(errno) << "); needs root";
  EXPECT_EQ(ErrorOf([&] { WriteFileReplacing(node.string(), "x"); }), Created(node.string(), kNotRegular));
  EXPECT_TRUE(fs::is_character_file(fs::symlink_status(node)));
  EXPECT_EQ(Leftovers(), 0);
}

TEST_F(FileIOSave, RefusesFoldersAndLinksToFolders) {
  fs::create_directory(dir / "folder.cf8");
  fs::create_symlink("folder.cf8", dir / "to-folder.cf8");
  for (const char* name : {"folder.cf8", "to-folder.cf8"})
    EXPECT_EQ(ErrorOf([&] { WriteFileReplacing(Path(name), "x"); }), Created(Path(name), kFolder));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "to-folder.cf8")));
  EXPECT_TRUE(fs::is_empty(dir / "folder.cf8"));
  EXPECT_EQ(Leftovers(), 0);
}

TEST_F(FileIOSave, RefusesALoopOfLinks) {
  fs::create_symlink("b", dir / "a");
  fs::create_symlink("a", dir / "b");
  EXPECT_EQ(ErrorOf([&] { WriteFileReplacing(Path("a"), "x"); }),
            Created(Path("a"), std::make_error_code(std::errc::too_many_symbolic_link_levels).message()));
  EXPECT_EQ(fs::read_symlink(dir / "a"), "b");
  EXPECT_EQ(fs::read_symlink(dir / "b"), "a");
  EXPECT_EQ(Leftovers(), 0);
}

TEST_F(FileIOSave, ANameWithoutAFolderGoesToTheWorkingFolder) {
  const fs::path before = fs::current_path();
  fs::current_path(dir);
  const std::string error = ErrorOf([] { WriteFileReplacing("here.cf8", "here"); });
  fs::current_path(before);
  EXPECT_EQ(error, "(no error)");
  EXPECT_EQ(Slurp(dir / "here.cf8"), "here");
  EXPECT_EQ(Leftovers(), 0);
}

// The check gives the very error a save would, and a good target passes.
TEST_F(FileIOCheck, RefusesWhatASaveRefusesWithTheSameError) {
  fs::create_directory(dir / "folder");
  std::ofstream(dir / "regular.cf8") << "old";
  MakeFifo(dir / "fifo");
  MakeSocket(dir / "socket");
  fs::create_symlink("/dev/null", dir / "to-null");
  fs::create_symlink("fifo", dir / "to-fifo");
  fs::create_symlink("folder", dir / "to-folder");
  fs::create_symlink("missing/x.cf8", dir / "dangling");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "No file name"},
      {Path("folder"), kFolder},
      {Path("to-folder"), kFolder},
      {Path("fifo"), kNotRegular},
      {Path("to-fifo"), kNotRegular},
      {Path("socket"), kNotRegular},
      {Path("to-null"), kNotRegular},
      {Path("missing/x.cf8"), kNoFolder},
      {Path("dangling"), kNoFolder},
      {Path("regular.cf8/x.cf8"), kNoFolder},
      {Path("absent/"), "No file name"},
  };
  for (const auto& entry : cases) {
    const auto& path = entry.first;  // a lambda may not capture a structured binding in clang 14
    const auto& reason = entry.second;
    EXPECT_EQ(ErrorOf([&] { CheckSaveTarget(path); }), Created(path, reason));
    EXPECT_EQ(ErrorOf([&] { WriteFileReplacing(path, "x"); }), Created(path, reason));
  }
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status(dir / "fifo")));
  EXPECT_TRUE(fs::is_socket(fs::symlink_status(dir / "socket")));
  EXPECT_EQ(Slurp(dir / "regular.cf8"), "old");
  EXPECT_EQ(Leftovers(), 0);
}

TEST_F(FileIOCheck, PassesAGoodTargetAndChangesNothing) {
  std::ofstream(dir / "existing.cf8") << "old";
  fs::permissions(dir / "existing.cf8", fs::perms(0640));
  const auto modified = fs::last_write_time(dir / "existing.cf8");
  fs::create_directory(dir / "sub");
  fs::create_symlink("sub/target.cf8", dir / "dangling");
  for (const char* name : {"existing.cf8", "absent.cf8", "dangling"})
    EXPECT_EQ(ErrorOf([&] { CheckSaveTarget(Path(name)); }), "(no error)") << name;
  EXPECT_EQ(Slurp(dir / "existing.cf8"), "old");
  EXPECT_EQ(BitsOf(dir / "existing.cf8"), "0640");
  EXPECT_EQ(fs::last_write_time(dir / "existing.cf8"), modified);
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "absent.cf8")));
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "sub" / "target.cf8")));
  EXPECT_EQ(Leftovers(), 0) << "the probe file is removed";
}

TEST_F(FileIOCheck, RefusesTheSystemsDeviceNodes) {
  for (const char* device : {"/dev/null", "/dev/full"}) {
    if (!fs::is_character_file(device)) continue;
    EXPECT_EQ(ErrorOf([&] { CheckSaveTarget(device); }), Created(device, kNotRegular));
    EXPECT_TRUE(fs::is_character_file(fs::symlink_status(device)));
  }
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

// Permission bits do not decide: the check creates a file to find out, so
// root is let through a folder without write bits...
TEST_F(FileIOCheck, LetsRootIntoAFolderWithoutWriteBits) {
  if (::geteuid() != 0) GTEST_SKIP() << "runs as root only; FileIOCheckDeathTest covers other users";
  fs::create_directory(dir / "locked");
  fs::permissions(dir / "locked", fs::perms(0555));
  const std::string path = Path("locked/x.cf8");
  EXPECT_EQ(ErrorOf([&] { CheckSaveTarget(path); }), "(no error)");
  EXPECT_EQ(ErrorOf([&] { WriteFileReplacing(path, "root may"); }), "(no error)");
  EXPECT_EQ(Slurp(dir / "locked" / "x.cf8"), "root may");
  EXPECT_EQ(Leftovers(), 0);
}

// ...and refused where even root cannot create a file (sysfs), in the
// system's own words.
TEST_F(FileIOCheck, RefusesAFolderThatTakesNoNewFilesWhateverItsBits) {
  const fs::path probe = "/sys/tivolan-check.cf8";
  if (!fs::is_directory("/sys")) GTEST_SKIP() << "no /sys here";
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (fd >= 0) {
    ::close(fd);
    fs::remove(probe);
    GTEST_SKIP() << "/sys takes new files here";
  }
  const std::string reason = std::strerror(errno);
  EXPECT_EQ(ErrorOf([&] { CheckSaveTarget(probe.string()); }), Created(probe.string(), reason));
  EXPECT_EQ(ErrorOf([&] { WriteFileReplacing(probe.string(), "x"); }), Created(probe.string(), reason));
}

// A user without write access to the folder is refused before anything is
// written. As root the check runs in a child that has become "nobody".
TEST_F(FileIOCheckDeathTest, RefusesAUserWithoutWriteAccessToTheFolder) {
  fs::permissions(dir, fs::perms(0755));
  fs::create_directory(dir / "locked");
  fs::permissions(dir / "locked", fs::perms(0555));
  const std::string path = Path("locked/x.cf8");
  const std::string expected = Created(path, std::strerror(EACCES));
  EXPECT_EXIT(
      {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
          std::_Exit(2);
        const std::string check = ErrorOf([&] { CheckSaveTarget(path); });
        const std::string save = ErrorOf([&] { WriteFileReplacing(path, "x"); });
        std::fprintf(stderr, "check: %s\nsave: %s\n", check.c_str(), save.c_str());
        std::_Exit(check == expected && save == expected ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_TRUE(fs::is_empty(dir / "locked"));
}

TEST_F(FileIORead, ReadsARegularFileDirectlyAndThroughALink) {
  Write("real.cf8", std::string("a\0b\r\n", 5));
  fs::create_symlink("real.cf8", dir / "link.cf8");
  EXPECT_EQ(ReadWholeFile(Path("real.cf8"), 1 << 20), std::string("a\0b\r\n", 5));
  EXPECT_EQ(ReadWholeFile(Path("link.cf8"), 1 << 20), std::string("a\0b\r\n", 5));
}

TEST_F(FileIORead, KeepsItsSizeLimitAndItsMessages) {
  Write("five.cf8", "12345");
  EXPECT_EQ(ReadWholeFile(Path("five.cf8"), 5), "12345");
  EXPECT_EQ(ErrorOf([&] { ReadWholeFile(Path("five.cf8"), 4); }), "File \"" + Path("five.cf8") + "\" is too large");
  EXPECT_EQ(ErrorOf([&] { ReadWholeFile(Path("absent.cf8"), 5); }), Opened(Path("absent.cf8"), std::strerror(ENOENT)));
  fs::create_directory(dir / "folder.cf8");
  fs::create_symlink("folder.cf8", dir / "to-folder.cf8");
  EXPECT_EQ(ErrorOf([&] { ReadWholeFile(Path("folder.cf8"), 5); }), Opened(Path("folder.cf8"), kFolder));
  EXPECT_EQ(ErrorOf([&] { ReadWholeFile(Path("to-folder.cf8"), 5); }), Opened(Path("to-folder.cf8"), kFolder));
}

TEST_F(FileIORead, RefusesAFifoAtOnce) {
  MakeFifo(dir / "fifo.cf8");
  fs::create_symlink("fifo.cf8", dir / "to-fifo.cf8");
  for (const char* name : {"fifo.cf8", "to-fifo.cf8"})
    EXPECT_EQ(ReadGuarded(Path(name), dir / "fifo.cf8"), Opened(Path(name), kNotRegular));
}

TEST_F(FileIORead, RefusesDevicesAndSockets) {
  MakeSocket(dir / "socket");
  fs::create_symlink("/dev/null", dir / "to-null");
  for (const std::string& path : {std::string("/dev/null"), Path("to-null"), Path("socket")})
    EXPECT_EQ(ErrorOf([&] { ReadWholeFile(path, 1 << 20); }), Opened(path, kNotRegular));
}

// A name that turns into a FIFO between the type check and the open must
// still not make the read wait: one thread swaps a regular file and a FIFO
// in under the name while the other reads it again and again.
TEST_F(FileIORead, NeverWaitsWhenTheNameBecomesAFifoAfterTheCheck) {
  const fs::path regular = dir / "regular", fifo = dir / "fifo", name = dir / "swapped.cf8", next = dir / "next";
  std::ofstream(regular) << "contents";
  MakeFifo(fifo);
  ASSERT_EQ(::link(regular.c_str(), name.c_str()), 0) << std::strerror(errno);
  std::atomic<bool> stop{false};
  std::thread swapper([&] {
    for (bool toFifo = true; !stop; toFifo = !toFifo) {
      std::error_code ignored;
      fs::remove(next, ignored);
      if (::link((toFifo ? fifo : regular).c_str(), next.c_str()) == 0) ::rename(next.c_str(), name.c_str());
    }
  });
  struct Counts {
    int contents = 0, refused = 0;
    std::vector<std::string> others;
  };
  auto reads = std::async(std::launch::async, [&] {
    Counts counts;
    for (int i = 0; i < 20000 && !stop; ++i) {
      try {
        const std::string text = ReadWholeFile(name.string(), 100);
        if (text == "contents") ++counts.contents;
        else counts.others.push_back("read \"" + text + "\"");
      } catch (const FileError& e) {
        if (e.what() == Opened(name.string(), kNotRegular)) ++counts.refused;
        else counts.others.push_back(e.what());
      }
    }
    return counts;
  });
  if (reads.wait_for(10s) == std::future_status::timeout) {
    ADD_FAILURE() << "a read waited for a writer on the FIFO";
    stop = true;
    UnblockReader(reads, fifo);
  }
  stop = true;
  swapper.join();
  const Counts counts = reads.get();
  EXPECT_TRUE(counts.others.empty()) << counts.others.size() << " odd results, first: " << counts.others.front();
  EXPECT_GT(counts.contents, 0) << "the regular file was never read";
  EXPECT_GT(counts.refused, 0) << "the FIFO was never met";
}

}  // namespace
}  // namespace tivolan
