#include "model/ModelErrors.h"

namespace tivolan {

MessageBox UnknownDeviceInSetDeviceBox() {
  return {"Внутренняя ошибка 2",
          "Ошибка. Прибор в списке не найден:newDevice)\r\nОбратитесь к разработчику", BoxIcon::Error};
}

MessageBox UnknownDeviceInDefaultImageBox() {
  return {"Внутренняя ошибка 1",
          "Ошибка. Прибор в списке не найден.:\r\nОбратитесь к разработчику", BoxIcon::Error};
}

}  // namespace tivolan
