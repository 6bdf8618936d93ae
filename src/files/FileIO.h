#pragma once
// Whole-file reads and writes for the configuration files.
#include <cstddef>
#include <filesystem>
#include <string>

#include "files/FileCause.h"

namespace tivolan {

// what(): the system's English words, as FileErrorText gives them.
class FileError : public CausedError<FileSystemCause> {
 public:
  explicit FileError(FileSystemCause cause);
};

// "Cannot open file "<path>". <reason>", "Cannot create file ...", "Cannot
// read file ...", "File ... is too large", "Cannot write standard output. ..."
std::string FileErrorText(const FileSystemCause& cause);
// The reason alone: "It is a folder", "No file name", the system's words, ...
std::string FileReasonText(const FileSystemCause& cause);

// Paths are UTF-8 text throughout the program; these convert at the file
// system, where Windows would otherwise read them in its ANSI code page.
std::filesystem::path PathFromUtf8(const std::string& text);
std::string Utf8FromPath(const std::filesystem::path& path);

// Reads a regular file whole, following symbolic links. Throws FileError
// "Cannot open file "<path>". <reason>" ("It is a folder", "It is not a
// regular file", or the system's reason), and FileError when it cannot be
// read or is larger than `maxBytes`. Never waits on a FIFO or a device.
std::string ReadWholeFile(const std::string& path, std::size_t maxBytes);

// Throws the FileError that WriteFileReplacing(path, ...) would throw before
// writing anything, so that a caller can refuse a bad target before doing
// slow work: "Cannot create file "<path>". <reason>" with the reason
// "No file name", "It is a folder", "It is not a regular file",
// "The folder does not exist", or the system's reason when a file cannot be
// created in the folder (found by creating and removing one).
void CheckSaveTarget(const std::string& path);

// Writes `bytes` to a temporary file beside the target and renames it over
// the target, so that a failed save never destroys the previous file. Saves
// only over a regular file or where nothing exists; a symbolic link is
// followed and its final target replaced (or created), the link kept. The
// new file keeps the old one's permission bits. Throws FileError as
// CheckSaveTarget does, or with the system's reason when writing fails.
void WriteFileReplacing(const std::string& path, const std::string& bytes);

}  // namespace tivolan
