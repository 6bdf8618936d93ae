// TForm1's page control: the pages, each built when first shown, what they
// mirror, and the commit of fields still being edited.
#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>

#include "configuration/FileCommands.h"
#include "shell/ui/UnitMain.h"
#include "shell/ui/kit/PageKeys.h"
#include "shell/ui/kit/PageKit.h"
#include "shell/ui/kit/QtText.h"
#include "shell/ui/kit/WheelGuard.h"
#include "shell/ui/pages/ConcentratorPageWidget.h"
#include "shell/ui/pages/FirmwarePageWidget.h"
#include "shell/ui/pages/PeripheryPageWidget.h"
#include "shell/ui/pages/TxPageWidget.h"
#include "shell/ui/pages/ZonePageWidget.h"

namespace tivolan {

void TForm1::BuildPageControl(QWidget* parent) {
  PageMain = new QTabWidget(parent);
  PageMain->setObjectName(QStringLiteral("PageMain"));
  PageMain->setAccessibleName(QStringLiteral("Страницы настроек"));
  for (int i = 0; i < kTabCount; ++i) {
    const QString caption = Q(kTabCaptions[static_cast<std::size_t>(i)]);
    auto* slot = new PageSlot(PageMain, [this, i](QWidget* holder) { return BuildPage(i, holder); });
    slot->setAccessibleName(caption);
    pages_[static_cast<std::size_t>(i)] = slot;
    PageMain->addTab(slot, TabIcon(i), caption);
  }
  connect(PageMain, &QTabWidget::currentChanged, this, &TForm1::PageMainChange);
  StepPagesByKeys(PageMain);
}

// A page the first time it is shown: built, guarded against the stray wheel,
// and showing the state it mirrors.
QWidget* TForm1::BuildPage(int tab, QWidget* slot) {
  auto prompts = [this]() -> Prompter& { return *prompter_; };
  QWidget* page = nullptr;
  auto synced = [&page](auto* built) {
    built->Sync();
    page = built;
  };
  switch (tab) {
    case kTabShlf: synced(new ZonePageWidget(slot, data_, form_.zones)); break;
    case kTabPeriph: synced(new PeripheryPageWidget(slot, data_, form_.periphery)); break;
    case kTabTx: synced(new TxPageWidget(slot, data_, form_.tx, prompts)); break;
    case kTabCnc: synced(new ConcentratorPageWidget(slot, data_, form_.concentrator)); break;
    default:
      page = new FirmwarePageWidget(
          slot, FirmwareHost{prompts, chooseFile_, [this] { return FileFolder(); },
                             [this](TCommPortDriver& port) { return TakePortOfBox(port); },
                             [this](const std::string& cause) { ShowPortError(cause); },
                             [this](bool enabled) {
                               for (QWidget* w : std::initializer_list<QWidget*>{PortNameBox, ButtonRead, ButtonWrite})
                                 w->setEnabled(enabled);
                             },
                             [this](const std::string& text, Flash flash) {
                               SetStatusText(Q(text));
                               if (flash != Flash::None) FlashStatusBar(FlashColour(flash), 3);
                             }});
      break;
  }
  GuardWheel(page);
  return page;
}

void TForm1::BuildPages() {
  for (PageSlot* slot : pages_) slot->Page();
  BuiltPage<TxPageWidget>(kTabTx)->BuildDialogs();
}

std::string TForm1::FileFolder() { return ReadSetting(settings_, kSettingFilePath, CurrentFolder()); }

bool TForm1::FirmwareRunning() {
  const auto* firmware = BuiltPage<FirmwarePageWidget>(kTabUpdate);
  return firmware && firmware->Running();
}

TCommPortDriver& TForm1::UpdatePort() {
  return static_cast<FirmwarePageWidget*>(pages_[kTabUpdate]->Page())->UpdatePort();
}

void TForm1::SyncFromState() {
  const QSignalBlocker block(PageMain);
  // A hidden page is disabled as well: Ctrl+Tab and the tab bar's keys pass
  // over disabled pages only.
  for (int i = 0; i < kTabCount; ++i) {
    const bool visible = form_.tabVisible[static_cast<std::size_t>(i)];
    PageMain->setTabVisible(i, visible);
    PageMain->setTabEnabled(i, visible);
  }
  PageMain->setCurrentIndex(form_.activeTab);
  activePage_ = form_.activeTab;
  SyncPages();
}

void TForm1::SyncPages() {
  if (auto* page = BuiltPage<ZonePageWidget>(kTabShlf)) page->Sync();
  if (auto* page = BuiltPage<PeripheryPageWidget>(kTabPeriph)) page->Sync();
  if (auto* page = BuiltPage<TxPageWidget>(kTabTx)) page->Sync();
  if (auto* page = BuiltPage<ConcentratorPageWidget>(kTabCnc)) page->Sync();
}

void TForm1::PageMainChange(int index) {
  auto* zones = BuiltPage<ZonePageWidget>(kTabShlf);
  if (zones && activePage_ == kTabShlf && index != kTabShlf) zones->PageShlfExit();
  activePage_ = index;
  form_.activeTab = index;
}

bool TForm1::CommitPendingEdits() {
  // A page never built holds no edit.
  auto* tx = BuiltPage<TxPageWidget>(kTabTx);
  if (tx && !tx->CommitEdits()) {
    tx->RefuseDevNumber();
    return false;
  }
  BtnClose->setFocus();
  if (auto* zones = BuiltPage<ZonePageWidget>(kTabShlf)) zones->CommitEdits();
  return true;
}

}  // namespace tivolan
