#include "model/CodePage.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tivolan {
namespace {

// Bytes 0x80..0xBF; 0xC0..0xFF are А..я in order. 0x98 has no character of
// its own and stands for U+0098, so that it too survives a round trip.
constexpr std::array<char32_t, 64> kHigh{
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

char32_t CharOf(uint8_t byte) {
  if (IsPicturedByte(byte)) return kFirstControlPicture + byte;
  if (byte < 0x80) return byte;
  if (byte >= 0xC0) return 0x0410 + (byte - 0xC0);
  return kHigh[byte - 0x80];
}

std::optional<uint8_t> ByteOf(char32_t c) {
  if (c < 0x80) return static_cast<uint8_t>(c);
  if (c >= kFirstControlPicture && c < kFirstControlPicture + 0x20) return static_cast<uint8_t>(c - kFirstControlPicture);
  if (c >= 0x0410 && c <= 0x044F) return static_cast<uint8_t>(0xC0 + (c - 0x0410));
  for (std::size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == c) return static_cast<uint8_t>(0x80 + i);
  return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The next character of UTF-8 text at `at`, advancing it; nullopt when the
// bytes there are no valid character of up to three bytes (code page 1251
// has none beyond).
std::optional<char32_t> NextChar(std::string_view text, std::size_t& at) {
  const auto b = [&](std::size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = b(at);
  if (lead < 0x80) {
    ++at;
    return char32_t{lead};
  }
  const std::size_t n = lead >= 0xE0 && lead < 0xF0 ? 3 : (lead >= 0xC2 && lead < 0xE0 ? 2 : 0);
  if (n == 0 || at + n > text.size()) return std::nullopt;
  char32_t c = lead & (n == 2 ? 0x1F : 0x0F);
  for (std::size_t i = 1; i < n; ++i) {
    if ((b(at + i) & 0xC0) != 0x80) return std::nullopt;
    c = (c << 6) | (b(at + i) & 0x3F);
  }
  if (n == 3 && c < 0x800) return std::nullopt;  // an overlong form
  at += n;
  return c;
}

}  // namespace

bool IsPicturedByte(uint8_t byte) { return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r'; }

std::size_t Utf8Length(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0u) != 0x80u; }));
}

std::string Utf8FromCp1251(std::string_view bytes) {
  std::string out;
  for (char byte : bytes) AppendUtf8(out, CharOf(static_cast<uint8_t>(byte)));
  return out;
}

std::optional<std::string> Cp1251FromUtf8(std::string_view text) {
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    const auto c = NextChar(text, at);
    if (!c) return std::nullopt;
    const auto byte = ByteOf(*c);
    if (!byte) return std::nullopt;
    out += static_cast<char>(*byte);
  }
  return out;
}

}  // namespace tivolan
