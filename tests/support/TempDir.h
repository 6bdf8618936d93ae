#pragma once
// A fresh folder under the system's temporary folder for one test, removed
// with everything in it afterwards.
#ifdef _WIN32
#include <process.h>  // getpid
#else
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <string>

namespace tivolan::test {

class TempDir {
 public:
  explicit TempDir(const std::string& prefix)
      : dir(std::filesystem::temp_directory_path() / (prefix + "-" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string Path(const char* name) const { return (dir / name).string(); }
  // Writes the bytes to a file in the folder and returns its path.
  std::string Write(const char* name, const std::string& bytes) const {
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return Path(name);
  }

  const std::filesystem::path dir;
};

}  // namespace tivolan::test
