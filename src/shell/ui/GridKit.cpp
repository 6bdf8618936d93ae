#include "shell/ui/GridKit.h"

#include <algorithm>

#include <QAbstractButton>
#include <QComboBox>
#include <QStyleOptionHeader>
#include <QStylePainter>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>

namespace tivolan {

namespace {
// Core row and column of a Qt cell: Qt's rows start at 0, and the core's
// column 0 is the row header.
int CoreRow(const QModelIndex& index) { return index.row() + 1; }
int CoreColumn(const QModelIndex& index) { return index.column() + 1; }

bool IsPassKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape || key == Qt::Key_Backspace; }

QString KeyText(const QKeyEvent& e) {
  if (e.key() == Qt::Key_Return || e.key() == Qt::Key_Enter) return QStringLiteral("\r");
  if (e.key() == Qt::Key_Escape) return QStringLiteral("\x1b");
  if (e.key() == Qt::Key_Backspace) return QStringLiteral("\b");
  return e.text();
}
}  // namespace

// The in-place choosers and editors of an InPlaceGrid.
class InPlaceDelegate : public QStyledItemDelegate {
 public:
  explicit InPlaceDelegate(InPlaceGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
    GridRules& rules = grid_.Rules();
    const int row = CoreRow(index), column = CoreColumn(index);
    QWidget* editor = nullptr;
    if (rules.Select(row, column) == GridRules::Action::Choose) {
      auto* combo = new QComboBox(parent);
      combo->addItems(rules.Choices(row, column));
      combo->setAccessibleName(rules.CellName(row, column));
      // The close-up: a choice ends the chooser at once.
      connect(combo, &QComboBox::activated, this, [this, combo] {
        emit const_cast<InPlaceDelegate*>(this)->commitData(combo);
        emit const_cast<InPlaceDelegate*>(this)->closeEditor(combo);
      });
      QTimer::singleShot(0, combo, [combo] { combo->showPopup(); });
      editor = combo;
    } else {
      auto* edit = new QLineEdit(parent);
      edit->setAccessibleName(rules.CellName(row, column));
      edit->setFrame(false);
      connect(edit, &QLineEdit::textEdited, this,
              [&rules, row, column](const QString& text) { rules.Typed(row, column, text); });
      editor = edit;
    }
    editor->installEventFilter(const_cast<InPlaceDelegate*>(this));
    editor->setProperty("gridRow", row);
    editor->setProperty("gridColumn", column);
    grid_.editor_ = editor;
    grid_.editorRow_ = row;
    return editor;
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    const int row = CoreRow(index), column = CoreColumn(index);
    if (auto* combo = qobject_cast<QComboBox*>(editor))
      combo->setCurrentIndex(grid_.Rules().ChooserItem(row, column));
    else if (auto* edit = qobject_cast<QLineEdit*>(editor))
      edit->setText(grid_.Rules().Text(row, column));
  }

  void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
    const int row = CoreRow(index), column = CoreColumn(index);
    if (auto* combo = qobject_cast<QComboBox*>(editor))
      grid_.Rules().Chosen(row, column, combo->currentIndex());
    else if (auto* edit = qobject_cast<QLineEdit*>(editor))
      grid_.Rules().Typed(row, column, edit->text());
  }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* editor = qobject_cast<QWidget*>(object);
    if (!editor || event->type() != QEvent::KeyPress) return QStyledItemDelegate::eventFilter(object, event);
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (qobject_cast<QComboBox*>(editor)) {
      // Escape and Enter give the table back, which takes the choice.
      if (key.key() != Qt::Key_Escape && key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter)
        return QStyledItemDelegate::eventFilter(object, event);
      emit commitData(editor);
      emit closeEditor(editor);
      return true;
    }
    const int row = editor->property("gridRow").toInt(), column = editor->property("gridColumn").toInt();
    const bool printable = !key.text().isEmpty() && key.text().at(0).isPrint();
    if ((printable || IsPassKey(key.key())) && !grid_.Rules().Admits(row, column, KeyText(key))) return true;
    return QStyledItemDelegate::eventFilter(object, event);
  }

 private:
  InPlaceGrid& grid_;
};

