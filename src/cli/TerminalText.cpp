#include "cli/TerminalText.h"

#include <cstdint>
#include <cstdio>

#include "cli/Input.h"
#include "model/CodePage.h"

namespace tivolan::cli {
namespace {

// The length of the UTF-8 character at `at`, 0 when the bytes there are no
// valid one (overlong forms and surrogates included).
std::size_t CharLength(std::string_view text, std::size_t at) {
  const auto b = [&](std::size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = b(at);
  if (lead < 0x80) return 1;
  const std::size_t n = lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3 : lead >= 0xF0 && lead < 0xF5 ? 4 : 0;
  if (n == 0 || at + n > text.size()) return 0;
  for (std::size_t i = 1; i < n; ++i)
    if ((b(at + i) & 0xC0) != 0x80) return 0;
  const uint8_t second = b(at + 1);
  if (lead == 0xE0 && second < 0xA0) return 0;   // overlong
  if (lead == 0xED && second >= 0xA0) return 0;  // a surrogate
  if (lead == 0xF0 && second < 0x90) return 0;   // overlong
  if (lead == 0xF4 && second >= 0x90) return 0;  // past U+10FFFF
  return n;
}

std::string Hex(const char* format, unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

std::string Escaped(std::string_view text) {
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    const auto byte = static_cast<uint8_t>(text[at]);
    const std::size_t n = CharLength(text, at);
    if (n == 0) {
      out += Hex("\\x%02x", byte);
      ++at;
      continue;
    }
    if (n == 2 && byte == 0xC2 && static_cast<uint8_t>(text[at + 1]) < 0xA0) {
      out += Hex("\\u%04x", static_cast<uint8_t>(text[at + 1]));  // C1: U+0080..U+009F
    } else if (n > 1) {
      out.append(text.substr(at, n));
    } else if (byte == '\n') {
      out += "\\n";
    } else if (byte == '\r') {
      out += "\\r";
    } else if (byte == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      out += Hex("\\x%02x", byte);
    } else {
      out += static_cast<char>(byte);
    }
    at += n;
  }
  return out;
}

std::string ShownFileName(const std::string& path) { return IsStandardInput(path) ? "стандартный ввод" : Escaped(path); }

std::string PaddedTo(const std::string& text, std::size_t width) {
  const std::size_t length = Utf8Length(text);
  return length >= width ? text : text + std::string(width - length, ' ');
}

}  // namespace tivolan::cli
