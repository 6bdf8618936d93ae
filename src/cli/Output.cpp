#include "cli/Output.h"

#include <cerrno>
#include <cstring>
#include <ostream>

#include "cli/CliCommands.h"
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
  if (failure_.empty()) failure_ = errno != 0 ? std::strerror(errno) : "write error";
}

int SaveFailed(std::ostream& err, const std::string& error) {
  err << "tivolan-cli: " << error << "\n" << SaveProblem(error) << "\n";
  return kExitSaveFailed;
}

int CheckOutput(int status, std::ostream& out, std::ostream& err) {
  out.flush();
  if (out) return status;
  const auto* checked = dynamic_cast<const CheckedOutput*>(out.rdbuf());
  const std::string why = checked && !checked->Failure().empty() ? ". " + checked->Failure() : "";
  SaveFailed(err, "Cannot write standard output" + why);
  return status == kExitOk || status == kExitDiffer ? kExitSaveFailed : status;
}

}  // namespace tivolan::cli
