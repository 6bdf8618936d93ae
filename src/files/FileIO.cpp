#include "files/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

namespace tivolan {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void CannotCreate(const std::string& path, const std::string& reason) {
  throw FileError("Cannot create file \"" + path + "\". " + reason);
}

std::string TempNameBeside(const fs::path& target) {
  std::random_device random;
  return (target.parent_path() / ("." + target.filename().string() + ".tmp" + std::to_string(random() % 1000000)))
      .string();
}

}  // namespace

std::string ReadWholeFile(const std::string& path, std::size_t maxBytes) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) throw FileError("Cannot open file \"" + path + "\". It is a folder");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError("Cannot open file \"" + path + "\". " + std::strerror(errno));
  std::string data;
  char chunk[65536];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    data.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (data.size() > maxBytes) throw FileError("File \"" + path + "\" is too large");
  }
  if (in.bad()) throw FileError("Cannot read file \"" + path + "\"");
  return data;
}

void WriteFileReplacing(const std::string& path, const std::string& bytes) {
  if (path.empty()) CannotCreate(path, "No file name");
  const fs::path target(path);
  std::error_code ec;
  if (fs::is_directory(target, ec)) CannotCreate(path, "It is a folder");
  const std::string temp = TempNameBeside(target);
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) CannotCreate(path, std::strerror(errno));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      const std::string reason = std::strerror(errno);
      out.close();
      fs::remove(temp, ec);
      CannotCreate(path, reason);
    }
  }
  fs::rename(temp, target, ec);
  if (ec) {
    const std::string reason = ec.message();
    fs::remove(temp, ec);
    CannotCreate(path, reason);
  }
}

}  // namespace tivolan
