#pragma once
// The storage that lives for the whole run and that the main window, the file
// code and the programming worker share. No lock: while a worker runs the
// window keeps every control that could touch it disabled.
#include <array>
#include <cstdint>

#include "model/ConfigBuffer.h"
#include "model/DeviceCatalogue.h"

namespace tivolan {

// The GSM frames: each holds a whole frame ready to send (0x7E, length, 'W',
// block, payload, checksum); one read from the device is copied over whole.
inline constexpr std::size_t kDestBufferSize = 150;  // block 2
inline constexpr std::size_t kGprsBufferSize = 201;  // block 3
inline constexpr std::size_t kSmsBufferSize = 201;   // block 4
using DestBuffer = std::array<uint8_t, kDestBufferSize>;
using GprsBuffer = std::array<uint8_t, kGprsBufferSize>;
using SmsBuffer = std::array<uint8_t, kSmsBufferSize>;

struct SharedData {
  ImageBuffer ConfigBuffer{};
  uint8_t DeviceType = kTypePPKP;
  uint8_t DeviceVersion = 0;  // firmware version of the last block-1 answer
  DestBuffer DestTX_Buffer{};  // device number, GPRS and SMS flags, five destinations
  GprsBuffer GprsTX_Buffer{};  // access points of the two SIMs
  SmsBuffer SmsTX_Buffer{};    // up to eight SMS recipients
  uint8_t SmsListFilled = 0;   // the last SMS list build stored a record
};

}  // namespace tivolan
