#pragma once
// A table whose cells and rules live in the core: which cell may be
// selected, which opens an in-place chooser, which is typed into and what a
// key may add. The grid only asks GridRules and mirrors its texts; the
// destinations table and the SMS list both use it.
#include <QStringList>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace tivolan {

// Rows are numbered 1.. and columns as the core numbers them: column 0 holds
// the row labels (shown as the row header), column 1 is hidden (the core's
// parking place of the selection, which the table does not use).
class GridRules {
 public:
  enum class Action { None, Choose, Type, Park };
  virtual ~GridRules() = default;
  virtual int RowCount() const = 0;
  virtual int ColumnCount() const = 0;
  virtual QString Title(int column) const = 0;
  virtual QString Text(int row, int column) const = 0;
  // What selecting the cell does; None: it cannot be selected.
  virtual Action Select(int row, int column) const = 0;
  virtual QStringList Choices(int row, int column) const = 0;
  virtual int ChooserItem(int row, int column) const = 0;  // -1: none
  virtual void Chosen(int row, int column, int index) = 0;
  // Whether `key` (one character, or Enter, Escape, Backspace) may be typed.
  virtual bool Admits(int row, int column, const QString& key) const = 0;
  virtual void Typed(int row, int column, const QString& text) = 0;
  // Read aloud for the cell, e.g. "Направление 3: Телефон\Хост".
  virtual QString CellName(int row, int column) const = 0;
  virtual Qt::Alignment Alignment(int /*column*/) const { return Qt::AlignLeft | Qt::AlignVCenter; }
  // Rows dragged by their header; false: the rows stay put.
  virtual bool MoveRow(int /*from*/, int /*to*/) { return false; }
};

class InPlaceGrid : public QTableWidget {
  Q_OBJECT

 public:
  InPlaceGrid(GridRules& rules, QWidget* parent);
  // Texts, labels, names and what may be selected, from the rules.
  void Sync();
  // As a click on the cell: opens its chooser or editor, or parks.
  void OpenCell(int row, int column);
  // By core column, 0 = the row header; returns the table's width.
  int SetColumnWidths(const QList<int>& widths);
  // Fixes the table's size to show `rows` rows under its header, each
  // `rowHeight` high or as high as the style's headers need for the
  // table's font (Windows' own style needs more than others).
  void FitRows(int rows, int rowHeight, int width);
  GridRules& Rules() { return rules_; }
  // The open chooser or editor, for tests and assistive technology.
  QWidget* OpenEditor() const { return editor_; }

 signals:
  // A choice or typing changed the core's cells.
  void changed();

 protected:
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  friend class InPlaceDelegate;
  void RowDragged(int logical, int oldVisual, int newVisual);
  void MoveRowBy(int row, int column, int delta);

  GridRules& rules_;
  QWidget* editor_ = nullptr;
  bool syncing_ = false;
};

}  // namespace tivolan
