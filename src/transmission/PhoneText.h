#pragma once
// Phone and host texts as the destination table and the SMS list keep them.
#include <string>

namespace tivolan {

// Written into a cell when a row is switched on or its protocol family changes.
inline constexpr const char* kPhonePlaceholder = "+7(903)123-45-67";
inline constexpr const char* kHostPlaceholder = "127.0.0.1:24333";

// The text without "+", "(", ")", "-", "." and " ".
std::string StripPhoneSeparators(const std::string& text);

}  // namespace tivolan
