#pragma once
// Texts from outside the program (port names, the names of the processes
// holding a port, a USB adapter's own strings) as a terminal shows them: a
// name holding an escape sequence or a line end must not drive the
// terminal or forge a line, and columns are counted in characters, since a
// Cyrillic letter takes two bytes of UTF-8 but one column.
#include <cstddef>
#include <string>
#include <string_view>

namespace tivolan::cli {

// `text` with each control character (C0, DEL and C1) and each byte that is
// no UTF-8 written as an escape: \n \r \t or \xHH (a C1 character as
// \u0085); everything else as it is. A backslash stays one: Windows' port
// paths ("\\.\COM3") are full of them.
std::string Escaped(std::string_view text);

// A file's name as messages give it: escaped, and "-" as "стандартный ввод".
std::string ShownFileName(const std::string& path);

// `text` (escaped already) and blanks up to `width` characters.
std::string PaddedTo(const std::string& text, std::size_t width);

}  // namespace tivolan::cli
