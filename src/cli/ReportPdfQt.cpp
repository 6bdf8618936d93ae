#include <QBuffer>
#include <QByteArray>
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

bool PrintReportPdf(const std::string& html, std::string& pdf, std::string& error) {
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
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 12, 12, 12),
                                     QPageLayout::Millimeter));
    writer.setResolution(300);
    writer.setCreator(QStringLiteral("Тиволан"));
    QTextDocument document;
    document.setDocumentMargin(0);  // the page has its margins
    document.setHtml(QString::fromStdString(html));
    document.print(&writer);
  }  // the writer ends the PDF before the bytes are taken
  if (!bytes.startsWith("%PDF-")) {
    error = "the PDF could not be made";
    return false;
  }
  pdf.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  return true;
}

}  // namespace tivolan::cli
