#include "configuration/Comparison.h"

#include <algorithm>
#include <map>
#include <string_view>

#include "model/DefaultImages.h"
#include "model/DeviceCatalogue.h"

namespace tivolan {
namespace {

std::string Shown(const std::string& value) { return value.empty() ? "—" : value; }

// The zone columns in the words of a sentence about one zone.
struct ZoneWords {
  const char* column;
  const char* words;
};
constexpr ZoneWords kZoneWords[] = {
    {"Раздел", "раздел"},          {"Тип шлейфа", "тип"},           {"Код события", "код события"},
    {"Задержка вход", "задержка на вход, с"}, {"Задержка выход", "задержка на выход, с"},
    {"Авто восст.", "автовосстановление"}, {"Перезапрос", "перезапрос"},
};

// "ШС3: Тип шлейфа" as "Шлейф 3: тип"; other keys stay as the page names them.
constexpr std::string_view kZonePrefix = "ШС";

std::string PlainKey(const std::string& key) {
  if (key.rfind(kZonePrefix, 0) != 0) return key;
  const auto colon = key.find(": ");
  if (colon == std::string::npos) return key;
  const std::string column = key.substr(colon + 2);
  for (const auto& w : kZoneWords)
    if (column == w.column) return "Шлейф " + key.substr(kZonePrefix.size(), colon - kZonePrefix.size()) + ": " + w.words;
  return key;
}

std::string ModelName(int type) {
  const DeviceModel* model = FindDeviceModel(static_cast<uint32_t>(type));
  return model ? model->name : "тип " + std::to_string(type);
}

}  // namespace

std::size_t Comparison::Count() const {
  std::size_t n = 0;
  for (const auto& p : pages) n += p.differences.size();
  return n;
}

std::vector<Difference> CompareListings(const std::vector<ListingEntry>& left, const std::vector<ListingEntry>& right) {
  std::map<std::string, const ListingEntry*> rightByKey;
  for (const auto& e : right) rightByKey[e.key] = &e;
  std::map<std::string, bool> seen;
  std::vector<Difference> out;
  // A setting one side lacks or hides reads "—" there: the same on both
  // sides is no difference, whatever the bytes behind it.
  auto add = [&](const std::string& page, const std::string& key, const std::string& l, const std::string& r) {
    if (Shown(l) != Shown(r)) out.push_back({page, key, Shown(l), Shown(r)});
  };
  for (const auto& e : left) {
    seen[e.key] = true;
    const auto it = rightByKey.find(e.key);
    add(e.page, e.key, e.value, it == rightByKey.end() ? "" : it->second->value);
  }
  for (const auto& e : right)
    if (!seen.count(e.key)) add(e.page, e.key, "", e.value);
  return out;
}

Comparison CompareConfigurations(const SharedData& left, const SharedData& right) {
  Comparison c{left.DeviceType, right.DeviceType, {}};
  for (Difference& d : CompareListings(ListConfiguration(left), ListConfiguration(right))) {
    auto page = std::find_if(c.pages.begin(), c.pages.end(), [&](const PageDifferences& p) { return p.page == d.page; });
    if (page == c.pages.end()) page = c.pages.insert(c.pages.end(), PageDifferences{d.page, {}});
    page->differences.push_back(std::move(d));
  }
  return c;
}

std::string DifferenceLine(const Difference& d) { return d.key + " " + d.left + " → " + d.right; }

std::vector<std::string> DifferenceLines(const Comparison& comparison) {
  std::vector<std::string> lines;
  for (const auto& page : comparison.pages)
    for (const auto& d : page.differences) lines.push_back(DifferenceLine(d));
  return lines;
}

std::string PlainDifference(const Difference& d) {
  // "—" is no value, and is not quoted as one.
  auto quoted = [](const std::string& v) { return v == "—" ? v : "«" + v + "»"; };
  return PlainKey(d.key) + " " + quoted(d.left) + " → " + quoted(d.right);
}

std::string OtherDeviceText(int deviceType, int otherType, const char* where) {
  return "На порту прибор " + ModelName(deviceType) + ", " + where + " — " + ModelName(otherType);
}

bool SameImage(const SharedData& a, const SharedData& b) {
  if (a.DeviceType != b.DeviceType || !IsKnownDeviceType(a.DeviceType)) return false;
  const auto size = static_cast<std::ptrdiff_t>(PayloadSize(a.DeviceType));
  if (!std::equal(a.ConfigBuffer.begin() + 4, a.ConfigBuffer.begin() + 4 + size, b.ConfigBuffer.begin() + 4)) return false;
  if (!IsGsmInUse(a.ConfigBuffer, a.DeviceType)) return true;
  return a.DestTX_Buffer == b.DestTX_Buffer && a.GprsTX_Buffer == b.GprsTX_Buffer && a.SmsTX_Buffer == b.SmsTX_Buffer;
}

bool SameDeviceAnswer(const SharedData& a, const SharedData& b) {
  return a.DeviceVersion == b.DeviceVersion && SameImage(a, b);
}

}  // namespace tivolan
