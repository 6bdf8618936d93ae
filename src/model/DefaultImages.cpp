#include "model/DefaultImages.h"

#include <algorithm>
#include <array>

#include "model/DeviceCatalogue.h"
#include "model/ModelErrors.h"

namespace tivolan {
namespace {

// Zone records 1..8: partition 1, re-arm on; "Дверной" 30/30 s, three
// "Охранный", "Тревожный", "Тихий тревожный", two "Пожарный".
constexpr std::array<uint8_t, 32> kDefaultZones{
    0x78, 0x17, 0x1E, 0x1E, 0x68, 0x14, 0x00, 0x00, 0x68, 0x14, 0x00, 0x00, 0x68, 0x14, 0x00, 0x00,
    0x48, 0x10, 0x00, 0x00, 0x50, 0x0F, 0x00, 0x00, 0x58, 0x04, 0x00, 0x00, 0x58, 0x04, 0x00, 0x00};

template <std::size_t N>
constexpr std::array<uint8_t, 32 + N> AfterZones(const std::array<uint8_t, N>& tail) {
  std::array<uint8_t, 32 + N> payload{};
  std::copy(kDefaultZones.begin(), kDefaultZones.end(), payload.begin());
  std::copy(tail.begin(), tail.end(), payload.begin() + 32);
  return payload;
}

constexpr auto kDefaultPPKP =
    AfterZones(std::array<uint8_t, 9>{0x00, 0x00, 0x00, 0x00, 0x33, 0x10, 0xC0, 0x02, 0x10});
constexpr auto kDefaultPPKN =
    AfterZones(std::array<uint8_t, 11>{0x00, 0x00, 0x00, 0x00, 0x33, 0x10, 0x80, 0x01, 0x02, 0x10, 0x01});
constexpr std::array<uint8_t, 11> kDefaultCNC1{0x00, 0x33, 0x10, 0x01, 0x00, 0x00,
                                               0x00, 0x00, 0x00, 0x01, 0x00};

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
  switch (type) {
    case kTypePPKP:
    case kTypePPKN: return buffer[38] == 2;
    case kTypeCNC1: return buffer[10] != 0;
    default: throw DeviceTypeNotFound();
  }
}

}  // namespace tivolan
