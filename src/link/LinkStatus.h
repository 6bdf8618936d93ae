#pragma once
// The outcomes of a read or a write, reported step by step by the worker:
// one enum, one table. Every front end (the window, the command-line tool)
// and every test reads a code's text, whether it ends the exchange, its
// flash and its message box from the same row.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tivolan {

// Numbered from 0 in this order, as the worker's window messages carried
// them: 0 and 1 end a read or a write that succeeded, 2 to 5 are steps, 6 to
// 11 end one that failed.
enum class LinkStatus : uint8_t {
  StatusReadDone, StatusWriteDone,
  StatusPortOpened, StatusAnswerReceived, StatusGsmReading, StatusGsmWriting,
  StatusPortError, StatusNoLink, StatusWriteMismatch, StatusUnknownDevice, StatusGsmError, StatusVersionTooOld,
};
inline constexpr std::size_t kLinkStatusCount = 12;

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
    {LinkStatus::StatusReadDone, "StatusReadDone", "Конфигурация прочитана, версия прибора - ", true, Flash::Green, {}},
    {LinkStatus::StatusWriteDone, "StatusWriteDone", "Конфигурация записана", true, Flash::Green, {}},
    {LinkStatus::StatusPortOpened, "StatusPortOpened", "Порт открыт", false, Flash::None, {}},
    {LinkStatus::StatusAnswerReceived, "StatusAnswerReceived", "Ответ прибора получен", false, Flash::None, {}},
    {LinkStatus::StatusGsmReading, "StatusGsmReading", "Читаем настройки GSM", false, Flash::None, {}},
    {LinkStatus::StatusGsmWriting, "StatusGsmWriting", "Пишем настройки GSM", false, Flash::None, {}},
    {LinkStatus::StatusPortError, "StatusPortError", "Ошибка порта", true, Flash::Red,
     StatusBox{"Ошибка открытия порта",
               "Невозможно открыть последовательный порт.\r\nВыберите другой порт и попробуйте снова"}},
    {LinkStatus::StatusNoLink, "StatusNoLink", "Нет связи, проверьте соединения или тип прибора", true, Flash::Red, {}},
    {LinkStatus::StatusWriteMismatch, "StatusWriteMismatch", "Обнаружены ошибки записи, попробуйте ещё раз", true,
     Flash::Red, {}},
    {LinkStatus::StatusUnknownDevice, "StatusUnknownDevice", "Ошибка. Неизвестное устройство", true, Flash::Red, {}},
    {LinkStatus::StatusGsmError, "StatusGsmError", "Ошибка при чтении или записи параметров GSM", true, Flash::Red, {}},
    {LinkStatus::StatusVersionTooOld, "StatusVersionTooOld", "Версия 2 поддерживается программатором только версии 2",
     true, Flash::Red, {}},
}};

constexpr const StatusRow& RowOf(LinkStatus code) { return kLinkStatuses[static_cast<std::size_t>(code)]; }
// Status bar text of a code.
constexpr const char* StatusText(LinkStatus code) { return RowOf(code).text; }
constexpr bool IsFinalStatus(LinkStatus code) { return RowOf(code).final; }

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
