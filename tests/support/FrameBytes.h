#pragma once
// Expected frames written out in tests: the bytes before the checksum as
// the tables give them, then their CRC-8.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "link/BCC.h"
#include "link/GsmRecords.h"

namespace tivolan::test {

using Bytes = std::vector<uint8_t>;

inline Bytes Sealed(Bytes body) {
  body.push_back(FrameChecksum(body.data(), body.size()));
  return body;
}

inline Bytes Ascii(const std::string& text) { return Bytes(text.begin(), text.end()); }

inline Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// The frame a buffer holds: as many bytes as its byte 1 says.
template <std::size_t N>
Bytes Frame(const std::array<uint8_t, N>& b) {
  return Bytes(b.begin(), b.begin() + b[1]);
}

// A GSM block's values from a whole frame's bytes (a write or an answer),
// and the write frame of values.
template <typename Values>
Values ValuesOf(const Bytes& frame) {
  return Values::Unpack(std::span<const uint8_t>(frame).subspan(4, frame.size() - 5));
}
// The values of bytes a frame buffer held, from the data on, whatever the
// length byte says.
template <typename Values>
Values StoredValues(std::span<const uint8_t> bytes) {
  return Values::Unpack(bytes.subspan(4));
}

inline Bytes FrameBytes(const tivolan::Frame& frame) { return Bytes(frame.Bytes().begin(), frame.Bytes().end()); }
template <typename Values>
Bytes FrameOf(const Values& values) {
  if constexpr (std::is_same_v<Values, DestSettings>) {
    const auto frame = WriteFrame(values);
    return frame ? FrameBytes(*frame) : Bytes{};
  } else {
    return FrameBytes(WriteFrame(values));
  }
}

// The GSM blocks a configuration holds when the commit step built these
// write frames of blocks 2, 3 and 4.
inline void HoldFrames(SharedData& data, const Bytes& w2, const Bytes& w3, const Bytes& w4) {
  data.DestTX_Buffer = ValuesOf<DestSettings>(w2);
  data.GprsTX_Buffer = ValuesOf<GprsSettings>(w3);
  data.SmsTX_Buffer = ValuesOf<SmsList>(w4);
}

}  // namespace tivolan::test
