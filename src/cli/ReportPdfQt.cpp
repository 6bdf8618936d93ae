#include <QFile>
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <cstdio>
#include <cstdlib>

#include "cli/ReportPdf.h"

namespace tivolan::cli {

bool PrintReportPdf(const std::string& html, const std::string& path, std::string& error) {
  // Fonts need a GUI application; without a display it draws offscreen.
  if (!QGuiApplication::instance()) {
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
  QPdfWriter writer(QString::fromStdString(path));
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 12, 12, 12),
                                   QPageLayout::Millimeter));
  writer.setResolution(300);
  writer.setCreator(QStringLiteral("Тиволан"));
  QTextDocument document;
  document.setDocumentMargin(0);  // the page has its margins
  document.setHtml(QString::fromStdString(html));
  document.print(&writer);
  if (!QFile::exists(QString::fromStdString(path))) {
    error = "the PDF file could not be written";
    return false;
  }
  return true;
}

}  // namespace tivolan::cli
