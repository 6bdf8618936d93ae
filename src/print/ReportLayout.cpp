#include "print/ReportLayout.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>
#include <QStringList>
#include <algorithm>
#include <numeric>

namespace tivolan::print {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }
QString Cell(const std::string& value) { return Q(value.empty() ? kNoValue : value); }

constexpr int kWrap = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
const QColor kSecondary(0x55, 0x55, 0x55);
const QColor kRowRule(0xbb, 0xbb, 0xbb);
const QColor kShade(0xf2, 0xf2, 0xf2);
const QColor kPassed(0x1a, 0x7f, 0x37);
const QColor kFailed(0xb3, 0x26, 0x1e);

// Cell padding, in millimetres.
constexpr double kPadX = 1.6;
constexpr double kPadY = 0.9;

}  // namespace

ReportLayout::ReportLayout(QPagedPaintDevice& device, QPainter* painter, int pages)
    : device_(device), painter_(painter), pages_(pages), width_(device.width()) {}

double ReportLayout::Mm(double mm) const { return mm * device_.logicalDpiY() / 25.4; }

QFont ReportLayout::Font(double points, bool bold) const {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

double ReportLayout::TextHeight(const QFont& font, double width, const QString& text) const {
  const QFontMetricsF metrics(font, &device_);
  return metrics.boundingRect(QRectF(0, 0, width, 1e7), kWrap, text).height();
}

double ReportLayout::TextWidth(const QFont& font, const QString& text) const {
  return QFontMetricsF(font, &device_).horizontalAdvance(text);
}

void ReportLayout::Text(const QFont& font, const QRectF& box, const QString& text, QColor colour, int flags) {
  if (!painter_) return;
  painter_->setFont(font);
  painter_->setPen(colour);
  painter_->drawText(box, flags ? flags : kWrap, text);
}

void ReportLayout::Rule(double y, double from, double to, double width, QColor colour) {
  if (!painter_) return;
  painter_->setPen(QPen(colour, width));
  painter_->drawLine(QPointF(from, y), QPointF(to, y));
}

void ReportLayout::Fill(const QRectF& box, QColor colour) {
  if (painter_) painter_->fillRect(box, colour);
}

void ReportLayout::StartPage() {
  ++page_;
  if (painter_ && page_ > 1) device_.newPage();
  const QFont small = Font(TypeScale::kSmall);
  const double line = QFontMetricsF(small, &device_).height();
  const double height = device_.height();
  const int oneLine = Qt::AlignVCenter | Qt::TextSingleLine;
  const QString pages = pages_ > 0 ? Q(PageNumberText(page_, pages_)) : QString();
  const QFontMetricsF metrics(small, &device_);
  // The device at the left, the file in the middle, the page at the right.
  Text(small, {0, 0, width_ * 0.45, line}, metrics.elidedText(Q(report_->model), Qt::ElideRight, width_ * 0.45),
       kSecondary, oneLine | Qt::AlignLeft);
  Text(small, {width_ * 0.47, 0, width_ * 0.33, line},
       metrics.elidedText(Q(report_->origin), Qt::ElideMiddle, width_ * 0.33), kSecondary, oneLine | Qt::AlignHCenter);
  Text(small, {width_ * 0.8, 0, width_ * 0.2, line}, pages, kSecondary, oneLine | Qt::AlignRight);
  Rule(line + Mm(1.2), 0, width_, Mm(0.2), kSecondary);
  Rule(height - line - Mm(1.2), 0, width_, Mm(0.2), kSecondary);
  Text(small, {0, height - line, width_ * 0.5, line}, Q(report_->program), kSecondary, oneLine | Qt::AlignLeft);
  Text(small, {width_ * 0.5, height - line, width_ * 0.5, line}, Q(PrintedText(*report_)), kSecondary,
       oneLine | Qt::AlignRight);
  top_ = line + Mm(6);
  bottom_ = height - line - Mm(6);
  y_ = top_;
  if (!section_.isEmpty()) {
    const QFont font = Font(TypeScale::kHeading, true);
    const QString continued = section_ + Q(kContinued);
    const double h = HeadingHeight(continued);
    Text(font, {0, y_, width_, h}, continued);
    y_ += h;
  }
}

bool ReportLayout::Need(double height) {
  if (y_ + height <= bottom_ || y_ <= top_) return false;
  StartPage();
  return true;
}

int ReportLayout::Run(const ReportDocument& report) {
  report_ = &report;
  page_ = 0;
  section_.clear();
  MeasureKeys(report);
  StartPage();
  Title(report);
  for (const auto& section : report.sections) {
    for (std::size_t i = 0; i < section.tables.size(); ++i) {
      const ReportTable& table = section.tables[i];
      // A short table stays whole on one page, and a heading never stays
      // alone at the foot of one.
      const double height = TableHeight(table);
      const double whole = height <= (bottom_ - top_) / 3 ? height : 0;
      const double start = TextHeight(Font(TypeScale::kBody), width_, QStringLiteral("Ag")) * 3 + Mm(4 * kPadY);
      if (i == 0 && !section.heading.empty())
        Heading(Q(section.heading), std::max(whole, start));
      else if (whole > 0)
        Need(whole);
      Table(table);
    }
  }
  Checks(report.checks, SignOffHeight(report.signOff));
  SignOff(report.signOff);
  return page_;
}

void ReportLayout::Title(const ReportDocument& report) {
  const QFont title = Font(TypeScale::kTitle, true);
  const double height = TextHeight(title, width_, Q(report.model));
  Text(title, {0, y_, width_, height}, Q(report.model));
  y_ += height + Mm(2.5);
  const QFont body = Font(TypeScale::kBody);
  const double label = Mm(35);
  for (const auto& [what, value] : report.identity) {
    const double h = TextHeight(body, width_ - label, Cell(value));
    Text(body, {0, y_, label, h}, Q(what), kSecondary);
    Text(body, {label, y_, width_ - label, h}, Cell(value));
    y_ += h + Mm(0.8);
  }
}

double ReportLayout::HeadingHeight(const QString& text) const {
  return TextHeight(Font(TypeScale::kHeading, true), width_, text) + Mm(1.5);
}

void ReportLayout::Heading(const QString& text, double keepWith) {
  const double height = HeadingHeight(text);
  double before = y_ > top_ ? Mm(5) : 0;
  section_.clear();  // the previous section ends here, not on the next page
  if (Need(before + height + keepWith)) before = 0;
  y_ += before;
  Text(Font(TypeScale::kHeading, true), {0, y_, width_, height}, text);
  y_ += height;
  section_ = text;
}

void ReportLayout::Table(const ReportTable& table) {
  if (table.grid)
    Grid(table);
  else
    List(table);
  y_ += Mm(3);
}

double ReportLayout::ListRowHeight(const std::vector<std::string>& row) const {
  const QFont body = Font(TypeScale::kBody);
  return std::max(TextHeight(body, keyWidth_ - Mm(2 * kPadX), Q(row[0])),
                  TextHeight(body, width_ - keyWidth_ - Mm(kPadX), Cell(row[1]))) + Mm(2 * kPadY);
}

void ReportLayout::List(const ReportTable& table) {
  const QFont body = Font(TypeScale::kBody);
  Rule(y_, 0, width_, Mm(0.2), kRowRule);
  for (const auto& row : table.rows) {
    const double h = ListRowHeight(row);
    if (Need(h)) Rule(y_, 0, width_, Mm(0.2), kRowRule);
    Text(body, {Mm(kPadX), y_ + Mm(kPadY), keyWidth_ - Mm(2 * kPadX), h}, Q(row[0]));
    Text(body, {keyWidth_, y_ + Mm(kPadY), width_ - keyWidth_ - Mm(kPadX), h}, Cell(row[1]));
    y_ += h;
    Rule(y_, 0, width_, Mm(0.2), kRowRule);
  }
}

double ReportLayout::TableHeight(const ReportTable& table) const {
  double height = 0;
  if (!table.grid) {
    for (const auto& row : table.rows) height += ListRowHeight(row);
    return height;
  }
  const auto columns = GridColumns(table);
  std::vector<QString> header;
  for (const auto& c : table.columns) header.push_back(Q(c));
  height = GridRowHeight(header, columns, true);
  for (const auto& row : table.rows) {
    std::vector<QString> cells;
    for (const auto& value : row) cells.push_back(Cell(value));
    height += GridRowHeight(cells, columns, false);
  }
  return height;
}

// The settings' column is as wide as the document's longest caption needs,
// so that every value of the report starts at the same place.
void ReportLayout::MeasureKeys(const ReportDocument& report) {
  const QFont body = Font(TypeScale::kBody);
  double keys = 0;
  for (const auto& section : report.sections)
    for (const auto& table : section.tables)
      if (!table.grid)
        for (const auto& row : table.rows) keys = std::max(keys, TextWidth(body, Q(row[0])));
  keyWidth_ = std::min(keys + Mm(2 * kPadX + 6), width_ * 0.62);
}

std::vector<ReportLayout::Column> ReportLayout::GridColumns(const ReportTable& table) const {
  const QFont body = Font(TypeScale::kBody);
  const QFont bold = Font(TypeScale::kBody, true);
  const std::size_t n = table.columns.size();
  std::vector<double> natural(n), least(n);
  auto measure = [&](std::size_t c, const QFont& font, const QString& text) {
    natural[c] = std::max(natural[c], TextWidth(font, text));
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
      least[c] = std::max(least[c], TextWidth(font, word));
  };
  // A title wraps before a value does: it asks only for its longest word;
  // the first, which names the rows, stays whole.
  measure(0, bold, Q(table.columns[0]));
  for (std::size_t c = 1; c < n; ++c)
    for (const QString& word : Q(table.columns[c]).split(QLatin1Char(' '), Qt::SkipEmptyParts))
      measure(c, bold, word);
  for (const auto& row : table.rows)
    for (std::size_t c = 0; c < n; ++c) measure(c, c == 0 ? bold : body, Cell(row[c]));
  const double pad = Mm(2 * kPadX);
  for (std::size_t c = 0; c < n; ++c) natural[c] += pad, least[c] += pad;
  const double sumNatural = std::accumulate(natural.begin(), natural.end(), 0.0);
  const double sumLeast = std::accumulate(least.begin(), least.end(), 0.0);
  std::vector<double> widths(n);
  for (std::size_t c = 0; c < n; ++c) {
    if (sumNatural <= width_)  // room to spare: every column but the number's grows alike
      widths[c] = natural[c] + (c == 0 ? 0 : (width_ - sumNatural) / static_cast<double>(n - 1));
    else if (sumLeast <= width_)  // the longer texts wrap, no word is cut
      widths[c] = least[c] + (natural[c] - least[c]) * (width_ - sumLeast) / (sumNatural - sumLeast);
    else
      widths[c] = least[c] * width_ / sumLeast;
  }
  std::vector<Column> columns(n);
  double x = 0;
  for (std::size_t c = 0; c < n; ++c) {
    columns[c] = {x, widths[c]};
    x += widths[c];
  }
  return columns;
}

double ReportLayout::GridRowHeight(const std::vector<QString>& cells, const std::vector<Column>& columns,
                                   bool bold) const {
  double h = 0;
  for (std::size_t c = 0; c < cells.size(); ++c)
    h = std::max(h, TextHeight(Font(TypeScale::kBody, bold || c == 0), columns[c].width - Mm(2 * kPadX), cells[c]));
  return h + Mm(2 * kPadY);
}

void ReportLayout::GridRow(const std::vector<QString>& cells, const std::vector<Column>& columns, bool header,
                           bool shaded) {
  const double h = GridRowHeight(cells, columns, header);
  if (shaded) Fill({0, y_, width_, h}, kShade);
  for (std::size_t c = 0; c < cells.size(); ++c)
    Text(Font(TypeScale::kBody, header || c == 0),
         {columns[c].x + Mm(kPadX), y_ + Mm(kPadY), columns[c].width - Mm(2 * kPadX), h}, cells[c]);
  y_ += h;
  Rule(y_, 0, width_, header ? Mm(0.35) : Mm(0.2), header ? Qt::black : kRowRule);
}

void ReportLayout::Grid(const ReportTable& table) {
  const auto columns = GridColumns(table);
  std::vector<QString> header;
  for (const auto& c : table.columns) header.push_back(Q(c));
  const double headerHeight = GridRowHeight(header, columns, true);
  bool first = true;
  for (std::size_t r = 0; r < table.rows.size(); ++r) {
    std::vector<QString> cells;
    for (const auto& value : table.rows[r]) cells.push_back(Cell(value));
    const double h = GridRowHeight(cells, columns, false);
    // The column titles open the table and every page it continues on.
    if (Need(first ? headerHeight + h : h) || first) GridRow(header, columns, true, false);
    first = false;
    GridRow(cells, columns, false, r % 2 == 1);
  }
}

// The last check stays on the page of the lines to sign (`keepWithLast`
// high), so that they never stand alone on a page.
void ReportLayout::Checks(const std::vector<ReportCheck>& checks, double keepWithLast) {
  const QFont body = Font(TypeScale::kBody);
  const QFont mark = Font(TypeScale::kBody, true);
  const double indent = Mm(6);
  if (checks.empty()) {
    const QString none = Q(kNoChecks);
    const double h = TextHeight(body, width_, none);
    Heading(Q(kChecksHeading), h + keepWithLast);
    Text(body, {0, y_, width_, h}, none);
    y_ += h;
    return;
  }
  for (std::size_t i = 0; i < checks.size(); ++i) {
    const ReportCheck& c = checks[i];
    const double h = TextHeight(body, width_ - indent, Q(c.text));
    const double keep = h + (i + 1 == checks.size() ? keepWithLast : 0);
    if (i == 0)
      Heading(Q(kChecksHeading), keep);
    else
      Need(keep);
    Text(mark, {0, y_, indent, h}, Q(c.passed ? kPassedMark : kFailedMark), c.passed ? kPassed : kFailed);
    Text(body, {indent, y_, width_ - indent, h}, Q(c.text));
    y_ += h + Mm(1.2);
  }
}

double ReportLayout::SignOffHeight(const std::vector<std::string>& lines) const {
  return Mm(5) + HeadingHeight(Q(kSignOffHeading)) + Mm(11) * static_cast<double>(lines.size()) + Mm(14);
}

// The lines to fill in, whole on one page, and the place of the stamp below.
void ReportLayout::SignOff(const std::vector<std::string>& lines) {
  const QFont body = Font(TypeScale::kBody);
  const double row = Mm(11);
  const double label = Mm(45);
  Heading(Q(kSignOffHeading), SignOffHeight(lines) - Mm(5) - HeadingHeight(Q(kSignOffHeading)));
  section_.clear();  // never split, never continued
  for (const auto& line : lines) {
    const double text = TextHeight(body, label, Q(line));
    Text(body, {0, y_ + row - text - Mm(0.8), label, text}, Q(line));
    Rule(y_ + row, label, width_, Mm(0.25), Qt::black);
    y_ += row;
  }
  const QString stamp = Q(kStampPlace);
  Text(body, {label, y_ + Mm(8), width_ - label, TextHeight(body, width_, stamp)}, stamp);
  y_ += Mm(14);
}

}  // namespace tivolan::print
