// The shell's platform functions on Linux and other POSIX systems.
#include "platform/Platform.h"
#include "platform/PortList.h"

#include <cstdio>

#ifndef TIVOLAN_VERSION_TEXT
#define TIVOLAN_VERSION_TEXT "0.0.0.0"
#endif

namespace tivolan {

std::optional<std::string> DriverPortName(const std::string& text) {
  if (text.rfind("/dev/", 0) == 0) return text;
  return std::nullopt;
}

std::string NotAPortText(const std::string& text) {
  const std::string example = text.empty() || text.find('/') != std::string::npos ? "ttyUSB0" : text;
  const std::string what = text.empty() ? "Порт не указан" : "\"" + text + "\" - не имя порта";
  return what + ": порт указывается путём устройства, например /dev/" + example;
}

std::string DefaultPortSetting() { return "/dev/ttyS0"; }

std::vector<std::string> BuildPortList() { return ListSysfsSerialPorts("/sys/class/tty", "/dev"); }

std::string ShortPathName(const std::string& path) { return path; }

void MarkProgramRunning() {}

bool WriteForCommandLine(const std::string& text, bool error) {
  FILE* stream = error ? stderr : stdout;
  return std::fwrite(text.data(), 1, text.size(), stream) == text.size() && std::fflush(stream) == 0;
}

std::map<std::string, std::string> ReadVersionRecord() {
  return {{"ProductName", "Тиволан"}, {"FileVersion", TIVOLAN_VERSION_TEXT}, {"CompanyName", "Stelmark"}};
}

}  // namespace tivolan