InPlaceGrid::InPlaceGrid(GridRules& rules, QWidget* parent) : QTableWidget(parent), rules_(rules) {
  setRowCount(rules.RowCount());
  setColumnCount(rules.ColumnCount() - 1);
  QStringList titles;
  for (int c = 1; c < rules.ColumnCount(); ++c) titles << rules.Title(c);
  setHorizontalHeaderLabels(titles);
  setColumnHidden(0, true);  // core column 1
  setItemDelegate(new InPlaceDelegate(*this));
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
  horizontalHeader()->setHighlightSections(false);
  verticalHeader()->setHighlightSections(false);
  for (int r = 0; r < rowCount(); ++r)
    for (int c = 0; c < columnCount(); ++c) setItem(r, c, new QTableWidgetItem);
  // The corner stands over the row labels and carries their title.
  if (auto* corner = findChild<QAbstractButton*>()) {
    corner->setAccessibleName(rules.Title(0));
    corner->installEventFilter(this);
    setCornerButtonEnabled(false);
  }
  connect(this, &QTableWidget::cellClicked, this, [this](int r, int c) { OpenCell(r + 1, c + 1); });
  connect(verticalHeader(), &QHeaderView::sectionMoved, this, &InPlaceGrid::RowDragged);
  Sync();
}

bool InPlaceGrid::eventFilter(QObject* watched, QEvent* event) {
  auto* corner = qobject_cast<QAbstractButton*>(watched);
  if (!corner || event->type() != QEvent::Paint) return QTableWidget::eventFilter(watched, event);
  QStyleOptionHeader option;
  option.initFrom(corner);
  // The corner is never pressed, but it is no disabled control either.
  option.state |= QStyle::State_Enabled;
  option.palette.setCurrentColorGroup(QPalette::Active);
  option.text = rules_.Title(0);
  option.textAlignment = Qt::AlignCenter;
  option.position = QStyleOptionHeader::OnlyOneSection;
  QStylePainter painter(corner);
  painter.drawControl(QStyle::CE_Header, option);
  return true;
}

// The widths were measured for narrower fonts than many systems have: a
// column is widened where its title would not fit.
int InPlaceGrid::SetColumnWidths(const QList<int>& widths) {
  const QFontMetrics metrics(horizontalHeader()->font());
  int total = 2 * frameWidth();
  for (int c = 0; c < widths.size(); ++c) {
    const int width = c == 1 ? 0 : std::max(widths[c], metrics.horizontalAdvance(rules_.Title(c)) + 16);
    if (c == 0)
      verticalHeader()->setFixedWidth(width);
    else if (c - 1 < columnCount())
      setColumnWidth(c - 1, width);
    total += width;
  }
  return total;
}

void InPlaceGrid::Sync() {
  syncing_ = true;
  const QSignalBlocker block(this);
  QStringList labels;
  for (int r = 1; r <= rowCount(); ++r) {
    labels << rules_.Text(r, 0);
    for (int c = 1; c < rules_.ColumnCount(); ++c) {
      QTableWidgetItem* cell = item(r - 1, c - 1);
      const QString text = rules_.Text(r, c);
      cell->setText(text);
      cell->setTextAlignment(rules_.Alignment(c));
      cell->setData(Qt::AccessibleTextRole, rules_.CellName(r, c));
      cell->setData(Qt::AccessibleDescriptionRole, text);
      const GridRules::Action action = rules_.Select(r, c);
      Qt::ItemFlags flags = Qt::NoItemFlags;
      if (action != GridRules::Action::None) flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
      if (action == GridRules::Action::Type || action == GridRules::Action::Choose) flags |= Qt::ItemIsEditable;
      cell->setFlags(flags);
    }
  }
  setVerticalHeaderLabels(labels);
  syncing_ = false;
}

void InPlaceGrid::OpenCell(int row, int column) {
  if (editor_) return;
  const GridRules::Action action = rules_.Select(row, column);
  if (action == GridRules::Action::None) return;
  setCurrentCell(row - 1, column - 1);
  if (action == GridRules::Action::Park) return;
  editItem(item(row - 1, column - 1));
}

void InPlaceGrid::Park(int row) {
  setFocus();
  if (rules_.Select(row, 1) != GridRules::Action::None) setCurrentCell(row - 1, 0);
}

void InPlaceGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  const bool chooser = qobject_cast<QComboBox*>(editor) != nullptr;
  QTableWidget::closeEditor(editor, hint);
  editor_ = nullptr;
  Sync();
  // The selection leaves the chooser's column, so that it does not open again.
  if (chooser) Park(editorRow_);
  emit changed();
}

void InPlaceGrid::RowDragged(int, int oldVisual, int newVisual) {
  if (syncing_) return;
  const bool moved = rules_.MoveRow(oldVisual + 1, newVisual + 1);
  {
    // The core holds the order: the header's own move is undone, and the
    // rows show the core's order with their labels.
    const QSignalBlocker block(verticalHeader());
    verticalHeader()->moveSection(newVisual, oldVisual);
  }
  Sync();
  if (moved) emit changed();
}

}  // namespace tivolan
