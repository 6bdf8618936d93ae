#include "link/LinkStatus.h"

#include <array>

namespace tivolan {
namespace {
constexpr std::array<const char*, 12> kTexts{
    "Конфигурация прочитана, версия прибора - ",
    "Конфигурация записана",
    "Порт открыт",
    "Ответ прибора получен",
    "Читаем настройки GSM",
    "Пишем настройки GSM",
    "Ошибка порта",
    "Нет связи, проверьте соединения или тип прибора",
    "Обнаружены ошибки записи, попробуйте ещё раз",
    "Ошибка. Неизвестное устройство",
    "Ошибка при чтении или записи параметров GSM",
    "Версия 2 поддерживается программатором только версии 2",
};
}  // namespace

bool IsKnownStatus(int code) { return code >= 0 && code < static_cast<int>(kTexts.size()); }

const char* StatusText(int code) { return IsKnownStatus(code) ? kTexts[static_cast<std::size_t>(code)] : nullptr; }

bool IsFinalStatus(int code) { return code == 0 || code == 1 || (code >= 6 && code <= 11); }

StatusAction ActionFor(int code) {
  StatusAction a;
  if (!IsFinalStatus(code)) return a;
  a.enableControls = true;
  a.flash = code <= 1 ? Flash::Green : Flash::Red;
  a.portErrorBox = code == StatusPortError;
  a.showRead = code == StatusReadDone;
  return a;
}

}  // namespace tivolan
