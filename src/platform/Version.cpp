#include "platform/Version.h"

#include "platform/Platform.h"

namespace tivolan {

std::string ProgramVersion() {
  const auto record = ReadVersionRecord();
  const auto found = record.find("FileVersion");
  if (found == record.end()) return "";
  // "1.0.0.0": the fourth number is the build's, always 0.
  std::string version = found->second;
  const std::size_t third = version.find('.', version.find('.', version.find('.') + 1) + 1);
  return third == std::string::npos ? version : version.substr(0, third);
}

std::string ProgramNameAndVersion() {
  const auto record = ReadVersionRecord();
  const auto name = record.find("ProductName");
  return (name == record.end() ? std::string("Тиволан") : name->second) + " " + ProgramVersion();
}

}  // namespace tivolan
