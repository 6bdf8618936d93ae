#pragma once
// SHA-256 of a file's bytes, as lowercase hex: the journal names the exact
// configuration every panel got.
#include <string>
#include <string_view>

namespace tivolan {

std::string Sha256Hex(std::string_view bytes);

}  // namespace tivolan
