#include "model/ZonePage.h"

#include <cctype>
#include <charconv>

#include "model/EventList.h"
#include "model/ValueLists.h"

namespace tivolan {

int CheckEditMinMax(std::string& text, int min, int max, int fallback) {
  // Leading blanks and a sign are accepted, as by the usual integer conversion.
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  const char* first = text.data() + i;
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') ++first;
  int value = 0;
  const auto [end, ec] = std::from_chars(first, last, value);
  // A valid text in range stays as typed ("07" stays "07").
  if (ec != std::errc{} || end != last || first == last) value = fallback;
  else if (value < min) value = min;
  else if (value > max) value = max;
  else return value;
  text = std::to_string(value);
  return value;
}

void ExpEventChange(ZonePageState& page, PanelImage& image, int zone, int position) {
  page.Row(zone).eventPos = position;
  image.Zone(zone).Cid() = EventByteAt(position);
}

void fldDelayInChange(ZonePageState& page, PanelImage& image, int zone, const std::string& text) {
  std::string& field = page.Row(zone).delayIn;
  field = text;
  image.Zone(zone).TimeIn() = static_cast<uint8_t>(CheckEditMinMax(field, kDelayMin, kDelayMax, kDelayFallback));
}

void fldDelayOutChange(ZonePageState& page, PanelImage& image, int zone, const std::string& text) {
  std::string& field = page.Row(zone).delayOut;
  field = text;
  image.Zone(zone).TimeOut() = static_cast<uint8_t>(CheckEditMinMax(field, kDelayMin, kDelayMax, kDelayFallback));
}

void TypeChange(ZonePageState& page, PanelImage& image, int zone, int type) {
  ZoneRowState& row = page.Row(zone);
  row.type = type;
  if (type == kZoneTypeOff) {
    row.eventEnabled = false;  // selection and event byte stay
  } else {
    row.eventEnabled = true;
    const int byte = ZoneTypes[static_cast<std::size_t>(type)].defaultEvent;
    ExpEventChange(page, image, zone, EventPosition(static_cast<uint8_t>(byte)));
  }
  row.rearmEnabled = type != kZoneTypeTechnical;
  row.rearmVisible = type != kZoneTypeOff;
  row.rearmTicked = type != kZoneTypeOff;
  row.delaysVisible = type == kZoneTypeDoor;
  if (type == kZoneTypeDoor) {
    fldDelayInChange(page, image, zone, "30");
    fldDelayOutChange(page, image, zone, "30");
  }
  image.Zone(zone).SetTactics(type);
  row.reqTicked = false;
  row.reqVisible = type == kZoneTypeFire;
  PartsLogic(page, image);
}

void ShlfPartChange(ZonePageState& page, PanelImage& image, int zone, int position) {
  page.Row(zone).partition = position;
  image.Zone(zone).SetPartition(position);
  PartsLogic(page, image);
}

void PartsLogic(ZonePageState& page, PanelImage& image) {
  unsigned used = 0, active = 0, guard = 0;
  for (const ZoneRowState& row : page.rows) {
    const unsigned bit = 1u << (row.partition & 7);
    used |= bit;
    if (IsGuardType(row.type)) guard |= bit;
    if (row.type != kZoneTypeOff) active |= bit;
  }
  const unsigned eligible = used & active & guard;
  for (int k = 2; k <= 8; ++k) {
    PartDepBoxState& box = page.Dep(k);
    box.enabled = (eligible >> (k - 1)) & 1u;
    if (!box.enabled) box.ticked = false;
  }
  image.UnguardedPartMask() = static_cast<uint8_t>(used & active & ~guard);
}

void PartDepsLogic(const ZonePageState& page, PanelImage& image) {
  unsigned mask = 0;
  for (int k = 2; k <= 8; ++k)
    if (page.deps[static_cast<std::size_t>(k - 2)].ticked) mask |= 1u << (k - 1);
  image.PartDep() = static_cast<uint8_t>(mask);
}

void ShlfRearmWrite(const ZonePageState& page, PanelImage& image) {
  for (int n = 1; n <= PanelImage::kZones; ++n) {
    const ZoneRowState& row = page.rows[static_cast<std::size_t>(n - 1)];
    image.Zone(n).SetRearm(row.rearmTicked);
    image.Zone(n).SetFireReCheck(row.reqTicked);
  }
}

void RefreshZones(ZonePageState& page, PanelImage& image) {
  for (int n = 1; n <= PanelImage::kZones; ++n) {
    ZoneRecord zone = image.Zone(n);
    ZoneRowState& row = page.Row(n);
    const int type = zone.Tactics();
    row.partition = zone.Partition();
    row.type = type;
    row.eventEnabled = type != kZoneTypeOff;
    row.eventPos = EventPosition(zone.Cid());
    row.delaysVisible = type == kZoneTypeDoor;
    row.delayIn = std::to_string(zone.TimeIn());
    row.delayOut = std::to_string(zone.TimeOut());
    row.rearmEnabled = type != kZoneTypeTechnical;
    row.rearmVisible = type != kZoneTypeOff;
    row.rearmTicked = zone.Rearm();
    row.reqVisible = type == kZoneTypeFire;
    row.reqTicked = zone.FireReCheck();
  }
  for (int k = 2; k <= 8; ++k) page.Dep(k).ticked = TestBit(image.PartDep(), k - 1);
  PartsLogic(page, image);
}

}  // namespace tivolan
