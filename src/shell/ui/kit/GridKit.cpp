#include "shell/ui/kit/GridKit.h"

#include <algorithm>
#include <functional>

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyleOptionHeader>
#include <QStylePainter>
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

// Keys that open the current cell's chooser or editor, as a click does.
bool OpensCell(const QKeyEvent& e) {
  if (e.modifiers() & ~Qt::KeypadModifier) return false;
  return e.key() == Qt::Key_F2 || e.key() == Qt::Key_Return || e.key() == Qt::Key_Enter || e.key() == Qt::Key_Space;
}

// A key that types a character.
bool TypesCharacter(const QKeyEvent& e) {
  if (e.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) return false;
  return !e.text().isEmpty() && e.text().at(0).isPrint();
}
}  // namespace

// An in-place chooser: its list is what the user chooses from. A pick in the
// list is the close-up; the list closed any other way (Escape, a click
// elsewhere) abandons the choice.
class ChooserBox final : public QComboBox {
 public:
  using Closed = std::function<void(ChooserBox* box, bool chosen)>;
  ChooserBox(QWidget* parent, Closed closed) : QComboBox(parent), closed_(std::move(closed)) {
    connect(this, &QComboBox::activated, this, [this] { Finish(true); });
  }
  void hidePopup() override {
    QComboBox::hidePopup();
    // A pick hides the list before it reports the pick: decide after it.
    QMetaObject::invokeMethod(this, [this] { Finish(false); }, Qt::QueuedConnection);
  }
  void Finish(bool chosen) {
    if (finished_) return;
    finished_ = true;
    closed_(this, chosen);
  }

 private:
  Closed closed_;
  bool finished_ = false;
};

// The in-place choosers and editors of an InPlaceGrid.
class InPlaceDelegate : public QStyledItemDelegate {
 public:
  explicit InPlaceDelegate(InPlaceGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
    GridRules& rules = grid_.Rules();
    const int row = CoreRow(index), column = CoreColumn(index);
    auto* self = const_cast<InPlaceDelegate*>(this);
    QWidget* editor = nullptr;
    if (rules.Select(row, column) == GridRules::Action::Choose) {
      auto* combo = new ChooserBox(parent, [self](ChooserBox* box, bool chosen) { self->End(box, chosen); });
      combo->addItems(rules.Choices(row, column));
      QTimer::singleShot(0, combo, [combo] { combo->showPopup(); });
      editor = combo;
    } else {
      auto* edit = new QLineEdit(parent);
      edit->setFrame(false);
      edit->setProperty("gridOriginal", rules.Text(row, column));  // what Escape brings back
      connect(edit, &QLineEdit::textEdited, this,
              [&rules, row, column](const QString& text) { rules.Typed(row, column, text); });
      editor = edit;
    }
    // Named as the cell; a list box is read by its choice on some platforms.
    editor->setAccessibleName(rules.CellName(row, column));
    editor->setAccessibleDescription(rules.CellName(row, column));
    editor->installEventFilter(self);
    editor->setProperty("gridRow", row);
    editor->setProperty("gridColumn", column);
    grid_.editor_ = editor;
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

  // Takes the editor's value into the cells, or abandons it.
  void End(QWidget* editor, bool take) {
    if (take) emit commitData(editor);
    emit closeEditor(editor, take ? NoHint : RevertModelCache);
  }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* editor = qobject_cast<QWidget*>(object);
    if (!editor || event->type() != QEvent::KeyPress) return QStyledItemDelegate::eventFilter(object, event);
    const auto& key = static_cast<const QKeyEvent&>(*event);
    const int row = editor->property("gridRow").toInt(), column = editor->property("gridColumn").toInt();
    if (key.key() == Qt::Key_Escape) {
      if (qobject_cast<QLineEdit*>(editor)) grid_.Rules().Typed(row, column, editor->property("gridOriginal").toString());
      End(editor, false);
      return true;
    }
    if (qobject_cast<QComboBox*>(editor)) {
      if (key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter) return QStyledItemDelegate::eventFilter(object, event);
      End(editor, true);
      return true;
    }
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
  setEditTriggers(QAbstractItemView::NoEditTriggers);  // clicks and keys open cells by the rules
  setTabKeyNavigation(false);                          // Tab leaves the table; the arrows move inside
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
// column is widened where its title, or any choice its cells offer, would
// not fit ("Тревоги, взятия\снятия" in the SMS list).
int InPlaceGrid::SetColumnWidths(const QList<int>& widths) {
  const QFontMetrics titles(horizontalHeader()->font());
  const QFontMetrics cells(font());
  int total = 2 * frameWidth();
  for (int c = 0; c < widths.size(); ++c) {
    int width = std::max(widths[c], titles.horizontalAdvance(rules_.Title(c)) + 16);
    for (int r = 1; c > 1 && r <= rowCount(); ++r)
      if (rules_.Select(r, c) == GridRules::Action::Choose)
        for (const QString& choice : rules_.Choices(r, c)) width = std::max(width, cells.horizontalAdvance(choice) + 16);
    if (c == 1) width = 0;
    if (c == 0)
      verticalHeader()->setFixedWidth(width);
    else if (c - 1 < columnCount())
      setColumnWidth(c - 1, width);
    total += width;
  }
  return total;
}

void InPlaceGrid::FitRows(int rows, int rowHeight, int width) {
  const int height = std::max(rowHeight, verticalHeader()->minimumSectionSize());
  verticalHeader()->setDefaultSectionSize(height);
  horizontalHeader()->setFixedHeight(height);
  setFixedSize(width, height * (rows + 1) + 2 * frameWidth());
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

// The keyboard does what the mouse does: F2, Enter or Space open the cell,
// typing opens its editor with the key typed (through the key filter) or
// its chooser, Alt+Up and Alt+Down move the row as a drag does.
void InPlaceGrid::keyPressEvent(QKeyEvent* event) {
  const QModelIndex at = currentIndex();
  if (state() == EditingState || !at.isValid()) return QTableWidget::keyPressEvent(event);
  const int row = CoreRow(at), column = CoreColumn(at);
  if (event->modifiers() == Qt::AltModifier && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down))
    return MoveRowBy(row, column, event->key() == Qt::Key_Up ? -1 : 1);
  const GridRules::Action action = rules_.Select(row, column);
  const bool opens = action == GridRules::Action::Choose || action == GridRules::Action::Type;
  if (opens && (OpensCell(*event) || TypesCharacter(*event))) {
    OpenCell(row, column);
    if (editor_ && action == GridRules::Action::Type && TypesCharacter(*event)) QCoreApplication::sendEvent(editor_, event);
    return;
  }
  QTableWidget::keyPressEvent(event);
}

void InPlaceGrid::MoveRowBy(int row, int column, int delta) {
  const int to = row + delta;
  if (to < 1 || to > rowCount() || !rules_.MoveRow(row, to)) return;
  Sync();
  setCurrentCell(to - 1, column - 1);
  emit changed();
}

void InPlaceGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  // Tab out of an editor leaves the table, as Tab on the table does.
  const bool tab = hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem;
  QTableWidget::closeEditor(editor, tab ? QAbstractItemDelegate::NoHint : hint);
  editor_ = nullptr;
  Sync();
  // The cell stays current and selected, so that the user sees where the
  // pick went; only a click, Enter, F2, Space or typing opens it again.
  setFocus();
  if (tab) focusNextPrevChild(hint == QAbstractItemDelegate::EditNextItem);
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
