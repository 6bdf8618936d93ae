#pragma once
// CRC-8 of the device link: polynomial 0x1D processed least significant bit
// first (reflected 0xB8), initial value 0, no final XOR.
#include <array>
#include <cstddef>
#include <cstdint>

namespace tivolan {

constexpr std::array<uint8_t, 256> BuildCrcTable() {
  std::array<uint8_t, 256> table{};
  for (int i = 0; i < 256; ++i) {
    unsigned v = static_cast<unsigned>(i);
    for (int bit = 0; bit < 8; ++bit) v = (v & 1u) ? (v >> 1) ^ 0xB8u : v >> 1;
    table[static_cast<std::size_t>(i)] = static_cast<uint8_t>(v);
  }
  return table;
}

inline constexpr std::array<uint8_t, 256> CrcTable = BuildCrcTable();

// CRC over the first `count` bytes of `buffer`; only reads the buffer.
uint8_t FrameChecksum(const uint8_t* buffer, std::size_t count);

}  // namespace tivolan
