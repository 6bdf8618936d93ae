#pragma once
#include <QIcon>
#include <QStringList>
#include <QWidget>
#include <array>

#include "model/SharedData.h"
#include "model/ZonePage.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QGridLayout;
class QLineEdit;

namespace tivolan {

// The "Шлейфы" page: eight zone rows and the partition dependency group,
// mirrored from ZonePageState; user input goes to the core's handlers.
class ZonePageWidget : public QWidget {
 public:
  ZonePageWidget(QWidget* parent, SharedData& shared, ZonePageState& state);
  void Sync();
  // Runs the exit handler of a delay field still being edited.
  void CommitEdits();
  // The page loses the focus (another tab is chosen).
  void PageShlfExit();

 private:
  std::array<QComboBox*, 8> bxShlfPart{};
  std::array<QComboBox*, 8> FShlfType{};
  std::array<QComboBox*, 8> ShlfEvent{};
  std::array<QLineEdit*, 8> edtDelayIn{};
  std::array<QLineEdit*, 8> edtDelayOut{};
  std::array<QCheckBox*, 8> chkShlfRearm{};
  std::array<QCheckBox*, 8> chkF_Req{};
  std::array<QCheckBox*, 7> chkPartDep{};  // boxes "2".."8"
  QGroupBox* grpPartDep = nullptr;

  // The items every row's lists share, made once for the eight rows.
  struct RowLists {
    QStringList partitions;
    QStringList events;
    std::array<QIcon, 8> typeIcons;
  };
  void BuildRow(QGridLayout* grid, int zone, const RowLists& lists);
  QWidget* BuildDependencyGroup();
  void Connect(int zone);
  void SyncRow(int zone);
  // Runs a handler on the panel image of the current type, then re-syncs.
  template <typename Handler>
  void OnPanel(Handler handler);

  SharedData& data_;
  ZonePageState& state_;
};

}  // namespace tivolan
