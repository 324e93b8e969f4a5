// The widget behind "SimpleGridCtl": the table of text cells with a title row, a heading column,
// an in-place editor, a rectangular selection, block copy and paste and an undo history. Rows and
// columns scroll by whole cells; the title row and the heading column stay. Only ui/ includes
// this header.
#pragma once

#include <QAbstractScrollArea>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QString>
#include <algorithm>
#include <utility>
#include <vector>

#include "ui/toolkit.h"

class QAccessibleEvent;

namespace grid_detail {

struct Cell {
  QString text;
  bool read_only = false;
};

struct Column {
  int width = 0;  // pixels
  bool hidden = false;
};

// One cell written by an edit, a paste, a cut, Delete or an undo.
struct CellChange {
  int row;
  int column;
  QString before;
  QString after;
};

// Data cells from rows top..bottom and from the visible columns with indexes first..last in the
// list of visible columns; empty when top is 0.
struct CellRange {
  int top = 0;
  int bottom = 0;
  int first = 0;
  int last = 0;
};

}  // namespace grid_detail

class SimpleGridCtl : public QAbstractScrollArea {
  Q_OBJECT
 public:
  using Cell = grid_detail::Cell;
  using Column = grid_detail::Column;
  using CellChange = grid_detail::CellChange;
  using CellRange = grid_detail::CellRange;

  explicit SimpleGridCtl(QWidget* parent);

  // --- table
  int row_count() const { return static_cast<int>(rows_.size()) - 1; }
  int column_count() const { return static_cast<int>(columns_.size()) - 1; }
  bool valid_row(int r) const { return r >= 0 && r <= row_count(); }
  bool valid_column(int c) const { return c >= 0 && c <= column_count(); }
  bool column_hidden(int c) const { return columns_[static_cast<std::size_t>(c)].hidden; }

  int add_column(const QString& title);
  int insert_row(int at, const QString& title);
  void delete_row(int at);
  void delete_all_rows();
  void show_column(int c, bool show);
  void set_column_width(int c, int width);

  Cell& cell(int r, int c) {
    return rows_[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
  }
  const Cell& cell(int r, int c) const {
    return rows_[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
  }
  // A page writes a cell: the editor over it closes and the undo history no longer applies.
  void set_cell(int r, int c, const QString& text);
  void set_read_only(int r, int c, bool read_only);

  // The visible data columns in order.
  std::vector<int> visible_columns() const;

  // --- current cell and selection
  // Makes (r, c) current; with `extend` the selection grows from its anchor to it, otherwise
  // it shrinks to the cell.
  bool set_current(int r, int c, bool extend = false);
  int current_row() const { return current_column_ > 0 ? current_row_ : 0; }
  int current_column() const { return current_row_ > 0 ? current_column_ : 0; }
  CellRange selection() const;
  bool selected(int r, int c) const;
  void select_all();
  // Selects the block between two data cells; the first becomes current.
  void select_block(int r1, int c1, int r2, int c2);

  // --- clipboard and history
  QString selection_text() const;
  void copy_selection() const;
  void cut_selection();
  // Pastes the clipboard's text with its top-left corner at the selection's top-left cell.
  void paste_clipboard();
  // The same with a given text; what the grid has no cell for (outside it or read-only) is
  // counted, not written. Returns that count.
  long long paste_text(const QString& text);
  void clear_selection();
  bool undo();
  bool redo();
  // Cells left out by pastes (outside the grid or read-only) since the last call.
  int take_left_out();

  bool editable = true;
  bool show_title = true;

  void changed();

  // --- editor
  bool editing() const { return editor_ != nullptr; }
  void open_editor(const QString& text, bool keep_text);
  void commit_editor(bool focus_grid);
  void close_editor();
  void cancel_editor();

  // --- for the accessible table
  QRect cell_rect(int r, int c) const;
  // Hit test in viewport coordinates: -1 for a row or column outside the table.
  std::pair<int, int> hit(QPoint pt) const;
  // Changes whenever rows or columns come, go, hide or show.
  unsigned structure_generation() const { return generation_; }

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void paintEvent(QPaintEvent*) override;

 private:
  int row_height() const;
  int title_height() const { return show_title ? row_height() : 0; }
  int heading_width() const { return columns_[0].hidden ? 0 : columns_[0].width; }
  int page_rows() const;
  int first_row() const { return 1 + verticalScrollBar()->value(); }
  int first_visible_column() const;
  int next_visible_column(int c, int step) const;
  int column_x(int c) const;
  int row_y(int r) const { return r == 0 ? 0 : title_height() + (r - first_row()) * row_height(); }
  std::pair<int, int> drag_target(QPoint pt) const;

  void update_scroll_bars();
  void ensure_visible();
  void structure_changed();
  void collapse_selection();
  bool move_key(QKeyEvent* e);
  bool edit_key(QKeyEvent* e);
  bool editor_key(QKeyEvent* e);
  void paint_table(QPainter& p, QSize size);

  // Writes the changes as one step of the history and tells the page.
  void write_cells(std::vector<CellChange> changes);
  void apply(const std::vector<CellChange>& changes, bool forward);
  void notify_edit();
  void announce_current();

  std::vector<std::vector<Cell>> rows_;
  std::vector<Column> columns_;
  int current_row_ = 0;
  int current_column_ = 0;
  int anchor_row_ = 0;  // the selection runs from the anchor to its end
  int anchor_column_ = 0;
  int end_row_ = 0;
  int end_column_ = 0;
  bool dragging_ = false;
  QPointer<QLineEdit> editor_;
  int edit_row_ = 0;
  int edit_column_ = 0;
  std::vector<std::vector<CellChange>> undo_;
  std::vector<std::vector<CellChange>> redo_;
  long long left_out_ = 0;
  unsigned generation_ = 0;
};

// The accessible table of a grid (grid_accessible.cpp); installed once.
void install_grid_accessibility();
// Tell screen readers about the current cell (Focus) or a change of its text (NameChanged), and
// about rows or columns that came, went, hid or showed. Nothing happens while none listens.
void announce_grid_cell(SimpleGridCtl* grid, int row, int column, bool text_changed);
void announce_grid_reset(SimpleGridCtl* grid);
// Tests listen here: the announcements go to `hook` instead of the platform, listened to or not.
using GridAnnounceHook = void (*)(QAccessibleEvent* event);
GridAnnounceHook set_grid_announce_hook(GridAnnounceHook hook);
