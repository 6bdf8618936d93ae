#pragma once
#include <string_view>

namespace tivolan {

// Equality of two UTF-8 names without regard to letter case, for Latin and
// Cyrillic letters (Ё/ё included), as the configuration file's readers need.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace tivolan
