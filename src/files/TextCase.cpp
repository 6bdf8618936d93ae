#include "files/TextCase.h"

#include <cstdint>

namespace tivolan {
namespace {

// Next code point of a UTF-8 text; a byte that starts no valid sequence is
// taken as itself.
char32_t Next(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  auto cont = [&](std::size_t k) { return i + k < s.size() && (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80; };
  if (b0 >= 0xC0 && b0 < 0xE0 && cont(1)) {
    const char32_t c = (char32_t(b0 & 0x1F) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3F);
    i += 2;
    return c;
  }
  ++i;
  return b0;
}

char32_t Fold(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 32;
  if (c >= 0x0410 && c <= 0x042F) return c + 32;  // А..Я
  if (c >= 0x0400 && c <= 0x040F) return c + 80;  // Ѐ..Џ, Ё among them
  if (c == 0x0490) return 0x0491;                 // Ґ
  return c;
}

}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size())
    if (Fold(Next(a, i)) != Fold(Next(b, j))) return false;
  return i == a.size() && j == b.size();
}

}  // namespace tivolan
