// Names from outside the program as the terminal gets them.
#include <gtest/gtest.h>

#include "cli/TerminalText.h"

namespace tivolan::cli {
namespace {

struct EscapeCase {
  const char* what;
  std::string text;
  std::string shown;
};

TEST(Escaped, ControlCharactersAndBrokenUtf8BecomeEscapesAndTextStays) {
  const EscapeCase cases[] = {
      {"plain", "/dev/ttyUSB0", "/dev/ttyUSB0"},
      {"Cyrillic", "/dev/порт", "/dev/порт"},
      {"three and four bytes", "€ 😀", "€ 😀"},
      {"line ends and tabs", "a\nb\r\tc", "a\\nb\\r\\tc"},
      {"an escape sequence", "\x1b[2J", "\\x1b[2J"},
      {"NUL and DEL", std::string("a\0b\x7f", 4), "a\\x00b\\x7f"},
      {"a Windows port path", "\\\\.\\COM3", "\\\\.\\COM3"},
      {"C1 control", "a\xc2\x9b" "31m", "a\\u009b31m"},
      {"no UTF-8", "\xff\xfe", "\\xff\\xfe"},
      {"cut character", "/dev/\xd0", "/dev/\\xd0"},
      {"overlong slash", "\xc0\xaf", "\\xc0\\xaf"},
      {"overlong three bytes", "\xe0\x80\xaf", "\\xe0\\x80\\xaf"},
      {"surrogate", "\xed\xa0\x80", "\\xed\\xa0\\x80"},
      {"past U+10FFFF", "\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"},
  };
  for (const EscapeCase& c : cases) EXPECT_EQ(Escaped(c.text), c.shown) << c.what;
}

TEST(PaddedTo, CountsCharactersNotBytes) {
  EXPECT_EQ(PaddedTo("порт", 6), "порт  ");
  EXPECT_EQ(PaddedTo("port", 6), "port  ");
  EXPECT_EQ(PaddedTo("порт-длинный", 6), "порт-длинный");
}

}  // namespace
}  // namespace tivolan::cli
