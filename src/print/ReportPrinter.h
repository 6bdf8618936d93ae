#pragma once
// The report printed page by page through Qt's painting, for the printer the
// window offers and the PDF both programs save: a header on every page (the
// device, the file, "Страница N из M"), a footer (the program and the time
// printed), the settings as aligned tables, the checks with a mark each and
// the lines signed by hand. Needs a QGuiApplication for its fonts.
#include <string>

#include "configuration/Report.h"

class QPagedPaintDevice;

namespace tivolan::print {

// Paints every page on `device`, whose page layout the caller has set; the
// pages are counted first so that each one can say how many there are.
// Returns the number of pages, 0 when the device could not be painted on.
int PaintReport(const ReportDocument& report, QPagedPaintDevice& device);

// The report as an A4 PDF in memory, its title set. False with the reason in
// `error` when it could not be made.
bool ReportPdf(const ReportDocument& report, std::string& pdf, std::string& error);

// Makes the QGuiApplication fonts need when the program has none (the
// command-line tool); without a display it draws offscreen.
void EnsureGuiApplication();

}  // namespace tivolan::print
