#pragma once
// Bytes as hexadecimal digit pairs, two upper-case digits a byte in byte
// order: the file's "pdu", the firmware file, the simulator's log and its
// command line all use this one form.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tivolan {

// The text of `bytes`, with `separator` between two bytes.
std::string HexOf(std::span<const uint8_t> bytes, std::string_view separator = {});

// The value of one hexadecimal digit, either case; -1 for any other character.
int HexDigitValue(char c);

// The byte of the two digits at `at` and `at + 1`; nullopt when the text
// ends before them or either is no hexadecimal digit.
std::optional<uint8_t> HexPairAt(std::string_view text, std::size_t at);

// Every pair of a text of digits; nullopt when a digit has no pair or a
// character is no hexadecimal digit.
std::optional<std::vector<uint8_t>> BytesOfHex(std::string_view text);

}  // namespace tivolan
