#pragma once
// What a reader sees on each page of a PDF, and its title, through
// poppler's tools (poppler-utils): nullopt when they are not installed.
#include <optional>
#include <string>
#include <vector>

#include "support/Processes.h"

namespace tivolan::test {

inline bool HavePopplerTools() { return RunProgram("/usr/bin/pdftotext", {"-v"}).status == 0; }

// The text of every page, in reading order.
inline std::optional<std::vector<std::string>> PdfPages(const std::string& path) {
  const RunResult r = RunProgram("/usr/bin/pdftotext", {"-layout", "-enc", "UTF-8", path, "-"});
  if (r.status != 0) return std::nullopt;
  std::vector<std::string> pages;
  std::size_t from = 0;
  for (std::size_t feed; (feed = r.out.find('\f', from)) != std::string::npos; from = feed + 1)
    pages.push_back(r.out.substr(from, feed - from));
  return pages;
}

inline std::string Joined(const std::vector<std::string>& pages) {
  std::string all;
  for (const auto& page : pages) all += page;
  return all;
}

// The document's "Title", as a viewer shows it in its title bar.
inline std::optional<std::string> PdfTitle(const std::string& path) {
  const RunResult r = RunProgram("/usr/bin/pdfinfo", {"-enc", "UTF-8", path});
  if (r.status != 0) return std::nullopt;
  const std::size_t at = r.out.find("Title:");
  if (at == std::string::npos) return std::string();
  const std::size_t start = r.out.find_first_not_of(' ', at + 6);
  return r.out.substr(start, r.out.find('\n', start) - start);
}

}  // namespace tivolan::test
