#pragma once
// The files a command reads: a path, or "-" for standard input, which is
// read whole once, as a file would be.
#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>

namespace tivolan::cli {

inline bool IsStandardInput(const std::string& path) { return path == "-"; }

// Standard input to its end, but never more than `limit` + 1 bytes, so that
// the reader refuses what is too large without it all being kept; nullopt
// when it cannot be read.
std::optional<std::string> ReadStandardInput(std::istream& in, std::size_t limit);

}  // namespace tivolan::cli
