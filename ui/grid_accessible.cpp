// Screen readers see a grid as a table: its children are the cells row by row, the title row's
// cells as column headers and the heading column's cells as row headers; the table interface
// counts data cells only (visible columns, rows from 1) and names the titles. Cell interfaces are
// made on demand and kept until rows or columns change, when the grid's structure generation moves
// on and the old ones are dropped.
#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>
#include <map>

#include "ui/grid_text.h"
#include "ui/grid_widget.h"

namespace {

class GridAccessible;

// A screen reader gets at most this much of a cell's text.
constexpr qsizetype kSpokenLimit = static_cast<qsizetype>(kGridCellLimit);

class GridCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
 public:
  GridCellAccessible(SimpleGridCtl* grid, int row, int column)
      : grid_(grid), row_(row), column_(column), generation_(grid->structure_generation()) {}

  int row() const { return row_; }
  int column() const { return column_; }
  const SimpleGridCtl* grid() const { return grid_; }

  bool isValid() const override {
    return grid_ != nullptr && grid_->structure_generation() == generation_ &&
           grid_->valid_row(row_) && grid_->valid_column(column_) &&
           (column_ == 0 || !grid_->column_hidden(column_));
  }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override {
    return grid_ != nullptr ? grid_->window()->windowHandle() : nullptr;
  }
  QAccessibleInterface* parent() const override {
    return grid_ != nullptr ? QAccessible::queryAccessibleInterface(grid_.data()) : nullptr;
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }

  QString text(QAccessible::Text t) const override {
    if (!isValid() || t != QAccessible::Name) return {};
    return grid_->cell(row_, column_).text.left(kSpokenLimit);
  }
  void setText(QAccessible::Text, const QString&) override {}

  QRect rect() const override {
    if (!isValid()) return {};
    const QRect r = grid_->cell_rect(row_, column_);
    if (r.x() < 0 || r.y() < 0 || r.y() >= grid_->viewport()->height()) return {};
    return QRect(grid_->viewport()->mapToGlobal(r.topLeft()), r.size());
  }

  QAccessible::Role role() const override {
    if (row_ == 0) return QAccessible::ColumnHeader;
    if (column_ == 0) return QAccessible::RowHeader;
    return QAccessible::Cell;
  }

  QAccessible::State state() const override {
    QAccessible::State s;
    if (!isValid()) {
      s.invalid = true;
      return s;
    }
    s.offscreen = rect().isEmpty();
    if (row_ == 0 || column_ == 0) return s;
    const bool current = grid_->current_row() == row_ && grid_->current_column() == column_;
    s.focusable = true;
    s.selectable = true;
    s.multiSelectable = true;
    s.selected = grid_->selected(row_, column_);
    s.focused = current && grid_->hasFocus();
    s.readOnly = grid_->cell(row_, column_).read_only || !grid_->editable;
    s.editable = !s.readOnly;
    return s;
  }

  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::TableCellInterface && row_ > 0 && column_ > 0)
      return static_cast<QAccessibleTableCellInterface*>(this);
    return nullptr;
  }

  // --- table cell
  bool isSelected() const override { return isValid() && grid_->selected(row_, column_); }
  QList<QAccessibleInterface*> columnHeaderCells() const override;
  QList<QAccessibleInterface*> rowHeaderCells() const override;
  int columnIndex() const override {
    if (!isValid()) return -1;
    const auto cols = grid_->visible_columns();
    return static_cast<int>(std::find(cols.begin(), cols.end(), column_) - cols.begin());
  }
  int rowIndex() const override { return isValid() ? row_ - 1 : -1; }
  int columnExtent() const override { return 1; }
  int rowExtent() const override { return 1; }
  QAccessibleInterface* table() const override { return parent(); }

 private:
  QPointer<SimpleGridCtl> grid_;
  int row_;
  int column_;
  unsigned generation_;
};

class GridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
 public:
  explicit GridAccessible(SimpleGridCtl* grid) : QAccessibleWidget(grid, QAccessible::Table) {}
  // Only the ids: the grid itself may already be gone.
  ~GridAccessible() override {
    for (const auto& [key, id] : cells_) QAccessible::deleteAccessibleInterface(id);
  }

  SimpleGridCtl* grid() const { return static_cast<SimpleGridCtl*>(widget()); }

  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
  }

  // The interface of the cell (r, c) in the grid's own indexes; nullptr outside or hidden.
  QAccessibleInterface* cell(int r, int c) const {
    const SimpleGridCtl* g = grid();
    if (g == nullptr || !g->valid_row(r) || !g->valid_column(c) || (c > 0 && g->column_hidden(c)))
      return nullptr;
    if (generation_ != g->structure_generation()) drop_cells();
    if (auto it = cells_.find({r, c}); it != cells_.end()) {
      if (QAccessibleInterface* iface = QAccessible::accessibleInterface(it->second)) return iface;
    }
    auto* iface = new GridCellAccessible(grid(), r, c);
    cells_[{r, c}] = QAccessible::registerAccessibleInterface(iface);
    return iface;
  }

  // --- children: every cell, titles included, row by row
  int childCount() const override {
    const SimpleGridCtl* g = grid();
    if (g == nullptr) return 0;
    return (g->row_count() + 1) * (static_cast<int>(g->visible_columns().size()) + 1);
  }
  QAccessibleInterface* child(int index) const override {
    const SimpleGridCtl* g = grid();
    if (g == nullptr || index < 0 || index >= childCount()) return nullptr;
    const auto cols = g->visible_columns();
    const int width = static_cast<int>(cols.size()) + 1;
    const int k = index % width;
    return cell(index / width, k == 0 ? 0 : cols[static_cast<std::size_t>(k - 1)]);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    const auto* c = dynamic_cast<const GridCellAccessible*>(child);
    if (c == nullptr || c->grid() != grid() || !c->isValid()) return -1;
    const auto cols = grid()->visible_columns();
    const int k =
        c->column() == 0
            ? 0
            : static_cast<int>(std::find(cols.begin(), cols.end(), c->column()) - cols.begin()) + 1;
    return c->row() * (static_cast<int>(cols.size()) + 1) + k;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    const SimpleGridCtl* g = grid();
    if (g == nullptr) return nullptr;
    const QPoint p = g->viewport()->mapFromGlobal(QPoint(x, y));
    if (!g->viewport()->rect().contains(p)) return nullptr;
    const auto [r, c] = g->hit(p);
    return r >= 0 && c >= 0 ? cell(r, c) : nullptr;
  }

  // --- table: data cells only
  QAccessibleInterface* caption() const override { return nullptr; }
  QAccessibleInterface* summary() const override { return nullptr; }
  QAccessibleInterface* cellAt(int row, int column) const override {
    const int c = data_column(column);
    return c > 0 && row >= 0 ? cell(row + 1, c) : nullptr;
  }
  int selectedCellCount() const override {
    const grid_detail::CellRange s = grid()->selection();
    return s.top == 0 ? 0 : (s.bottom - s.top + 1) * (s.last - s.first + 1);
  }
  QList<QAccessibleInterface*> selectedCells() const override {
    QList<QAccessibleInterface*> out;
    const grid_detail::CellRange s = grid()->selection();
    if (s.top == 0) return out;
    for (int r = s.top; r <= s.bottom; ++r) {
      for (int i = s.first; i <= s.last; ++i) out.push_back(cellAt(r - 1, i));
    }
    return out;
  }
  QString columnDescription(int column) const override {
    const int c = data_column(column);
    return c > 0 ? grid()->cell(0, c).text.left(kSpokenLimit) : QString();
  }
  QString rowDescription(int row) const override {
    return row >= 0 && row < grid()->row_count() ? grid()->cell(row + 1, 0).text.left(kSpokenLimit)
                                                 : QString();
  }
  int selectedColumnCount() const override { return static_cast<int>(selectedColumns().size()); }
  int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
  int columnCount() const override { return static_cast<int>(grid()->visible_columns().size()); }
  int rowCount() const override { return grid()->row_count(); }
  // A column counts as selected when the block covers all its rows, a row likewise.
  QList<int> selectedColumns() const override {
    QList<int> out;
    const grid_detail::CellRange s = grid()->selection();
    if (s.top == 1 && s.bottom == grid()->row_count()) {
      for (int i = s.first; i <= s.last; ++i) out.push_back(i);
    }
    return out;
  }
  QList<int> selectedRows() const override {
    QList<int> out;
    const grid_detail::CellRange s = grid()->selection();
    if (s.top != 0 && s.first == 0 && s.last == columnCount() - 1) {
      for (int r = s.top; r <= s.bottom; ++r) out.push_back(r - 1);
    }
    return out;
  }
  bool isColumnSelected(int column) const override { return selectedColumns().contains(column); }
  bool isRowSelected(int row) const override { return selectedRows().contains(row); }
  bool selectRow(int row) override {
    const auto cols = grid()->visible_columns();
    if (cols.empty() || row < 0 || row >= rowCount()) return false;
    grid()->set_current(row + 1, cols.back());
    return grid()->set_current(row + 1, cols.front(), true);
  }
  bool selectColumn(int column) override {
    const int c = data_column(column);
    if (c <= 0 || rowCount() == 0) return false;
    grid()->set_current(rowCount(), c);
    return grid()->set_current(1, c, true);
  }
  bool unselectRow(int) override { return false; }
  bool unselectColumn(int) override { return false; }
  void modelChange(QAccessibleTableModelChangeEvent*) override { drop_cells(); }

 private:
  int data_column(int column) const {
    const auto cols = grid()->visible_columns();
    return column >= 0 && column < static_cast<int>(cols.size())
               ? cols[static_cast<std::size_t>(column)]
               : 0;
  }
  void drop_cells() const {
    for (const auto& [key, id] : cells_) QAccessible::deleteAccessibleInterface(id);
    cells_.clear();
    generation_ = grid()->structure_generation();
  }

  mutable std::map<std::pair<int, int>, QAccessible::Id> cells_;
  mutable unsigned generation_ = 0;
};

