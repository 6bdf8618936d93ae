#pragma once
// Bit and half-byte fields of an image byte. Every write is read-modify-write:
// the bits outside the field keep whatever the defaults or the device gave.
#include <cstdint>

namespace tivolan {

constexpr bool TestBit(uint8_t byte, int k) { return ((byte >> k) & 1u) != 0; }
constexpr void SetBit(uint8_t& byte, int k) { byte = static_cast<uint8_t>(byte | (1u << k)); }
constexpr void ClearBit(uint8_t& byte, int k) { byte = static_cast<uint8_t>(byte & ~(1u << k)); }
constexpr void WriteBit(uint8_t& byte, int k, bool on) { on ? SetBit(byte, k) : ClearBit(byte, k); }

constexpr int HighHalf(uint8_t byte) { return byte >> 4; }
constexpr int LowHalf(uint8_t byte) { return byte & 0x0F; }
constexpr void SetHighHalf(uint8_t& byte, int index) {
  byte = static_cast<uint8_t>(((index & 0x0F) << 4) | (byte & 0x0F));
}
constexpr void SetLowHalf(uint8_t& byte, int index) {
  byte = static_cast<uint8_t>((index & 0x0F) | (byte & 0xF0));
}
// Bits 2..0: partitions and the system partition.
constexpr int Low3(uint8_t byte) { return byte & 0x07; }
constexpr void SetLow3(uint8_t& byte, int index) {
  byte = static_cast<uint8_t>((index & 0x07) | (byte & 0xF8));
}
// Bits 5..3: the zone type.
constexpr int Mid3(uint8_t byte) { return (byte >> 3) & 0x07; }
constexpr void SetMid3(uint8_t& byte, int index) {
  byte = static_cast<uint8_t>(((index & 0x07) << 3) | (byte & 0xC7));
}

}  // namespace tivolan
