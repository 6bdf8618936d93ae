#pragma once
// Port texts of the platform the tests run on: Linux names a port by its
// device path, Windows by its COM name.
namespace tivolan::test {

#ifdef _WIN32
inline constexpr const char* kNoSuchPort = "COM250";  // a port name nothing answers to
inline constexpr const char* kSomePort = "COM12";
inline constexpr const char* kSomePortPath = "\\\\.\\COM12";  // the driver's name of kSomePort
inline constexpr const char* kNotAPort = "USB";             // a text that names no port
#else
inline constexpr const char* kNoSuchPort = "/dev/tivolan-no-port";
inline constexpr const char* kSomePort = "/dev/ttyUSB3";
inline constexpr const char* kSomePortPath = "/dev/ttyUSB3";
inline constexpr const char* kNotAPort = "COM3";
#endif

}  // namespace tivolan::test
