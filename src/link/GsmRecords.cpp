#include "link/GsmRecords.h"

namespace tivolan {

std::size_t FrameLength(const DestSettings& dest) { return dest.Pack().size() + kFrameOverhead; }

std::optional<Frame> WriteFrame(const DestSettings& dest) {
  if (FrameLength(dest) > kDestBufferSize) return std::nullopt;
  return Frame::Make(kCmdWrite, kDestBlock, dest.Pack());
}

Frame WriteFrame(const GprsSettings& gprs) { return *Frame::Make(kCmdWrite, kGprsBlock, gprs.Pack()); }

Frame WriteFrame(const SmsList& sms) { return *Frame::Make(kCmdWrite, kSmsBlock, sms.Pack()); }

}  // namespace tivolan
