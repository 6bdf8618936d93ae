#include "model/DefaultImages.h"

#include <algorithm>
#include <array>

#include "model/DeviceCatalogue.h"
#include "model/Images.h"
#include "model/ModelErrors.h"
#include "model/ValueLists.h"

namespace tivolan {
namespace {

// Zone records 1..8, each: partition / type / re-arm / re-request, event
// byte, exit delay, entry delay. Every zone in partition 1 with re-arm on.
constexpr std::array<uint8_t, 32> kDefaultZones{
    0x78, 0x17, 0x1E, 0x1E,  // zone 1 "Дверной", "134 - ВХОД/ВЫХОД", 30 s, 30 s
    0x68, 0x14, 0x00, 0x00,  // zone 2 "Охранный", "131 - ПЕРИМЕТР"
    0x68, 0x14, 0x00, 0x00,  // zone 3 "Охранный", "131 - ПЕРИМЕТР"
    0x68, 0x14, 0x00, 0x00,  // zone 4 "Охранный", "131 - ПЕРИМЕТР"
    0x48, 0x10, 0x00, 0x00,  // zone 5 "Тревожный", "123 - Т.К.ГРОМКАЯ"
    0x50, 0x0F, 0x00, 0x00,  // zone 6 "Тихий тревожный", "122 - Т.К.ТИХАЯ"
    0x58, 0x04, 0x00, 0x00,  // zone 7 "Пожарный", "110 - ПОЖАР"
    0x58, 0x04, 0x00, 0x00,  // zone 8 "Пожарный", "110 - ПОЖАР"
};

// Bytes 36..41, the same in both panel layouts.
constexpr std::array<uint8_t, 6> kDefaultPanelCommon{
    0x00,  // 36 partitions without guard zones (recomputed)
    0x00,  // 37 no partition dependency
    0x00,  // 38 transmission "Отключено"
    0x00,  // 39 no circuit control
    0x33,  // 40 alarm and fire relays "До сброса"
    0x10,  // 41 control relay "3 секунды"
};

// A panel payload: the zones, the common bytes, then the layout's own.
template <std::size_t N>
constexpr std::array<uint8_t, 38 + N> PanelPayload(const std::array<uint8_t, N>& tail) {
  std::array<uint8_t, 38 + N> payload{};
  auto at = std::copy(kDefaultZones.begin(), kDefaultZones.end(), payload.begin());
  at = std::copy(kDefaultPanelCommon.begin(), kDefaultPanelCommon.end(), at);
  std::copy(tail.begin(), tail.end(), at);
  return payload;
}

// Each table starts at buffer index 4; the comments give the index.
constexpr auto kDefaultPPKP = PanelPayload(std::array<uint8_t, 3>{
    0xC0,  // 42 internal buzzer, guard sound, system partition 1
    0x02,  // 43 siren 2 minutes
    0x10,  // 44 lamp "Отключено в норме", reader LED "Горит если взят раздел 1"
});
constexpr auto kDefaultPPKN = PanelPayload(std::array<uint8_t, 5>{
    0x80,  // 42 internal buzzer, system partition 1
    0x01,  // 43 guard sound
    0x02,  // 44 siren 2 minutes
    0x10,  // 45 lamp "Отключено в норме", reader LED "Горит если взят раздел 1"
    0x01,  // 46 network number 1
});
constexpr std::array<uint8_t, 11> kDefaultCNC1{
    0x00,  // 4 no circuit control
    0x33,  // 5 alarm and fire relays "До сброса"
    0x10,  // 6 reserved
    0x01,  // 7 internal buzzer
    0x00,  // 8 no expanders, no "БВИ"
    0x00,  // 9 no radio transmitter
    0x00,  // 10 no GSM communicator
    0x00,  // 11 "БВИ" sound options off
    0x00,  // 12 no expander reset by buttons
    0x01,  // 13 control by SMS allowed
    0x00,  // 14 no events over GSM
};

static_assert(kDefaultPPKP.size() == kLayoutPPKP.payloadSize);
static_assert(kDefaultPPKN.size() == kLayoutPPKN.payloadSize);

}  // namespace

std::span<const uint8_t> DefaultPayload(int type) {
  switch (type) {
    case kTypePPKP: return kDefaultPPKP;
    case kTypePPKN: return kDefaultPPKN;
    case kTypeCNC1: return kDefaultCNC1;
    default: return {};
  }
}

bool SetDefaultImage(ImageBuffer& buffer, int type, Prompter& prompter) {
  const auto payload = DefaultPayload(type);
  if (payload.empty()) {
    prompter.Show(UnknownDeviceInDefaultImageBox());
    return false;
  }
  std::copy(payload.begin(), payload.end(), buffer.begin() + kPayloadStart);
  return true;
}

bool IsGsmInUse(const ImageBuffer& buffer, int type) {
  if (const auto panel = PanelImageOf(buffer, type)) return panel->TxKind() == kTxKindGsm;
  if (type == kTypeCNC1) return ConstImageCNC1(buffer).GsmConnected() != 0;
  throw DeviceTypeNotFound();
}

}  // namespace tivolan
