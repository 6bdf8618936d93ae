#pragma once
// The report's page layout: one pass lays out (and, given a painter, paints)
// the document top to bottom, breaking pages where a row no longer fits.
// Lengths are device pixels; the sizes below are in millimetres and points.
#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <vector>

#include "configuration/Report.h"

class QPagedPaintDevice;
class QPainter;

namespace tivolan::print {

// One type scale for the whole document.
struct TypeScale {
  static constexpr double kSmall = 7.5;  // header, footer
  static constexpr double kBody = 9;     // every table and list
  static constexpr double kHeading = 11;
  static constexpr double kTitle = 14;
};

class ReportLayout {
 public:
  // With `painter` null the pass only measures (to count the pages).
  ReportLayout(QPagedPaintDevice& device, QPainter* painter, int pages);

  // Lays out the whole document; returns the pages it took.
  int Run(const ReportDocument& report);

 private:
  struct Column {
    double x = 0;
    double width = 0;
  };

  double Mm(double mm) const;
  QFont Font(double points, bool bold = false) const;
  double TextHeight(const QFont& font, double width, const QString& text) const;
  double TextWidth(const QFont& font, const QString& text) const;
  void Text(const QFont& font, const QRectF& box, const QString& text, QColor colour = Qt::black, int flags = 0);
  void Rule(double y, double from, double to, double width, QColor colour);
  void Fill(const QRectF& box, QColor colour);

  void StartPage();
  // Starts a new page unless `height` still fits (or the page is empty).
  bool Need(double height);

  void Title(const ReportDocument& report);
  // Starts a section: its heading, kept with `keepWith` of what follows, and
  // repeated on each page the section goes on to.
  void Heading(const QString& text, double keepWith);
  double HeadingHeight(const QString& text) const;
  void Table(const ReportTable& table);
  void List(const ReportTable& table);
  double ListRowHeight(const std::vector<std::string>& row) const;
  double TableHeight(const ReportTable& table) const;
  void MeasureKeys(const ReportDocument& report);
  void Grid(const ReportTable& table);
  std::vector<Column> GridColumns(const ReportTable& table) const;
  double GridRowHeight(const std::vector<QString>& cells, const std::vector<Column>& columns, bool bold) const;
  void GridRow(const std::vector<QString>& cells, const std::vector<Column>& columns, bool header, bool shaded);
  void Checks(const std::vector<ReportCheck>& checks, double keepWithLast);
  double SignOffHeight(const std::vector<std::string>& lines) const;
  void SignOff(const std::vector<std::string>& lines);

  QPagedPaintDevice& device_;
  QPainter* painter_;
  const ReportDocument* report_ = nullptr;
  int pages_;     // as counted by the measuring pass (0 while counting)
  int page_ = 0;  // the page being laid out, from 1
  double width_;
  double top_ = 0;
  double bottom_ = 0;
  double y_ = 0;
  double keyWidth_ = 0;  // the settings' column of every list
  QString section_;      // the heading of the section being laid out
};

}  // namespace tivolan::print
