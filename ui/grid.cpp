// "SimpleGridCtl": the table of text cells with a title row, a heading column and an in-place
// editor. Rows and columns scroll by whole cells; the title row and the heading column stay.
#include <QAbstractScrollArea>
#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QScrollBar>
#include <vector>

#include "ui/grid.h"
#include "ui/toolkit_internal.h"

using namespace ui_detail;

namespace {

constexpr int kHeadingWidth = 40;  // layout units
constexpr int kColumnWidth = 80;
constexpr int kCellPadding = 4;
constexpr int kTypedLimit = 32767;  // characters the editor takes from the keyboard

struct Cell {
  QString text;
  bool read_only = false;
};

struct Column {
  int width = 0;  // pixels
  bool hidden = false;
};

}  // namespace

class SimpleGridCtl : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit SimpleGridCtl(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    columns_.push_back({ui_scale(kHeadingWidth), false});
    rows_.emplace_back(1);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(),
            [this]() { viewport()->update(); });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, viewport(),
            [this]() { viewport()->update(); });
  }

  // --- table
  // ---------------------------------------------------------------------------------------
  int row_count() const { return static_cast<int>(rows_.size()) - 1; }
  int column_count() const { return static_cast<int>(columns_.size()) - 1; }
  bool valid_row(int r) const { return r >= 0 && r <= row_count(); }
  bool valid_column(int c) const { return c >= 0 && c <= column_count(); }

  int add_column(const QString& title) {
    commit_editor(false);
    columns_.push_back({ui_scale(kColumnWidth), false});
    for (auto& row : rows_) row.emplace_back();
    rows_[0].back().text = title;
    rows_[0].back().read_only = true;
    if (current_column_ == 0 && row_count() > 0) current_column_ = first_visible_column();
    changed();
    return column_count();
  }

  int insert_row(int at, const QString& title) {
    commit_editor(false);
    std::vector<Cell> row(columns_.size());
    row[0].text = title;
    row[0].read_only = true;
    rows_.insert(rows_.begin() + at, std::move(row));
    if (current_row_ == 0) {
      current_row_ = 1;
      current_column_ = first_visible_column();
    } else if (current_row_ >= at) {
      ++current_row_;
    }
    changed();
    return at;
  }

  void delete_row(int at) {
    close_editor();
    rows_.erase(rows_.begin() + at);
    if (row_count() == 0) {
      current_row_ = current_column_ = 0;
    } else if (current_row_ > at || current_row_ > row_count()) {
      --current_row_;
    }
    changed();
  }

  void delete_all_rows() {
    close_editor();
    rows_.resize(1);
    current_row_ = current_column_ = 0;
    changed();
  }

  Cell& cell(int r, int c) {
    return rows_[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
  }
  void set_cell(int r, int c, const QString& text) {
    if (editing() && r == edit_row_ && c == edit_column_) close_editor();
    cell(r, c).text = text;
    viewport()->update();
  }

  void show_column(int c, bool show) {
    columns_[static_cast<std::size_t>(c)].hidden = !show;
    if (!show && c == current_column_) {
      if (editing()) commit_editor(false);
      current_column_ = next_visible_column(c, +1);
      if (current_column_ == 0) current_column_ = next_visible_column(c, -1);
    } else if (show && current_column_ == 0 && row_count() > 0) {
      current_column_ = first_visible_column();
    }
    changed();
  }

  void set_column_width(int c, int width) {
    columns_[static_cast<std::size_t>(c)].width = std::max(0, ui_scale(width));
    changed();
  }

  bool set_current(int r, int c) {
    if (r < 1 || r > row_count() || c < 1 || c > column_count()) return false;
    commit_editor(false);
    current_row_ = r;
    current_column_ = c;
    ensure_visible();
    viewport()->update();
    return true;
  }
  int current_row() const { return current_column_ > 0 ? current_row_ : 0; }
  int current_column() const { return current_row_ > 0 ? current_column_ : 0; }

  bool editable = true;
  bool show_title = true;

  void changed() {
    update_scroll_bars();
    ensure_visible();
    viewport()->update();
  }

  // --- editor
  // --------------------------------------------------------------------------------------
  bool editing() const { return editor_ != nullptr; }

  void open_editor(const QString& text, bool keep_text) {
    if (!editable || current_row_ < 1 || current_column_ < 1) return;
    if (cell(current_row_, current_column_).read_only) return;
    close_editor();
    ensure_visible();
    edit_row_ = current_row_;
    edit_column_ = current_column_;
    const QString start = keep_text ? cell(edit_row_, edit_column_).text : text;
    editor_ = new QLineEdit(viewport());
    editor_->setFont(font());
    editor_->setFrame(false);
    // A stored text longer than what may be typed must come back whole.
    editor_->setMaxLength(std::max<qsizetype>(kTypedLimit, start.size()));
    editor_->setText(start);
    editor_->setGeometry(cell_rect(edit_row_, edit_column_).adjusted(1, 1, 0, 0));
    editor_->installEventFilter(this);
    editor_->show();
    editor_->setFocus(Qt::OtherFocusReason);
  }

  // Writes the editor's text into its cell and closes it.
  void commit_editor(bool focus_grid) {
    if (editor_ == nullptr) return;
    const QString text = editor_->text();
    const int r = edit_row_;
    const int c = edit_column_;
    close_editor();
    if (valid_row(r) && valid_column(c) && r > 0 && c > 0) {
      cell(r, c).text = text;
      dispatch_command(this, control_data(this) != nullptr ? control_data(this)->id : 0,
                       kNotifyEditChange);
    }
    if (focus_grid) setFocus(Qt::OtherFocusReason);
    viewport()->update();
  }

  void close_editor() {
    if (editor_ == nullptr) return;
    QLineEdit* e = editor_;
    editor_ = nullptr;
    e->removeEventFilter(this);
    e->hide();
    e->deleteLater();  // it may be in the middle of its own event
  }

  void cancel_editor() {
    close_editor();
    setFocus(Qt::OtherFocusReason);
    viewport()->update();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (watched != editor_) return QAbstractScrollArea::eventFilter(watched, e);
    if (e->type() == QEvent::FocusOut) {
      // Losing the focus writes the text; the focus stays where it went.
      commit_editor(false);
      return false;
    }
    if (e->type() == QEvent::KeyPress) return editor_key(static_cast<QKeyEvent*>(e));
    return false;
  }

  void keyPressEvent(QKeyEvent* e) override {
    if (editing()) {  // a key the editor left alone
      e->ignore();
      return;
    }
    const int key = e->key();
    if (row_count() > 0 && column_count() > 0 && move_key(key)) return;
    if (key == Qt::Key_F2 && e->modifiers() == Qt::NoModifier) {
      open_editor({}, true);
      return;
    }
    const QString text = e->text();
    if (!text.isEmpty() && text[0].isPrint() &&
        !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
      open_editor(text, false);
      return;
    }
    e->ignore();
  }

  void inputMethodEvent(QInputMethodEvent* e) override {
    // Dead keys and input methods deliver the composed text here.
    if (!e->commitString().isEmpty()) open_editor(e->commitString(), false);
    e->accept();
  }

  void mousePressEvent(QMouseEvent* e) override {
    setFocus(Qt::MouseFocusReason);
    const auto [r, c] = hit(e->position().toPoint());
    if (r > 0 && c > 0) set_current(r, c);
  }

  void mouseDoubleClickEvent(QMouseEvent* e) override {
    const auto [r, c] = hit(e->position().toPoint());
    if (r > 0 && c > 0 && set_current(r, c)) open_editor({}, true);
  }

  void resizeEvent(QResizeEvent* e) override {
    QAbstractScrollArea::resizeEvent(e);
    update_scroll_bars();
  }

  void focusInEvent(QFocusEvent* e) override {
    QAbstractScrollArea::focusInEvent(e);
    viewport()->update();
  }
  void focusOutEvent(QFocusEvent* e) override {
    QAbstractScrollArea::focusOutEvent(e);
    viewport()->update();
  }

  void paintEvent(QPaintEvent*) override {
    // Drawn off-screen first and copied in one step, so that scrolling does not flicker.
    const QSize size = viewport()->size();
    if (size.isEmpty()) return;
    QPixmap buffer(size * devicePixelRatioF());
    buffer.setDevicePixelRatio(devicePixelRatioF());
    {
      QPainter p(&buffer);
      paint_table(p, size);
    }
    QPainter out(viewport());
    out.drawPixmap(0, 0, buffer);
  }

 private:
  int row_height() const { return fontMetrics().height() + ui_scale(6); }
  int title_height() const { return show_title ? row_height() : 0; }
  int heading_width() const { return columns_[0].hidden ? 0 : columns_[0].width; }
  int page_rows() const {
    return std::max(1, (viewport()->height() - title_height()) / std::max(1, row_height()));
  }
  int first_row() const { return 1 + verticalScrollBar()->value(); }

  std::vector<int> visible_columns() const {
    std::vector<int> out;
    for (int c = 1; c <= column_count(); ++c) {
      if (!columns_[static_cast<std::size_t>(c)].hidden) out.push_back(c);
    }
    return out;
  }
  int first_visible_column() const {
    const auto v = visible_columns();
    return v.empty() ? 0 : v.front();
  }
  // The next visible data column from c in direction step; 0 when there is none.
  int next_visible_column(int c, int step) const {
    for (int i = c + step; i >= 1 && i <= column_count(); i += step) {
      if (!columns_[static_cast<std::size_t>(i)].hidden) return i;
    }
    return 0;
  }

  void update_scroll_bars() {
    const int rows_max = std::max(0, row_count() - page_rows());
    verticalScrollBar()->setRange(0, rows_max);
    verticalScrollBar()->setPageStep(page_rows());
    const auto cols = visible_columns();
    const int room = viewport()->width() - heading_width();
    int first = static_cast<int>(cols.size());
    int used = 0;
    while (first > 0 &&
           used + columns_[static_cast<std::size_t>(cols[static_cast<std::size_t>(first - 1)])]
                       .width <=
               room) {
      used += columns_[static_cast<std::size_t>(cols[static_cast<std::size_t>(--first)])].width;
    }
    horizontalScrollBar()->setRange(
        0, std::min(first, std::max(0, static_cast<int>(cols.size()) - 1)));
    horizontalScrollBar()->setPageStep(1);
  }

  void ensure_visible() {
    if (current_row_ < 1 || current_column_ < 1) return;
    QScrollBar* v = verticalScrollBar();
    if (current_row_ < first_row()) v->setValue(current_row_ - 1);
    if (current_row_ >= first_row() + page_rows()) v->setValue(current_row_ - page_rows());
    const auto cols = visible_columns();
    const auto it = std::find(cols.begin(), cols.end(), current_column_);
    if (it == cols.end()) return;
    const int index = static_cast<int>(it - cols.begin());
    QScrollBar* h = horizontalScrollBar();
    if (index < h->value()) h->setValue(index);
    const int room = viewport()->width() - heading_width();
    while (h->value() < index) {
      int used = 0;
      for (int i = h->value(); i <= index; ++i)
        used += columns_[static_cast<std::size_t>(cols[static_cast<std::size_t>(i)])].width;
      if (used <= room) break;
      h->setValue(h->value() + 1);
      if (h->value() == h->maximum()) break;
    }
  }

  int column_x(int c) const {
    if (c == 0) return 0;
    const auto cols = visible_columns();
    int x = heading_width();
    for (int i = horizontalScrollBar()->value(); i < static_cast<int>(cols.size()); ++i) {
      if (cols[static_cast<std::size_t>(i)] == c) return x;
      x += columns_[static_cast<std::size_t>(cols[static_cast<std::size_t>(i)])].width;
    }
    return -1;  // scrolled out to the left or hidden
  }
  int row_y(int r) const { return r == 0 ? 0 : title_height() + (r - first_row()) * row_height(); }

  QRect cell_rect(int r, int c) const {
    return QRect(column_x(c), row_y(r), columns_[static_cast<std::size_t>(c)].width, row_height());
  }

  std::pair<int, int> hit(QPoint pt) const {
    int r = -1;
    if (pt.y() < title_height()) {
      r = 0;
    } else {
      r = first_row() + (pt.y() - title_height()) / row_height();
      if (r > row_count()) r = -1;
    }
    int c = -1;
    if (pt.x() < heading_width()) {
      c = 0;
    } else {
      const auto cols = visible_columns();
      int x = heading_width();
      for (int i = horizontalScrollBar()->value(); i < static_cast<int>(cols.size()); ++i) {
        const int w = columns_[static_cast<std::size_t>(cols[static_cast<std::size_t>(i)])].width;
        if (pt.x() < x + w) {
          c = cols[static_cast<std::size_t>(i)];
          break;
        }
        x += w;
      }
    }
    return {r, c};
  }

  bool move_key(int key) {
    int r = current_row_;
    int c = current_column_;
    switch (key) {
      case Qt::Key_Up:
        r = std::max(1, r - 1);
        break;
      case Qt::Key_Down:
        r = std::min(row_count(), r + 1);
        break;
      case Qt::Key_PageUp:
        r = std::max(1, r - page_rows());
        break;
      case Qt::Key_PageDown:
        r = std::min(row_count(), r + page_rows());
        break;
      case Qt::Key_Left:
        c = next_visible_column(c, -1) != 0 ? next_visible_column(c, -1) : c;
        break;
      case Qt::Key_Right:
        c = next_visible_column(c, +1) != 0 ? next_visible_column(c, +1) : c;
        break;
      default:
        return false;
    }
    if (r >= 1 && c >= 1) set_current(r, c);
    return true;
  }

  bool editor_key(QKeyEvent* e) {
    const int key = e->key();
    const bool ctrl = (e->modifiers() & Qt::ControlModifier) != 0;
    switch (key) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
        commit_editor(true);
        return true;
      case Qt::Key_Escape:
        cancel_editor();
        return true;
      case Qt::Key_Tab:
      case Qt::Key_Backtab:
        if (ctrl) return false;
        // Passed on to the grid, whose Tab goes to the next control; leaving writes the text.
        move_tab_focus(this, !(key == Qt::Key_Backtab || (e->modifiers() & Qt::ShiftModifier)));
        return true;
      case Qt::Key_Up:
      case Qt::Key_PageUp:
        if (current_row_ <= 1) return true;  // a one-line editor has nowhere to go
        commit_editor(true);
        move_key(key);
        return true;
      case Qt::Key_Down:
      case Qt::Key_PageDown:
        if (current_row_ >= row_count()) return true;
        commit_editor(true);
        move_key(key);
        return true;
      case Qt::Key_Left:
        if (editor_->cursorPosition() != 0 || editor_->hasSelectedText() ||
            next_visible_column(current_column_, -1) == 0) {
          return false;
        }
        commit_editor(true);
        move_key(key);
        return true;
      case Qt::Key_Right:
        if (editor_->cursorPosition() != editor_->text().size() || editor_->hasSelectedText() ||
            next_visible_column(current_column_, +1) == 0) {
          return false;
        }
        commit_editor(true);
        move_key(key);
        return true;
      default:
        return false;
    }
  }

  void paint_table(QPainter& p, QSize size) {
    const QPalette& pal = palette();
    p.fillRect(QRect(QPoint(0, 0), size), pal.color(QPalette::Base));
    p.setFont(font());
    const int rh = row_height();
    const int pad = ui_scale(kCellPadding);
    const QColor line = pal.color(QPalette::Mid);
    const bool focused = hasFocus() || editing();
    auto draw_cell = [&](int r, int c, const QRect& rect) {
      const Cell& cl = cell(r, c);
      QColor back = pal.color(QPalette::Base);
      QColor fore = pal.color(QPalette::Text);
      if (r == 0 || c == 0) {
        back = pal.color(QPalette::Button);
        fore = pal.color(QPalette::ButtonText);
      } else if (cl.read_only) {
        back = pal.color(QPalette::Window);
      }
      const bool current = r == current_row_ && c == current_column_ && r > 0 && c > 0;
      if (current && focused) {
        back = pal.color(QPalette::Highlight);
        fore = pal.color(QPalette::HighlightedText);
      } else if (current) {
        back = pal.color(QPalette::AlternateBase);
      }
      p.fillRect(rect, back);
      p.setPen(line);
      p.drawLine(rect.topRight(), rect.bottomRight());
      p.drawLine(rect.bottomLeft(), rect.bottomRight());
      if (current && !focused) p.drawRect(rect.adjusted(0, 0, -1, -1));
      p.setPen(fore);
      const QRect text_rect = rect.adjusted(pad, 0, -pad, 0);
      // Only the first line of a cell and only as much as fits is drawn.
      const QString first_line =
          cl.text.left(std::max(1, text_rect.width() / 2 + 8)).section(u'\n', 0, 0);
      const QString shown =
          p.fontMetrics().elidedText(first_line, Qt::ElideRight, text_rect.width());
      p.drawText(text_rect,
                 Qt::AlignVCenter | ((r == 0 || c == 0) ? Qt::AlignHCenter : Qt::AlignLeft), shown);
    };
    const auto cols = visible_columns();
    auto draw_row = [&](int r) {
      const int y = row_y(r);
      if (!columns_[0].hidden) draw_cell(r, 0, QRect(0, y, columns_[0].width, rh));
      int x = heading_width();
      for (int i = horizontalScrollBar()->value();
           i < static_cast<int>(cols.size()) && x < size.width(); ++i) {
        const int c = cols[static_cast<std::size_t>(i)];
        const int w = columns_[static_cast<std::size_t>(c)].width;
        draw_cell(r, c, QRect(x, y, w, rh));
        x += w;
      }
    };
    if (show_title) draw_row(0);
    for (int r = first_row(); r <= row_count() && row_y(r) < size.height(); ++r) draw_row(r);
  }

  std::vector<std::vector<Cell>> rows_;
  std::vector<Column> columns_;
  int current_row_ = 0;
  int current_column_ = 0;
  QPointer<QLineEdit> editor_;
  int edit_row_ = 0;
  int edit_column_ = 0;
};

