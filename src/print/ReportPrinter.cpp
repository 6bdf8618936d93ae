#include "print/ReportPrinter.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cstdio>
#include <cstdlib>

#include "print/ReportLayout.h"

namespace tivolan::print {

int PaintReport(const ReportDocument& report, QPagedPaintDevice& device) {
  const int pages = ReportLayout(device, nullptr, 0).Run(report);
  QPainter painter;
  if (!painter.begin(&device)) return 0;
  ReportLayout(device, &painter, pages).Run(report);
  return painter.end() ? pages : 0;
}

bool ReportPdf(const ReportDocument& report, std::string& pdf, std::string& error) {
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 12, 15, 12),
                                     QPageLayout::Millimeter));
    writer.setResolution(300);
    writer.setTitle(QString::fromStdString(report.title));
    writer.setCreator(QString::fromStdString(report.program));
    if (PaintReport(report, writer) == 0) {
      error = "the PDF could not be made";
      return false;
    }
  }  // the writer ends the PDF before the bytes are taken
  if (!bytes.startsWith("%PDF-")) {
    error = "the PDF could not be made";
    return false;
  }
  pdf.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  return true;
}

void EnsureGuiApplication() {
  if (QGuiApplication::instance()) return;
  // Qt's notes about its run-time folder are no business of the tool's users.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) fprintf(stderr, "%s\n", qPrintable(message));
  });
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "tivolan-cli";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
}

}  // namespace tivolan::print
