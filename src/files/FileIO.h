#pragma once
// Whole-file reads and writes for the configuration files.
#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace tivolan {

class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Paths are UTF-8 text throughout the program; these convert at the file
// system, where Windows would otherwise read them in its ANSI code page.
std::filesystem::path PathFromUtf8(const std::string& text);
std::string Utf8FromPath(const std::filesystem::path& path);

// Reads a file whole; throws FileError when it cannot be opened or read, or
// when it is larger than `maxBytes`.
std::string ReadWholeFile(const std::string& path, std::size_t maxBytes);

// Writes `bytes` to a temporary file beside `path` and renames it over
// `path`, so that a failed save never destroys the previous file. Throws
// FileError "Cannot create file "<path>". <reason>".
void WriteFileReplacing(const std::string& path, const std::string& bytes);

}  // namespace tivolan