namespace {

SimpleGridCtl* grid_of(Wnd h) {
  return dynamic_cast<SimpleGridCtl*>(widget(h));
}

int copy_out(const QString& text, std::u16string* out) {
  if (out != nullptr) *out = to_u16(text);
  return static_cast<int>(std::min<qsizetype>(text.size(), INT32_MAX));
}

}  // namespace

Wnd ui_create_grid(Wnd parent, int id, int x, int y, int w, int h, unsigned style) {
  auto* g = new SimpleGridCtl(container_of(parent));
  g->setFont(make_font(ui_font()));
  register_control(parent, g, id, Kind::Grid, x, y, w, h, style);
  return handle(g);
}

int grid_add_column(Wnd grid, std::u16string_view title) {
  SimpleGridCtl* g = grid_of(grid);
  return g != nullptr ? g->add_column(to_qstring(title)) : -1;
}

int grid_set_column_title(Wnd grid, int column, std::u16string_view title) {
  SimpleGridCtl* g = grid_of(grid);
  if (g == nullptr || !g->valid_column(column)) return -1;
  g->set_cell(0, column, to_qstring(title));
  return 0;
}

int grid_column_title(Wnd grid, int column, std::u16string* out) {
  return grid_cell_text(grid, 0, column, out);
}
int grid_column_title_length(Wnd grid, int column) {
  return grid_cell_text(grid, 0, column, nullptr);
}

