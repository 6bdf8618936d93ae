#include "platform/PortState.h"

namespace tivolan {

namespace {
std::string Joined(const std::vector<std::string>& parts) {
  std::string text;
  for (const auto& p : parts) text += (text.empty() ? "" : ", ") + p;
  return text;
}
}  // namespace

std::string DescribePortState(const PortState& s) {
  std::string text;
  switch (s.condition) {
    case PortCondition::Free: text = "свободен"; break;
    case PortCondition::InUse:
      text = "занят" + (s.holders.empty() ? std::string(" другой программой") : ": " + Joined(s.holders));
      break;
    case PortCondition::NoPermission:
      text = "нет доступа";
      if (!s.group.empty())
        text += ": порт доступен группе " + s.group + "; выполните sudo usermod -aG " + s.group +
                " \"$USER\" и войдите в систему заново";
      else if (!s.owner.empty())
        text += ": порт доступен только пользователю " + s.owner +
                "; дайте доступ к нему группе dialout правилом udev (GROUP=\"dialout\", MODE=\"0660\") "
                "или запустите программу через sudo";
      break;
    case PortCondition::Missing: text = "нет такого устройства (адаптер отключён?)"; break;
    case PortCondition::NotSerial: text = "это не последовательный порт" + (s.kind.empty() ? "" : ": " + s.kind); break;
    case PortCondition::Unknown: text = "состояние неизвестно" + (s.detail.empty() ? "" : ": " + s.detail); break;
  }
  if (!s.adapter.empty()) text += " (" + s.adapter + ")";
  if (!s.otherEnd.empty()) text += "; на другом конце: " + Joined(s.otherEnd);
  return text;
}

}  // namespace tivolan
