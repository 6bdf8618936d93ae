#pragma once
// What a reader sees on each page of a PDF, and its title, through
// poppler's tools (poppler-utils): nullopt when they are not there.
#include <optional>
#include <string>
#include <vector>

#ifndef _WIN32
#include "support/Processes.h"
#endif

namespace tivolan::test {

#ifdef _WIN32
// The Windows suites cannot start poppler's tools, which are Linux programs;
// the report is the same Qt painting there, read on Linux.
inline std::string WhyNoPdfText() { return "poppler's pdftotext is a Linux program, not started under Wine"; }
inline std::optional<std::vector<std::string>> PdfPages(const std::string&) { return std::nullopt; }
inline std::optional<std::string> PdfTitle(const std::string&) { return std::nullopt; }
#else
// Empty when the tools are there.
inline std::string WhyNoPdfText() {
  return RunProgram("/usr/bin/pdftotext", {"-v"}).status == 0 ? "" : "pdftotext (poppler-utils) is not installed";
}

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

// The document's "Title", as a viewer shows it in its title bar.
inline std::optional<std::string> PdfTitle(const std::string& path) {
  const RunResult r = RunProgram("/usr/bin/pdfinfo", {"-enc", "UTF-8", path});
  if (r.status != 0) return std::nullopt;
  const std::size_t at = r.out.find("Title:");
  if (at == std::string::npos) return std::string();
  const std::size_t start = r.out.find_first_not_of(' ', at + 6);
  return r.out.substr(start, r.out.find('\n', start) - start);
}
#endif

inline bool HavePopplerTools() { return WhyNoPdfText().empty(); }

inline std::string Joined(const std::vector<std::string>& pages) {
  std::string all;
  for (const auto& page : pages) all += page;
  return all;
}

}  // namespace tivolan::test
