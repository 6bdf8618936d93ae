#pragma once
// The storage that lives for the whole run and that the main window, the file
// code and the programming worker share. No lock: while a worker runs the
// window keeps every control that could touch it disabled.
#include <array>
#include <cstdint>

#include "model/ConfigBuffer.h"
#include "model/DeviceCatalogue.h"
#include "model/GsmSettings.h"

namespace tivolan {

// The longest frame of each GSM block the device takes or sends.
inline constexpr std::size_t kDestBufferSize = 150;  // block 2
inline constexpr std::size_t kGprsBufferSize = 201;  // block 3
inline constexpr std::size_t kSmsBufferSize = 201;   // block 4

struct SharedData {
  ImageBuffer ConfigBuffer{};
  uint8_t DeviceType = kTypePPKP;
  uint8_t DeviceVersion = 0;  // firmware version of the last block-1 answer
  // The GSM blocks as values; their frames are made when they are sent.
  DestSettings DestTX_Buffer;  // device number, GPRS and SMS flags, five destinations
  GprsSettings GprsTX_Buffer;  // access points of the two SIMs
  SmsList SmsTX_Buffer;        // up to eight SMS recipients
  uint8_t SmsListFilled = 0;   // the last SMS list build stored a record

  GsmSettings Gsm() const { return {DestTX_Buffer, GprsTX_Buffer, SmsTX_Buffer}; }
  void TakeGsm(const GsmSettings& gsm) {
    DestTX_Buffer = gsm.dest;
    GprsTX_Buffer = gsm.gprs;
    SmsTX_Buffer = gsm.sms;
  }
};

}  // namespace tivolan
