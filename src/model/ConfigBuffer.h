#pragma once
// The one configuration image of the current device, laid out as the block-1
// write frame so that it can be sent without copying.
#include <array>
#include <cstdint>

namespace tivolan {

inline constexpr std::size_t kConfigBufferSize = 201;
inline constexpr std::size_t kPayloadStart = 4;
// The type of ConfigBuffer (and of its staged and file copies).
using ImageBuffer = std::array<uint8_t, kConfigBufferSize>;

}  // namespace tivolan
