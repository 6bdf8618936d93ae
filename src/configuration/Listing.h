#pragma once
// Every setting of a configuration in the words of the pages: page and
// control captions, and the values as the lists show them. For reading,
// printing, review, and comparing two configurations.
#include <string>
#include <vector>

#include "model/SharedData.h"

namespace tivolan {

// Ends the caption of a setting the pages keep but do not show.
inline constexpr const char* kHiddenMark = " (скрыто)";

struct ListingEntry {
  std::string page;   // tab caption, or "" for the device type
  std::string key;    // control caption; zone rows start with "ШСn: "
  std::string value;  // as shown; "" where the page hides the control
};

// The listing of the image in `data` for its device type.
std::vector<ListingEntry> ListConfiguration(const SharedData& data);

// The listing as text: a heading per page, zones as an aligned table.
std::string FormatListing(const std::vector<ListingEntry>& entries);

}  // namespace tivolan