int grid_column_count(Wnd grid) {
  const SimpleGridCtl* g = grid_of(grid);
  return g != nullptr ? g->column_count() : -1;
}

int grid_show_column(Wnd grid, int column, bool show) {
  SimpleGridCtl* g = grid_of(grid);
  if (g == nullptr || !g->valid_column(column)) return -1;
  g->show_column(column, show);
  return 0;
}

int grid_set_column_width(Wnd grid, int column, int width) {
  SimpleGridCtl* g = grid_of(grid);
  if (g == nullptr || !g->valid_column(column) || width < 0) return -1;
  g->set_column_width(column, width);
  return 0;
}

int grid_add_row(Wnd grid, std::u16string_view title) {
  SimpleGridCtl* g = grid_of(grid);
  return g != nullptr ? g->insert_row(g->row_count() + 1, to_qstring(title)) : -1;
}

int grid_insert_row(Wnd grid, int row, std::u16string_view title) {
  SimpleGridCtl* g = grid_of(grid);
  if (g == nullptr || row < 1 || row > g->row_count() + 1) return -1;
  return g->insert_row(row, to_qstring(title));
}

int grid_delete_row(Wnd grid, int row) {
  SimpleGridCtl* g = grid_of(grid);
  if (g == nullptr || row < 1 || row > g->row_count()) return -1;
  g->delete_row(row);
  return 0;
}

