#pragma once
// The device keeps texts one byte a character in code page 1251; the program
// holds them as UTF-8. Every byte 0..255 has a character, so a text read from
// a device comes back to the same bytes.
#include <optional>
#include <string>
#include <string_view>

namespace tivolan {

std::string Utf8FromCp1251(std::string_view bytes);

// Characters of UTF-8 text, as the user counts them (and a terminal column
// each, for the Latin and Cyrillic texts of the program).
std::size_t Utf8Length(std::string_view text);
// nullopt when the text holds a character code page 1251 does not have, or
// is no valid UTF-8.
std::optional<std::string> Cp1251FromUtf8(std::string_view text);

}  // namespace tivolan
