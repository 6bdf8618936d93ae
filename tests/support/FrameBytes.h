#pragma once
// Expected frames written out in tests: the bytes before the checksum as
// the tables give them, then their CRC-8.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "link/BCC.h"

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

}  // namespace tivolan::test
