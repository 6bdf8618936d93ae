#pragma once
#include <string>
#include <vector>

namespace tivolan {

// Name order in which digit runs compare by value: ttyS2 before ttyS10.
bool NaturalLess(const std::string& a, const std::string& b);

// Serial devices under a sysfs tty class folder that have a driver behind
// them and, for UARTs, a port type other than 0 ("unknown"), as paths under
// `devDir`, in natural order.
std::vector<std::string> ListSysfsSerialPorts(const std::string& classTtyDir, const std::string& devDir);

}  // namespace tivolan
