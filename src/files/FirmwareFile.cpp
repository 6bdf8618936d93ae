#include "files/FirmwareFile.h"

#include <filesystem>

#include "files/FileIO.h"
#include "files/FileProblems.h"

namespace tivolan {

FirmwareFile LoadFirmwareFile(const std::string& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(PathFromUtf8(path), ec);
  if (!ec && size > kFirmwareTextMax)
    return FirmwareRefused("Файл прошивки слишком велик для прибора.",
                           "в файле " + std::to_string(size) + " байт, а прошивка занимает не больше " +
                               std::to_string(kFirmwareTextMax) + " знаков");
  std::string text;
  try {
    text = ReadWholeFile(path, kFirmwareTextMax);
  } catch (const FileError& e) {
    return NotFirmware(ReadProblem(e.Cause()));  // the box is Russian, and so is its line
  }
  return DecodeFirmware(text);
}

}  // namespace tivolan
