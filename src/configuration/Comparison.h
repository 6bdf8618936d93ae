#pragma once
// What differs between two configurations, in the words of the pages: the
// device against a file or the window before a write, two files. Only what
// the installer would see as different counts; bytes that read the same on
// both sides are no difference.
#include <string>
#include <vector>

#include "configuration/Listing.h"
#include "model/SharedData.h"

namespace tivolan {

inline constexpr const char* kChangesTitle = "Что изменится при записи";
inline constexpr const char* kDeviceHoldsIt = "Прибор уже содержит эту конфигурацию";
inline constexpr const char* kDeviceChanged = "Прибор изменился после сравнения: сравните заново";

struct Difference {
  std::string page;   // tab caption, "" for the device type
  std::string key;    // as the listing names the setting
  std::string left;   // as shown; "—" where that side has no such setting or hides it
  std::string right;
  friend bool operator==(const Difference&, const Difference&) = default;
};

struct PageDifferences {
  std::string page;
  std::vector<Difference> differences;
};

struct Comparison {
  int leftType = 0;
  int rightType = 0;
  std::vector<PageDifferences> pages;  // in the order of the pages; none when equal

  bool SameType() const { return leftType == rightType; }
  bool Equal() const { return pages.empty(); }
  std::size_t Count() const;
};

// Every setting whose shown value differs, grouped by page in page order.
Comparison CompareConfigurations(const SharedData& left, const SharedData& right);
std::vector<Difference> CompareListings(const std::vector<ListingEntry>& left, const std::vector<ListingEntry>& right);

// One line per difference, as diff of two files prints: "<key> <left> → <right>".
std::vector<std::string> DifferenceLines(const Comparison& comparison);
std::string DifferenceLine(const Difference& d);
// The same in plain words for the window: "Шлейф 3: тип «Охранный» → «Пожарный»".
std::string PlainDifference(const Difference& d);

// "На порту прибор Ирт-ОП-КС, в окне — Ирт-ОП8А"; `where` is "в файле" on
// the command line.
std::string OtherDeviceText(int deviceType, int otherType, const char* where = "в окне");

// The same device type, configuration bytes and, when the configuration
// uses GSM, GSM blocks.
bool SameImage(const SharedData& a, const SharedData& b);
// Two reads gave the same answer: the same device type, firmware version,
// configuration bytes and, when the configuration uses GSM, GSM blocks.
bool SameDeviceAnswer(const SharedData& a, const SharedData& b);

}  // namespace tivolan
