#pragma once
// Appending to a file so that what was appended survives a power cut: the
// file is opened for appending only (created when missing), written and
// flushed to the disk before the call returns.
#include <optional>
#include <string>

namespace tivolan::station {

// What went wrong, in the system's words, or nullopt. `size` gets the
// file's size before the append.
std::optional<std::string> AppendDurably(const std::string& path, const std::string& bytes,
                                         unsigned long long* sizeBefore = nullptr);

}  // namespace tivolan::station
