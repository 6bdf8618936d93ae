#pragma once
// The frames of GSM blocks 2, 3 and 4, made from the blocks' values only
// when they are sent.
#include <cstdint>
#include <optional>

#include "link/Frames.h"
#include "model/GsmSettings.h"
#include "model/SharedData.h"

namespace tivolan {

inline constexpr uint8_t kDestBlock = 2;
inline constexpr uint8_t kGprsBlock = 3;
inline constexpr uint8_t kSmsBlock = 4;

// The write frame of block 2; nullopt when it would be longer than the
// device takes (kDestBufferSize).
std::optional<Frame> WriteFrame(const DestSettings& dest);
std::size_t FrameLength(const DestSettings& dest);
Frame WriteFrame(const GprsSettings& gprs);
Frame WriteFrame(const SmsList& sms);

}  // namespace tivolan