int grid_row_count(Wnd grid) {
  const SimpleGridCtl* g = grid_of(grid);
  return g != nullptr ? g->row_count() : -1;
}

int grid_delete_all_rows(Wnd grid) {
  SimpleGridCtl* g = grid_of(grid);
  if (g == nullptr) return -1;
  g->delete_all_rows();
  return 0;
}

int grid_row_title(Wnd grid, int row, std::u16string* out) {
  return grid_cell_text(grid, row, 0, out);
}
int grid_row_title_length(Wnd grid, int row) {
  return grid_cell_text(grid, row, 0, nullptr);
}

int grid_cell_text(Wnd grid, int row, int column, std::u16string* out) {
  if (out != nullptr) out->clear();
  SimpleGridCtl* g = grid_of(grid);
  if (g == nullptr || !g->valid_row(row) || !g->valid_column(column)) return -1;
  return copy_out(g->cell(row, column).text, out);
}

int grid_cell_text_length(Wnd grid, int row, int column) {
  return grid_cell_text(grid, row, column, nullptr);
}

int grid_set_cell_text(Wnd grid, int row, int column, std::u16string_view text) {
  SimpleGridCtl* g = grid_of(grid);
  if (g == nullptr || !g->valid_row(row) || !g->valid_column(column)) return -1;
  g->set_cell(row, column, to_qstring(text));
  return 0;
}