QList<QAccessibleInterface*> GridCellAccessible::columnHeaderCells() const {
  auto* table = dynamic_cast<GridAccessible*>(parent());
  if (table == nullptr || !isValid()) return {};
  return {table->cell(0, column_)};
}

QList<QAccessibleInterface*> GridCellAccessible::rowHeaderCells() const {
  auto* table = dynamic_cast<GridAccessible*>(parent());
  if (table == nullptr || !isValid()) return {};
  return {table->cell(row_, 0)};
}

GridAnnounceHook g_announce_hook = nullptr;

bool listened_to() {
  return g_announce_hook != nullptr || QAccessible::isActive();
}

void deliver(QAccessibleEvent* event) {
  if (g_announce_hook != nullptr) {
    g_announce_hook(event);
  } else {
    QAccessible::updateAccessibility(event);
  }
}

QAccessibleInterface* grid_factory(const QString& class_name, QObject* object) {
  if (class_name == QLatin1String("SimpleGridCtl") && object != nullptr && object->isWidgetType())
    return new GridAccessible(static_cast<SimpleGridCtl*>(object));
  return nullptr;
}

}  // namespace

void install_grid_accessibility() {
  static const bool installed = []() {
    QAccessible::installFactory(grid_factory);
    return true;
  }();
  (void)installed;
}

void announce_grid_cell(SimpleGridCtl* grid, int row, int column, bool text_changed) {
  if (!listened_to()) return;
  auto* table = dynamic_cast<GridAccessible*>(QAccessible::queryAccessibleInterface(grid));
  QAccessibleInterface* cell = table != nullptr ? table->cell(row, column) : nullptr;
  if (cell == nullptr) return;
  QAccessibleEvent event(cell, text_changed ? QAccessible::NameChanged : QAccessible::Focus);
  deliver(&event);
}

void announce_grid_reset(SimpleGridCtl* grid) {
  if (!listened_to()) return;
  QAccessibleTableModelChangeEvent event(grid, QAccessibleTableModelChangeEvent::ModelReset);
  deliver(&event);
}

GridAnnounceHook set_grid_announce_hook(GridAnnounceHook hook) {
  const GridAnnounceHook old = g_announce_hook;
  g_announce_hook = hook;
  return old;
}
