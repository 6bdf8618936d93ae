#pragma once
// The outcomes of a read or a write, reported step by step by the worker:
// one enum, one table. Every front end (the window, the command-line tool)
// and every test reads a code's text, whether it ends the exchange, its
// flash and its message box from the same row.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tivolan {

enum LinkStatus : uint8_t {
  StatusReadDone = 0,
  StatusWriteDone = 1,
  StatusPortOpened = 2,
  StatusAnswerReceived = 3,
  StatusGsmReading = 4,
  StatusGsmWriting = 5,
  StatusPortError = 6,
  StatusNoLink = 7,
  StatusWriteMismatch = 8,
  StatusUnknownDevice = 9,
  StatusGsmError = 10,
  StatusVersionTooOld = 11,
};
inline constexpr int kLinkStatusCount = 12;

enum class Flash : uint8_t { None, Green, Red };
inline constexpr uint32_t kFlashGreen = 0x008000;  // RGB
inline constexpr uint32_t kFlashRed = 0xFF0000;
constexpr uint32_t FlashColour(Flash flash) { return flash == Flash::Green ? kFlashGreen : kFlashRed; }

// A modal box with the error icon, shown before the status text.
struct StatusBox {
  const char* caption;
  const char* text;  // lines separated by "\r\n"
};

struct StatusRow {
  LinkStatus code;
  const char* name;
  const char* text;  // status bar text
  bool final;        // exactly one final code ends every read or write
  Flash flash;
  std::optional<StatusBox> box;
};

//                 code                  name                    text, final, flash, box
inline constexpr std::array<StatusRow, kLinkStatusCount> kLinkStatuses{{
    {StatusReadDone, "StatusReadDone", "Конфигурация прочитана, версия прибора - ", true, Flash::Green, {}},
    {StatusWriteDone, "StatusWriteDone", "Конфигурация записана", true, Flash::Green, {}},
    {StatusPortOpened, "StatusPortOpened", "Порт открыт", false, Flash::None, {}},
    {StatusAnswerReceived, "StatusAnswerReceived", "Ответ прибора получен", false, Flash::None, {}},
    {StatusGsmReading, "StatusGsmReading", "Читаем настройки GSM", false, Flash::None, {}},
    {StatusGsmWriting, "StatusGsmWriting", "Пишем настройки GSM", false, Flash::None, {}},
    {StatusPortError, "StatusPortError", "Ошибка порта", true, Flash::Red,
     StatusBox{"Ошибка открытия порта",
               "Невозможно открыть последовательный порт.\r\nВыберите другой порт и попробуйте снова"}},
    {StatusNoLink, "StatusNoLink", "Нет связи, проверьте соединения или тип прибора", true, Flash::Red, {}},
    {StatusWriteMismatch, "StatusWriteMismatch", "Обнаружены ошибки записи, попробуйте ещё раз", true, Flash::Red, {}},
    {StatusUnknownDevice, "StatusUnknownDevice", "Ошибка. Неизвестное устройство", true, Flash::Red, {}},
    {StatusGsmError, "StatusGsmError", "Ошибка при чтении или записи параметров GSM", true, Flash::Red, {}},
    {StatusVersionTooOld, "StatusVersionTooOld", "Версия 2 поддерживается программатором только версии 2", true,
     Flash::Red, {}},
}};

// The row of a code as a report carries it; nullptr for a number that is no
// status (such a report is ignored).
const StatusRow* FindStatus(int code);
constexpr const StatusRow& RowOf(LinkStatus code) { return kLinkStatuses[code]; }

// Status bar text of a code; nullptr for a number that is no status.
const char* StatusText(int code);
bool IsFinalStatus(int code);

// The status bar text as shown: a read's text ends in the device's version.
std::string StatusMessage(LinkStatus code, int deviceVersion);

// The worker's reports. The call returns once the owner has handled the
// code (for code 6 after its modal box was dismissed).
class LinkReporter {
 public:
  virtual ~LinkReporter() = default;
  virtual void LinkStatusMessage(LinkStatus code, int param) = 0;
};

}  // namespace tivolan
