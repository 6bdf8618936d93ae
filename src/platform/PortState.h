#pragma once
// Why a serial port can or cannot be opened, in words an installer can act
// on: free, in use (by whom), no permission (and the command that fixes it),
// no such device, not a serial port; and which USB adapter it is.
#include <string>
#include <vector>

namespace tivolan {

enum class PortCondition { Free, InUse, NoPermission, Missing, NotSerial, Unknown };

struct PortState {
  std::string path;
  PortCondition condition = PortCondition::Unknown;
  std::vector<std::string> holders;  // "процесс 1234 (minicom)", "файл блокировки /run/lock/LCK..ttyUSB0"
  std::vector<std::string> otherEnd; // who holds a pseudo-terminal's master side: "процесс 99 (socat)"
  std::string group;                 // the device's group, when permission is missing and it may open the port
  std::string owner;                 // else the device's owner
  std::string kind;                  // what the path is instead, when it is no serial port
  std::string adapter;               // maker and model of a USB adapter
  std::string serial;                // the adapter's serial number, where it has one
  std::string detail;                // the system's own words where nothing better is known
};

// Looks at the port: it is opened and closed again as any program's open
// would (the kernel may raise DTR), but nothing is sent and the line
// settings stay.
PortState DiagnosePort(const std::string& path);

// One line: "свободен", "занят: процесс 1234 (minicom)", "нет доступа: ...";
// a pseudo-terminal adds "; на другом конце: процесс 99 (socat)".
std::string DescribePortState(const PortState& state);

}  // namespace tivolan
