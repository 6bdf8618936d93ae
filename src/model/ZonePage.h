#pragma once
// The "Шлейфы" page as data: what its controls hold (ticks collected at
// commit time, enabled and visible state) and the handlers that tie them to
// the zone records and bytes 36 and 37.
#include <array>
#include <string>

#include "model/Images.h"

namespace tivolan {

struct ZoneRowState {
  int partition = 0;   // position in "1".."8"
  int type = 0;        // zone type code
  int eventPos = -1;   // event list position; -1: no selection
  bool eventEnabled = true;
  std::string delayIn;  // texts of the entry and exit delay fields
  std::string delayOut;
  bool delaysVisible = false;
  bool rearmTicked = false;
  bool rearmEnabled = true;
  bool rearmVisible = true;
  bool reqTicked = false;
  bool reqVisible = false;
};

struct PartDepBoxState {
  bool ticked = false;
  bool enabled = false;
};

struct ZonePageState {
  std::array<ZoneRowState, 8> rows;   // zone n at rows[n - 1]
  std::array<PartDepBoxState, 7> deps;  // boxes "2".."8" at deps[k - 2]
  ZoneRowState& Row(int zone) { return rows[static_cast<std::size_t>(zone - 1)]; }
  PartDepBoxState& Dep(int box) { return deps[static_cast<std::size_t>(box - 2)]; }
};

inline constexpr int kDelayMin = 0;
inline constexpr int kDelayMax = 99;
inline constexpr int kDelayFallback = 30;

// The value of an edit's text within [min, max]; a text that is no whole
// number gives the fallback. The text is corrected to what is returned.
int CheckEditMinMax(std::string& text, int min, int max, int fallback);

// Handlers; zone n is 1..8.
void TypeChange(ZonePageState& page, PanelImage& image, int zone, int type);
void ExpEventChange(ZonePageState& page, PanelImage& image, int zone, int position);
void ShlfPartChange(ZonePageState& page, PanelImage& image, int zone, int position);
void fldDelayInChange(ZonePageState& page, PanelImage& image, int zone, const std::string& text);
void fldDelayOutChange(ZonePageState& page, PanelImage& image, int zone, const std::string& text);

// Dependency boxes from the partitions' zone types, and byte 36.
void PartsLogic(ZonePageState& page, PanelImage& image);
// Byte 37 from the dependency boxes.
void PartDepsLogic(const ZonePageState& page, PanelImage& image);
// Bits 6 and 7 of every zone from its re-arm and re-request boxes.
void ShlfRearmWrite(const ZonePageState& page, PanelImage& image);
// The zone part of the panel refresh.
void RefreshZones(ZonePageState& page, PanelImage& image);

inline void PageShlfExit(ZonePageState& page, PanelImage& image) { PartsLogic(page, image); }

}  // namespace tivolan
