#include "shell/ui/dialogs/FormGprs.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "model/CodePage.h"
#include "shell/ui/kit/QtText.h"
#include "shell/ui/kit/PageKit.h"

namespace tivolan {

TfrmGPRS::TfrmGPRS(QWidget* parent, SharedData& shared, GprsDialogState& state, std::function<Prompter&()> prompts)
    : QDialog(parent), data_(shared), state_(state), prompts_(std::move(prompts)) {
  setObjectName(QStringLiteral("frmGPRS"));
  setWindowTitle(QStringLiteral("Параметры GPRS"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  auto* column = new QVBoxLayout(this);
  auto* sims = new QHBoxLayout;
  sims->addWidget(BuildSim(1, {edtAPN1, edtUser1, edtPass1, bxOper1}));
  sims->addWidget(BuildSim(2, {edtAPN2, edtUser2, edtPass2, bxOper2}));
  column->addLayout(sims);
  btnSaveExit = new QPushButton(QStringLiteral("Сохранить"), this);
  btnSaveExit->setObjectName(QStringLiteral("btnSaveExit"));
  btnSaveExit->setAccessibleName(btnSaveExit->text());
  btnSaveExit->setDefault(true);  // Enter in a field saves, as the only button
  column->addWidget(btnSaveExit, 0, Qt::AlignHCenter);
  connect(btnSaveExit, &QPushButton::clicked, this, &TfrmGPRS::btnSaveExitClick);
  for (auto [edit, text] : Fields()) {
    edit->installEventFilter(this);
    // The fields hold the device's bytes (code page 1251), as block 3 does.
    connect(edit, &QLineEdit::textEdited, this,
            [text = text](const QString& t) { *text = Cp1251FromUtf8(S(t)).value_or(S(t)); });
  }
  connect(bxOper1, &QComboBox::activated, this, [this](int row) {
    bxOper1Change(state_, row);
    Sync();
  });
  connect(bxOper2, &QComboBox::activated, this, [this](int row) {
    bxOper2Change(state_, row);
    Sync();
  });
}

QGroupBox* TfrmGPRS::BuildSim(int n, const Sim& sim) {
  auto* group = new QGroupBox(QStringLiteral("SIM-карта №%1").arg(n), this);
  auto* form = new QFormLayout(group);
  auto edit = [&](const char* name, const QString& caption) {
    auto* e = new QLineEdit(group);
    e->setObjectName(QStringLiteral("%1%2").arg(QString::fromLatin1(name)).arg(n));
    e->setAccessibleName(QStringLiteral("SIM-карта №%1: %2").arg(n).arg(caption));
    e->setMinimumWidth(190);
    form->addRow(MakeLabel(group, caption, e), e);
    return e;
  };
  sim.apn = edit("edtAPN", QStringLiteral("APN"));
  sim.user = edit("edtUser", QStringLiteral("Пользователь"));
  sim.pass = edit("edtPass", QStringLiteral("Пароль"));
  sim.oper = MakeList(group, n == 1 ? "bxOper1" : "bxOper2", QStringLiteral("SIM-карта №%1: Шаблон").arg(n));
  for (const OperatorPreset& preset : TOperators) sim.oper->addItem(Q(preset.name));
  form->addRow(MakeLabel(group, QStringLiteral("Шаблон"), sim.oper), sim.oper);
  return group;
}

std::array<std::pair<QLineEdit*, std::string*>, 6> TfrmGPRS::Fields() {
  return {{{edtAPN1, &state_.edtAPN1},
           {edtUser1, &state_.edtUser1},
           {edtPass1, &state_.edtPass1},
           {edtAPN2, &state_.edtAPN2},
           {edtUser2, &state_.edtUser2},
           {edtPass2, &state_.edtPass2}}};
}

void TfrmGPRS::Sync() {
  for (auto [edit, text] : Fields()) {
    const QSignalBlocker block(edit);
    edit->setText(Q(Utf8FromCp1251(*text)));
  }
  const QSignalBlocker b1(bxOper1), b2(bxOper2);
  bxOper1->setCurrentIndex(state_.bxOper1);
  bxOper2->setCurrentIndex(state_.bxOper2);
}

bool TfrmGPRS::ShowModal() {
  Sync();
  return exec() == QDialog::Accepted;
}

// Text that came in other than by typing and cannot be stored as it stands
// is shown as it will be stored, and named; the dialog stays open.
void TfrmGPRS::btnSaveExitClick() {
  if (const auto altered = tivolan::btnSaveExitClick(state_, data_.GprsTX_Buffer)) {
    Sync();
    prompts_().Show(*altered);
    return;
  }
  accept();
}

bool TfrmGPRS::eventFilter(QObject* watched, QEvent* event) {
  auto* edit = qobject_cast<QLineEdit*>(watched);
  if (edit && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    if (!text.isEmpty() && (text.at(0).isPrint() || key->key() == Qt::Key_Backspace)) {
      const QByteArray bytes = text.toUtf8();
      char c = key->key() == Qt::Key_Backspace ? '\b' : (bytes.size() == 1 ? bytes[0] : '\x01');
      edtAPN1KeyPress(S(edit->text()), static_cast<std::size_t>(edit->selectedText().size()), c);
      if (c == 0) return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace tivolan
