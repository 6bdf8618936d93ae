#pragma once
#include <cstdint>
#include <span>

#include "model/ConfigBuffer.h"
#include "model/Prompter.h"

namespace tivolan {

// Default payload of a device type (bytes from index 4 on); empty for an
// unknown type.
std::span<const uint8_t> DefaultPayload(int type);

// Copies the default payload of `type` over the buffer from index 4 on; the
// frame header and checksum are left alone. An unknown type shows the
// catalogue error box, leaves the buffer as it was and returns false.
bool SetDefaultImage(ImageBuffer& buffer, int type, Prompter& prompter);

// True when the image selects GSM transmission: panels when byte 38 is 2,
// the concentrator when byte 10 is not 0. Throws DeviceTypeNotFound otherwise.
bool IsGsmInUse(const ImageBuffer& buffer, int type);

}  // namespace tivolan
