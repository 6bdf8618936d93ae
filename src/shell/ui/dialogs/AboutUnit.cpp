#include "shell/ui/dialogs/AboutUnit.h"

#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "shell/frame/About.h"
#include "platform/Platform.h"
#include "shell/ui/kit/QtText.h"

namespace tivolan {

namespace {
constexpr int kCaptionAndFrame = 30;  // a dialog caption and its frame, as on Windows
}

void ShowAboutBox(QWidget* parent, const QString& applicationTitle) {
  const auto record = ReadVersionRecord();
  if (record.empty()) return;

  QDialog box(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  box.setObjectName(QStringLiteral("AboutBox"));
  box.setWindowTitle(QStringLiteral("О программе: ") + applicationTitle);

  auto* icon = new QLabel(&box);
  const QPixmap pixmap = QApplication::windowIcon().pixmap(32, 32);
  icon->setPixmap(pixmap);
  icon->setGeometry(10, 10, pixmap.width(), pixmap.height());

  const int x = icon->x() + icon->width() + 10;
  int width = 10;
  QWidget* previous = icon;
  bool first = true;
  for (const auto& line : AboutLines(record)) {
    auto* label = new QLabel(Q(line.text), &box);
    label->setAccessibleName(label->text());
    if (line.title) {
      QFont font = label->font();
      font.setPointSize(10);
      font.setBold(true);
      label->setFont(font);
      label->setStyleSheet(QStringLiteral("color: rgb(0, 0, 128);"));
    }
    label->adjustSize();
    const int top = first && line.title ? icon->y() : previous->y() + previous->height() + 5;
    label->move(x, top);
    width = std::max(width, label->x() + label->width() + 20);
    previous = label;
    first = false;
  }
  // The height counts the caption and the frame, as a window's outer size
  // does; the client area, which is what Qt sizes, is that much smaller.
  const int height = previous->y() + previous->height() + 85;
  const int clientHeight = height - kCaptionAndFrame;

  auto* ok = new QPushButton(QStringLiteral("Ok"), &box);
  ok->setObjectName(QStringLiteral("AboutOk"));
  ok->setCursor(Qt::PointingHandCursor);
  ok->setDefault(true);
  ok->resize(75, 25);
  width = std::max(width, ok->width() + 20);
  ok->move(width / 2 - ok->width() / 2, height - 60);
  QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);

  auto* bevel = new QFrame(&box);
  bevel->setFrameShape(QFrame::HLine);
  bevel->setFrameShadow(QFrame::Raised);
  bevel->setGeometry(0, clientHeight - (ok->height() + 20), width, 2);  // the top line of a bottom band
  bevel->lower();

  box.setFixedSize(width, clientHeight);
  if (const QScreen* screen = box.screen()) box.move(screen->availableGeometry().center() - box.rect().center());
  box.exec();
}

}  // namespace tivolan
