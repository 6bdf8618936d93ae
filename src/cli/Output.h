#pragma once
// Standard output checked as a saved file is: a listing or a page that did
// not get out is a failure, not a success.
#include <cstdio>
#include <iosfwd>
#include <optional>
#include <streambuf>
#include <system_error>

#include "files/FileCause.h"

namespace tivolan::cli {

// Passes every byte to a C stream and keeps the system's reason for the
// first write that failed, which the stream's state alone does not keep.
class CheckedOutput final : public std::streambuf {
 public:
  explicit CheckedOutput(std::FILE* file) : file_(file) {}
  // None while every write went out; 0 when the system gave no reason.
  const std::optional<std::error_code>& Failure() const { return failure_; }

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override;

 private:
  void Failed();

  std::FILE* file_;
  std::optional<std::error_code> failure_;
};

// Says on `err` why a file could not be saved ("tivolan-cli: <file>: Файл
// не сохранён: папки нет", in Russian only, as every message of the tool)
// and returns kExitSaveFailed.
int SaveFailed(std::ostream& err, const FileSystemCause& cause);

// Flushes `out` and `err`. When either could not all be written, returns
// kExitSaveFailed instead of a success (saying why on `err` when that works);
// a failure of the command itself keeps its status.
int CheckOutput(int status, std::ostream& out, std::ostream& err);

}  // namespace tivolan::cli