int grid_set_cell_read_only(Wnd grid, int row, int column, bool read_only) {
  SimpleGridCtl* g = grid_of(grid);
  if (g == nullptr || !g->valid_row(row) || !g->valid_column(column)) return -1;
  g->cell(row, column).read_only = read_only || row == 0 || column == 0;
  g->viewport()->update();
  return 0;
}

int grid_set_current(Wnd grid, int row, int column) {
  SimpleGridCtl* g = grid_of(grid);
  return g != nullptr && g->set_current(row, column) ? 0 : -1;
}

int grid_current_row(Wnd grid) {
  const SimpleGridCtl* g = grid_of(grid);
  return g != nullptr ? g->current_row() : -1;
}

int grid_current_column(Wnd grid) {
  const SimpleGridCtl* g = grid_of(grid);
  return g != nullptr ? g->current_column() : -1;
}

int grid_set_font(Wnd grid, const UiFont& font) {
  SimpleGridCtl* g = grid_of(grid);
  if (g == nullptr) return -1;
  g->setFont(make_font(font));
  g->changed();
  return 0;
}

int grid_set_editable(Wnd grid, bool editable) {
  SimpleGridCtl* g = grid_of(grid);
  if (g == nullptr) return -1;
  if (!editable) g->commit_editor(false);
  g->editable = editable;
  return 0;
}

int grid_show_title_row(Wnd grid, bool show) {
  SimpleGridCtl* g = grid_of(grid);
  if (g == nullptr) return -1;
  g->show_title = show;
  g->changed();
  return 0;
}

int grid_redraw(Wnd grid) {
  SimpleGridCtl* g = grid_of(grid);
  if (g == nullptr) return -1;
  g->changed();
  return 0;
}

bool grid_editing(Wnd grid) {
  const SimpleGridCtl* g = grid_of(grid);
  return g != nullptr && g->editing();
}

#include "grid.moc"
