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

fs::path TempNameBeside(const fs::path& target) {
  std::random_device random;
  fs::path name(".");
  name += target.filename();
  name += ".tmp" + std::to_string(random() % 1000000);
  return target.parent_path() / name;
}

}  // namespace

fs::path PathFromUtf8(const std::string& text) {
  return fs::path(std::u8string(text.begin(), text.end()));
}

std::string Utf8FromPath(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string ReadWholeFile(const std::string& path, std::size_t maxBytes) {
  std::error_code ec;
  const fs::path file = PathFromUtf8(path);
  if (fs::is_directory(file, ec)) throw FileError("Cannot open file \"" + path + "\". It is a folder");
  std::ifstream in(file, std::ios::binary);
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
  const fs::path target = PathFromUtf8(path);
  std::error_code ec;
  if (fs::is_directory(target, ec)) CannotCreate(path, "It is a folder");
  const fs::path temp = TempNameBeside(target);
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
