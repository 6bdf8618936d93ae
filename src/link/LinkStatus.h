#pragma once
// The outcomes of a read or a write, reported step by step by the worker.
// Codes 0, 1 and 6..11 are final: exactly one ends every exchange.
#include <cstdint>

namespace tivolan {

enum LinkStatus : int {
  StatusReadDone = 0,        // read succeeded; the parameter is the device type
  StatusWriteDone = 1,       // write succeeded, read-back matched
  StatusPortOpened = 2,      // the configuration port is open
  StatusAnswerReceived = 3,  // the device started to answer
  StatusGsmReading = 4,      // reading the GSM blocks
  StatusGsmWriting = 5,      // writing the GSM blocks
  StatusPortError = 6,       // the port could not be opened
  StatusNoLink = 7,          // no answer, an incomplete answer, or a bad checksum
  StatusWriteMismatch = 8,   // the device's read-back differs from what was sent
  StatusUnknownDevice = 9,   // not a device answer, or another device type
  StatusGsmError = 10,       // a GSM block step failed
  StatusVersionTooOld = 11,  // a type-1 panel with firmware below 3
};

// Status bar text of a code; nullptr for a code that is no status.
const char* StatusText(int code);
bool IsFinalStatus(int code);
bool IsKnownStatus(int code);

enum class Flash { None, Green, Red };
inline constexpr uint32_t kFlashGreen = 0x008000;  // RGB
inline constexpr uint32_t kFlashRed = 0xFF0000;

// What the main window does on a code, besides showing its text.
struct StatusAction {
  Flash flash = Flash::None;
  bool enableControls = false;
  bool portErrorBox = false;  // the modal box comes first
  bool showRead = false;      // switch to the device read and refresh the pages
};
StatusAction ActionFor(int code);

// The worker's reports. The call returns once the window has handled the
// code (for code 6 after its modal box was dismissed).
class LinkReporter {
 public:
  virtual ~LinkReporter() = default;
  virtual void LinkStatusMessage(int code, int param) = 0;
};

}  // namespace tivolan
