#include "platform/PortList.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

namespace tivolan {

namespace {

// <0, 0, >0; names that differ only in leading zeros compare equal here.
int NaturalCompare(const std::string& a, const std::string& b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const auto ca = static_cast<unsigned char>(a[i]);
    const auto cb = static_cast<unsigned char>(b[j]);
    if (std::isdigit(ca) && std::isdigit(cb)) {
      std::size_t ei = i;
      std::size_t ej = j;
      while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei]))) ++ei;
      while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej]))) ++ej;
      // Compare the numbers without leading zeros: longer is larger.
      std::size_t si = a.find_first_not_of('0', i);
      std::size_t sj = b.find_first_not_of('0', j);
      si = std::min(si, ei);
      sj = std::min(sj, ej);
      if (ei - si != ej - sj) return ei - si < ej - sj ? -1 : 1;
      const int cmp = a.compare(si, ei - si, b, sj, ej - sj);
      if (cmp != 0) return cmp;
      i = ei;
      j = ej;
      continue;
    }
    if (ca != cb) return ca < cb ? -1 : 1;
    ++i;
    ++j;
  }
  const std::size_t restA = a.size() - i;
  const std::size_t restB = b.size() - j;
  return restA == restB ? 0 : (restA < restB ? -1 : 1);
}

}  // namespace

bool NaturalLess(const std::string& a, const std::string& b) {
  const int cmp = NaturalCompare(a, b);
  return cmp != 0 ? cmp < 0 : a < b;
}

namespace {

namespace fs = std::filesystem;

bool HasDriver(const fs::path& entry) {
  std::error_code ec;
  return fs::exists(entry / "device" / "driver", ec);
}

// The 8250 driver registers every possible UART; type 0 means none is there.
bool UartPresent(const fs::path& entry) {
  std::ifstream in(entry / "type");
  if (!in) return true;
  int type = 0;
  return !(in >> type) || type != 0;
}

}  // namespace

std::vector<std::string> ListSysfsSerialPorts(const std::string& classTtyDir, const std::string& devDir) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(classTtyDir, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path entry = it->path();
    if (HasDriver(entry) && UartPresent(entry)) names.push_back(entry.filename().string());
  }
  std::sort(names.begin(), names.end(), NaturalLess);
  std::vector<std::string> paths;
  for (const auto& name : names) paths.push_back((fs::path(devDir) / name).string());
  return paths;
}

}  // namespace tivolan
