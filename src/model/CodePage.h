#pragma once
// The device keeps texts one byte a character in code page 1251; the program
// holds them as UTF-8. Every byte 0..255 has a character, so a text read from
// a device comes back to the same bytes.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tivolan {

// The control bytes other than tab and line ends: XML 1.0 has no character
// for them and a table would show nothing. They are held as the control
// pictures U+2400..U+241F ("␁" for 0x01), which code page 1251 does not
// have, so that such a text can be seen and saved and still comes back to
// its bytes.
bool IsPicturedByte(uint8_t byte);
inline constexpr char32_t kFirstControlPicture = 0x2400;

std::string Utf8FromCp1251(std::string_view bytes);

// Characters of UTF-8 text, as the user counts them (and a terminal column
// each, for the Latin and Cyrillic texts of the program).
std::size_t Utf8Length(std::string_view text);
// nullopt when the text holds a character code page 1251 does not have, or
// is no valid UTF-8. A control picture gives its control byte.
std::optional<std::string> Cp1251FromUtf8(std::string_view text);

}  // namespace tivolan
