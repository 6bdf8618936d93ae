#include "cli/Output.h"

#include <cerrno>
#include <ostream>

#include "cli/CliCommands.h"
#include "cli/TerminalText.h"
#include "cli/os/WriteError.h"
#include "files/FileProblems.h"

namespace tivolan::cli {

CheckedOutput::int_type CheckedOutput::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  errno = 0;
  if (std::fputc(traits_type::to_char_type(c), file_) == EOF) {
    Failed();
    return traits_type::eof();
  }
  return c;
}

std::streamsize CheckedOutput::xsputn(const char* s, std::streamsize n) {
  errno = 0;
  const std::size_t written = std::fwrite(s, 1, static_cast<std::size_t>(n), file_);
  if (written != static_cast<std::size_t>(n)) Failed();
  return static_cast<std::streamsize>(written);
}

int CheckedOutput::sync() {
  errno = 0;
  if (std::fflush(file_) == 0) return 0;
  Failed();
  return -1;
}

void CheckedOutput::Failed() {
  if (!failure_) failure_ = std::error_code(LastWriteError(), std::generic_category());
}

int SaveFailed(std::ostream& err, const FileSystemCause& cause) {
  if (cause.action != FileAction::WriteOutput) {
    err << "tivolan-cli: " << Escaped(cause.path) << ": " << SaveProblem(cause) << "\n";
  } else {
    const std::string reason = SaveReason(cause);
    err << "tivolan-cli: стандартный вывод не записан" << (reason.empty() ? "" : ": " + reason) << "\n";
  }
  return kExitSaveFailed;
}

int CheckOutput(int status, std::ostream& out, std::ostream& err) {
  out.flush();
  if (out) return status;
  const auto* checked = dynamic_cast<const CheckedOutput*>(out.rdbuf());
  FileSystemCause cause{FileAction::WriteOutput, FileReason::Unexplained, {}, {}};
  if (checked && checked->Failure() && checked->Failure()->value() != 0) {
    cause.reason = FileReason::System;
    cause.error = *checked->Failure();
  }
  SaveFailed(err, cause);
  return status == kExitOk || status == kExitDiffer ? kExitSaveFailed : status;
}

}  // namespace tivolan::cli
