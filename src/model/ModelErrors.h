#pragma once
// Errors of the configuration model that reach the default error display.
#include <stdexcept>

#include "model/Prompter.h"

namespace tivolan {

// Raised where a device type outside 1..3 reaches an operation that needs one.
class DeviceTypeNotFound : public std::runtime_error {
 public:
  DeviceTypeNotFound() : std::runtime_error("Тип прибора не найден") {}
};

// The catalogue error boxes.
MessageBox UnknownDeviceInSetDeviceBox();
MessageBox UnknownDeviceInDefaultImageBox();

}  // namespace tivolan
