#pragma once
// The 178 zone events: list text and the event byte the panel stores.
#include <array>
#include <cstdint>
#include <span>

namespace tivolan {

inline constexpr int kEventCount = 178;

struct EventEntry {
  uint8_t byte;
  const char* text;  // Contact ID code, " - ", name
};

std::span<const EventEntry> EventList();

// Event byte of a list position 0..177; 0 outside the list.
uint8_t EventByteAt(int position);

// The inverse table: list position + 1 of an event byte, -1 where no entry has
// that byte (byte 0 has none either).
int EventPositionPlusOne(uint8_t byte);

// List position of an event byte, -1 when it has no entry.
int EventPosition(uint8_t byte);

}  // namespace tivolan
