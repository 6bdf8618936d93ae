#pragma once
// Reads CSV as RFC 4180 has it (quoted fields, "" for a quote, CRLF rows),
// so that a test sees a journal as a spreadsheet would.
#include <string>
#include <vector>

namespace tivolan::test {

using CsvRows = std::vector<std::vector<std::string>>;

// The rows; false in `ok` when a row does not end in CRLF or a quote is
// left open.
inline CsvRows ParseCsv(const std::string& text, bool& ok) {
  CsvRows rows(1, std::vector<std::string>(1));
  bool quoted = false;
  ok = true;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c != '"') rows.back().back() += c;
      else if (i + 1 < text.size() && text[i + 1] == '"') rows.back().back() += text[++i];
      else quoted = false;
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      rows.back().emplace_back();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      rows.emplace_back(1);
      ++i;
    } else {
      ok = ok && c != '\n' && c != '\r';
      rows.back().back() += c;
    }
  }
  ok = ok && !quoted && rows.back() == std::vector<std::string>(1);
  rows.pop_back();
  return rows;
}

}  // namespace tivolan::test
