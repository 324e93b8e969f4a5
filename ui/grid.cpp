// "SimpleGridCtl": the table of text cells with a title row, a heading column and an in-place
// editor, a rectangular selection, block copy and paste through the clipboard and an undo history
// in which a paste, a cut or a Delete is one step.
#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <climits>

#include "ui/grid.h"
#include "ui/grid_text.h"
#include "ui/grid_widget.h"
#include "ui/toolkit_internal.h"

using namespace ui_detail;

namespace {

constexpr int kHeadingWidth = 40;  // layout units
constexpr int kColumnWidth = 80;
constexpr int kCellPadding = 4;
constexpr int kTypedLimit = 32767;  // characters the editor takes from the keyboard
// The history keeps this many steps, fewer when their texts add up to more code units.
constexpr std::size_t kUndoSteps = 100;
constexpr long long kUndoCodeUnits = 4'000'000;

QColor blend(const QColor& base, const QColor& over, double share) {
  return QColor::fromRgbF(static_cast<float>(base.redF() * (1 - share) + over.redF() * share),
                          static_cast<float>(base.greenF() * (1 - share) + over.greenF() * share),
                          static_cast<float>(base.blueF() * (1 - share) + over.blueF() * share));
}

long long step_size(const std::vector<grid_detail::CellChange>& step) {
  long long n = 0;
  for (const auto& ch : step) n += ch.before.size() + ch.after.size() + 4;
  return n;
}

}  // namespace

SimpleGridCtl::SimpleGridCtl(QWidget* parent) : QAbstractScrollArea(parent) {
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

// --- table ---------------------------------------------------------------------------------------

int SimpleGridCtl::add_column(const QString& title) {
  commit_editor(false);
  columns_.push_back({ui_scale(kColumnWidth), false});
  for (auto& row : rows_) row.emplace_back();
  rows_[0].back().text = title;
  rows_[0].back().read_only = true;
  if (current_column_ == 0 && row_count() > 0) current_column_ = first_visible_column();
  structure_changed();
  return column_count();
}

int SimpleGridCtl::insert_row(int at, const QString& title) {
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
  structure_changed();
  return at;
}

void SimpleGridCtl::delete_row(int at) {
  close_editor();
  rows_.erase(rows_.begin() + at);
  if (row_count() == 0) {
    current_row_ = current_column_ = 0;
  } else if (current_row_ > at || current_row_ > row_count()) {
    --current_row_;
  }
  structure_changed();
}

void SimpleGridCtl::delete_all_rows() {
  close_editor();
  rows_.resize(1);
  current_row_ = current_column_ = 0;
  structure_changed();
}

void SimpleGridCtl::show_column(int c, bool show) {
  columns_[static_cast<std::size_t>(c)].hidden = !show;
  if (!show && c == current_column_) {
    if (editing()) commit_editor(false);
    current_column_ = next_visible_column(c, +1);
    if (current_column_ == 0) current_column_ = next_visible_column(c, -1);
  } else if (show && current_column_ == 0 && row_count() > 0) {
    current_column_ = first_visible_column();
  }
  structure_changed();
}

void SimpleGridCtl::set_column_width(int c, int width) {
  columns_[static_cast<std::size_t>(c)].width = std::max(0, ui_scale(width));
  changed();
}

void SimpleGridCtl::set_cell(int r, int c, const QString& text) {
  if (editing() && r == edit_row_ && c == edit_column_) close_editor();
  cell(r, c).text = text;
  // The page changed the table under the history; undoing past it would overwrite its text.
  undo_.clear();
  redo_.clear();
  viewport()->update();
}

void SimpleGridCtl::set_read_only(int r, int c, bool read_only) {
  cell(r, c).read_only = read_only || r == 0 || c == 0;
  viewport()->update();
}

void SimpleGridCtl::changed() {
  update_scroll_bars();
  ensure_visible();
  viewport()->update();
}

void SimpleGridCtl::structure_changed() {
  ++generation_;
  undo_.clear();
  redo_.clear();
  collapse_selection();
  changed();
  announce_grid_reset(this);
}

std::vector<int> SimpleGridCtl::visible_columns() const {
  std::vector<int> out;
  for (int c = 1; c <= column_count(); ++c) {
    if (!column_hidden(c)) out.push_back(c);
  }
  return out;
}

int SimpleGridCtl::first_visible_column() const {
  return next_visible_column(0, +1);
}

// The next visible data column from c in direction step; 0 when there is none.
int SimpleGridCtl::next_visible_column(int c, int step) const {
  for (int i = c + step; i >= 1 && i <= column_count(); i += step) {
    if (!column_hidden(i)) return i;
  }
  return 0;
}

// --- current cell and selection ------------------------------------------------------------------

bool SimpleGridCtl::set_current(int r, int c, bool extend) {
  if (r < 1 || r > row_count() || c < 1 || c > column_count()) return false;
  commit_editor(false);
  const bool moved = r != current_row_ || c != current_column_;
  current_row_ = end_row_ = r;
  current_column_ = end_column_ = c;
  if (!extend) collapse_selection();
  ensure_visible();
  viewport()->update();
  if (moved) announce_current();
  return true;
}

void SimpleGridCtl::collapse_selection() {
  anchor_row_ = end_row_ = current_row_;
  anchor_column_ = end_column_ = current_column_;
}

grid_detail::CellRange SimpleGridCtl::selection() const {
  if (current_row() < 1) return {};
  const auto cols = visible_columns();
  auto index_of = [&](int c) {
    return static_cast<int>(std::find(cols.begin(), cols.end(), c) - cols.begin());
  };
  const int n = static_cast<int>(cols.size());
  int a = index_of(anchor_column_);
  int b = index_of(end_column_);
  int top = std::min(anchor_row_, end_row_);
  int bottom = std::max(anchor_row_, end_row_);
  if (a == n || b == n || top < 1 || bottom > row_count()) {
    // A corner went out of sight: only the current cell is left.
    a = b = index_of(current_column_);
    top = bottom = current_row_;
    if (a == n) return {};
  }
  return {top, bottom, std::min(a, b), std::max(a, b)};
}

bool SimpleGridCtl::selected(int r, int c) const {
  const CellRange s = selection();
  if (s.top == 0 || r < s.top || r > s.bottom || c < 1 || column_hidden(c)) return false;
  int index = 0;
  for (int i = 1; i < c; ++i) index += column_hidden(i) ? 0 : 1;
  return index >= s.first && index <= s.last;
}

void SimpleGridCtl::select_all() {
  const auto cols = visible_columns();
  if (current_row() < 1 || cols.empty()) return;
  anchor_row_ = 1;
  anchor_column_ = cols.front();
  end_row_ = row_count();
  end_column_ = cols.back();
  viewport()->update();
}

void SimpleGridCtl::select_block(int r1, int c1, int r2, int c2) {
  if (!set_current(r1, c1)) return;
  anchor_row_ = r2;
  anchor_column_ = c2;
  viewport()->update();
}

// --- clipboard and history -----------------------------------------------------------------------

QString SimpleGridCtl::selection_text() const {
  const CellRange s = selection();
  if (s.top == 0) return {};
  const auto cols = visible_columns();
  std::vector<std::vector<std::u16string>> block;
  for (int r = s.top; r <= s.bottom; ++r) {
    auto& row = block.emplace_back();
    for (int i = s.first; i <= s.last; ++i)
      row.push_back(to_u16(cell(r, cols[static_cast<std::size_t>(i)]).text));
  }
  return to_qstring(join_copied_cells(block));
}

void SimpleGridCtl::copy_selection() const {
  if (selection().top == 0) return;
  QApplication::clipboard()->setText(selection_text());
}

void SimpleGridCtl::cut_selection() {
  copy_selection();
  clear_selection();
}

void SimpleGridCtl::clear_selection() {
  const CellRange s = selection();
  if (!editable || s.top == 0) return;
  const auto cols = visible_columns();
  std::vector<CellChange> changes;
  for (int r = s.top; r <= s.bottom; ++r) {
    for (int i = s.first; i <= s.last; ++i) {
      const int c = cols[static_cast<std::size_t>(i)];
      if (!cell(r, c).read_only) changes.push_back({r, c, cell(r, c).text, QString()});
    }
  }
  write_cells(std::move(changes));
}

void SimpleGridCtl::paste_clipboard() {
  paste_text(QApplication::clipboard()->text());
}

long long SimpleGridCtl::paste_text(const QString& text) {
  const CellRange s = selection();
  if (!editable || s.top == 0 || text.isEmpty()) return 0;
  commit_editor(false);
  const auto cols = visible_columns();
  // Only as many rows and columns as the grid has from the corner on are read into cells.
  const PastedBlock block =
      split_pasted_text(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                            static_cast<std::size_t>(text.size())),
                        row_count() - s.top + 1, static_cast<int>(cols.size()) - s.first);
  long long left_out = block.left_out;
  std::vector<CellChange> changes;
  int width = 1;
  for (std::size_t i = 0; i < block.rows.size(); ++i) {
    const int r = s.top + static_cast<int>(i);
    for (std::size_t j = 0; j < block.rows[i].size(); ++j) {
      const int c = cols[static_cast<std::size_t>(s.first) + j];
      width = std::max(width, static_cast<int>(j) + 1);
      if (cell(r, c).read_only) {
        ++left_out;
        continue;
      }
      changes.push_back({r, c, cell(r, c).text, to_qstring(block.rows[i][j])});
    }
  }
  left_out_ += left_out;
  if (!block.rows.empty()) {
    // The pasted block becomes the selection, its top-left cell the current one.
    const int top_left = cols[static_cast<std::size_t>(s.first)];
    set_current(s.top, top_left);
    anchor_row_ = s.top;
    anchor_column_ = top_left;
    end_row_ = s.top + static_cast<int>(block.rows.size()) - 1;
    end_column_ = cols[static_cast<std::size_t>(s.first + width - 1)];
    current_row_ = s.top;
    current_column_ = top_left;
  }
  const bool wrote = std::any_of(changes.begin(), changes.end(),
                                 [](const CellChange& ch) { return ch.before != ch.after; });
  write_cells(std::move(changes));
  if (!wrote && left_out > 0) notify_edit();  // the page still reports what was left out
  viewport()->update();
  return left_out;
}

int SimpleGridCtl::take_left_out() {
  const long long n = left_out_;
  left_out_ = 0;
  return static_cast<int>(std::min<long long>(n, INT_MAX));
}

void SimpleGridCtl::write_cells(std::vector<CellChange> changes) {
  std::erase_if(changes, [](const CellChange& ch) { return ch.before == ch.after; });
  if (changes.empty()) return;
  apply(changes, true);
  undo_.push_back(std::move(changes));
  redo_.clear();
  long long total = 0;
  for (const auto& step : undo_) total += step_size(step);
  while (undo_.size() > 1 && (undo_.size() > kUndoSteps || total > kUndoCodeUnits)) {
    total -= step_size(undo_.front());
    undo_.erase(undo_.begin());
  }
  notify_edit();
}

void SimpleGridCtl::apply(const std::vector<CellChange>& changes, bool forward) {
  for (const CellChange& ch : changes) {
    if (valid_row(ch.row) && valid_column(ch.column))
      cell(ch.row, ch.column).text = forward ? ch.after : ch.before;
  }
  viewport()->update();
  if (current_row() > 0) announce_grid_cell(this, current_row_, current_column_, true);
}

bool SimpleGridCtl::undo() {
  if (undo_.empty() || editing()) return false;
  std::vector<CellChange> step = std::move(undo_.back());
  undo_.pop_back();
  apply(step, false);
  // The cells the step touched become the selection again.
  int top = INT_MAX, bottom = 0, left = INT_MAX, right = 0;
  for (const CellChange& ch : step) {
    top = std::min(top, ch.row);
    bottom = std::max(bottom, ch.row);
    left = std::min(left, ch.column);
    right = std::max(right, ch.column);
  }
  if (!column_hidden(left) && !column_hidden(right) && set_current(top, left)) {
    anchor_row_ = top;
    anchor_column_ = left;
    end_row_ = bottom;
    end_column_ = right;
  }
  redo_.push_back(std::move(step));
  notify_edit();
  return true;
}

bool SimpleGridCtl::redo() {
  if (redo_.empty() || editing()) return false;
  std::vector<CellChange> step = std::move(redo_.back());
  redo_.pop_back();
  apply(step, true);
  undo_.push_back(std::move(step));
  notify_edit();
  return true;
}

void SimpleGridCtl::notify_edit() {
  dispatch_command(this, control_data(this) != nullptr ? control_data(this)->id : 0,
                   kNotifyEditChange);
}

void SimpleGridCtl::announce_current() {
  if (hasFocus() && current_row() > 0)
    announce_grid_cell(this, current_row_, current_column_, false);
}

// --- editor --------------------------------------------------------------------------------------

void SimpleGridCtl::open_editor(const QString& text, bool keep_text) {
  if (!editable || current_row_ < 1 || current_column_ < 1) return;
  if (cell(current_row_, current_column_).read_only) return;
  close_editor();
  collapse_selection();
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
  viewport()->update();
}

// Writes the editor's text into its cell, as one step of the history, and closes it.
void SimpleGridCtl::commit_editor(bool focus_grid) {
  if (editor_ == nullptr) return;
  const QString text = editor_->text();
  const int r = edit_row_;
  const int c = edit_column_;
  close_editor();
  if (valid_row(r) && valid_column(c) && r > 0 && c > 0) {
    if (cell(r, c).text != text) {
      write_cells({{r, c, cell(r, c).text, text}});
    } else {
      notify_edit();
    }
  }
  if (focus_grid) setFocus(Qt::OtherFocusReason);
  viewport()->update();
}

void SimpleGridCtl::close_editor() {
  if (editor_ == nullptr) return;
  QLineEdit* e = editor_;
  editor_ = nullptr;
  e->removeEventFilter(this);
  e->hide();
  e->deleteLater();  // it may be in the middle of its own event
}

void SimpleGridCtl::cancel_editor() {
  close_editor();
  setFocus(Qt::OtherFocusReason);
  viewport()->update();
}

// --- events --------------------------------------------------------------------------------------

namespace {

bool is_edit_shortcut(QKeyEvent* e) {
  for (auto k : {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste, QKeySequence::Undo,
                 QKeySequence::Redo, QKeySequence::SelectAll, QKeySequence::Delete}) {
    if (e->matches(k)) return true;
  }
  return e->key() == Qt::Key_Delete || e->key() == Qt::Key_Backspace;
}

}  // namespace

bool SimpleGridCtl::event(QEvent* e) {
  // The grid's own editing keys come before any menu shortcut of the window.
  if (e->type() == QEvent::ShortcutOverride && !editing() &&
      is_edit_shortcut(static_cast<QKeyEvent*>(e))) {
    e->accept();
    return true;
  }
  return QAbstractScrollArea::event(e);
}

bool SimpleGridCtl::eventFilter(QObject* watched, QEvent* e) {
  if (watched != editor_) return QAbstractScrollArea::eventFilter(watched, e);
  if (e->type() == QEvent::FocusOut) {
    // Losing the focus writes the text; the focus stays where it went.
    commit_editor(false);
    return false;
  }
  if (e->type() == QEvent::KeyPress) return editor_key(static_cast<QKeyEvent*>(e));
  return false;
}

void SimpleGridCtl::keyPressEvent(QKeyEvent* e) {
  if (editing()) {  // a key the editor left alone
    e->ignore();
    return;
  }
  if (current_row() > 0 && current_column() > 0) {
    if (move_key(e) || edit_key(e)) return;
  }
  if (e->key() == Qt::Key_F2 && e->modifiers() == Qt::NoModifier) {
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

void SimpleGridCtl::inputMethodEvent(QInputMethodEvent* e) {
  // Dead keys and input methods deliver the composed text here.
  if (!e->commitString().isEmpty()) open_editor(e->commitString(), false);
  e->accept();
}

void SimpleGridCtl::mousePressEvent(QMouseEvent* e) {
  setFocus(Qt::MouseFocusReason);
  const auto [r, c] = hit(e->position().toPoint());
  if (r <= 0 || c <= 0) return;
  const bool extend = (e->modifiers() & Qt::ShiftModifier) != 0;
  // A right click inside the selection keeps it.
  if (e->button() == Qt::RightButton && selected(r, c)) return;
  set_current(r, c, extend);
  dragging_ = e->button() == Qt::LeftButton;
}

void SimpleGridCtl::mouseMoveEvent(QMouseEvent* e) {
  if (!dragging_ || !(e->buttons() & Qt::LeftButton) || editing()) return;
  const auto [r, c] = drag_target(e->position().toPoint());
  if (r > 0 && c > 0 && (r != current_row_ || c != current_column_)) set_current(r, c, true);
}

void SimpleGridCtl::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) dragging_ = false;
}

void SimpleGridCtl::mouseDoubleClickEvent(QMouseEvent* e) {
  const auto [r, c] = hit(e->position().toPoint());
  if (r > 0 && c > 0 && set_current(r, c)) open_editor({}, true);
}

void SimpleGridCtl::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  update_scroll_bars();
}

void SimpleGridCtl::focusInEvent(QFocusEvent* e) {
  QAbstractScrollArea::focusInEvent(e);
  viewport()->update();
  announce_current();
}

void SimpleGridCtl::focusOutEvent(QFocusEvent* e) {
  QAbstractScrollArea::focusOutEvent(e);
  viewport()->update();
}

void SimpleGridCtl::paintEvent(QPaintEvent*) {
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

// --- geometry ------------------------------------------------------------------------------------

int SimpleGridCtl::row_height() const {
  return fontMetrics().height() + ui_scale(6);
}

int SimpleGridCtl::page_rows() const {
  return std::max(1, (viewport()->height() - title_height()) / std::max(1, row_height()));
}

void SimpleGridCtl::update_scroll_bars() {
  const int rows_max = std::max(0, row_count() - page_rows());
  verticalScrollBar()->setRange(0, rows_max);
  verticalScrollBar()->setPageStep(page_rows());
  const auto cols = visible_columns();
  const int room = viewport()->width() - heading_width();
  int first = static_cast<int>(cols.size());
  int used = 0;
  while (
      first > 0 &&
      used + columns_[static_cast<std::size_t>(cols[static_cast<std::size_t>(first - 1)])].width <=
          room) {
    used += columns_[static_cast<std::size_t>(cols[static_cast<std::size_t>(--first)])].width;
  }
  horizontalScrollBar()->setRange(0,
                                  std::min(first, std::max(0, static_cast<int>(cols.size()) - 1)));
  horizontalScrollBar()->setPageStep(1);
}

void SimpleGridCtl::ensure_visible() {
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

int SimpleGridCtl::column_x(int c) const {
  if (c == 0) return 0;
  const auto cols = visible_columns();
  int x = heading_width();
  for (int i = horizontalScrollBar()->value(); i < static_cast<int>(cols.size()); ++i) {
    if (cols[static_cast<std::size_t>(i)] == c) return x;
    x += columns_[static_cast<std::size_t>(cols[static_cast<std::size_t>(i)])].width;
  }
  return -1;  // scrolled out to the left or hidden
}

QRect SimpleGridCtl::cell_rect(int r, int c) const {
  return QRect(column_x(c), row_y(r), columns_[static_cast<std::size_t>(c)].width, row_height());
}

std::pair<int, int> SimpleGridCtl::hit(QPoint pt) const {
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

// The data cell a drag at `pt` reaches: beyond an edge of the data area it is the cell just past
// that edge, so that dragging out scrolls on.
std::pair<int, int> SimpleGridCtl::drag_target(QPoint pt) const {
  const auto cols = visible_columns();
  if (row_count() < 1 || cols.empty()) return {0, 0};
  int r = pt.y() < title_height() ? first_row() - 1
                                  : first_row() + (pt.y() - title_height()) / row_height();
  r = std::clamp(r, 1, row_count());
  int index = horizontalScrollBar()->value();
  if (pt.x() < heading_width()) {
    --index;
  } else {
    int x = heading_width();
    while (
        index < static_cast<int>(cols.size()) &&
        pt.x() >=
            x + columns_[static_cast<std::size_t>(cols[static_cast<std::size_t>(index)])].width) {
      x += columns_[static_cast<std::size_t>(cols[static_cast<std::size_t>(index)])].width;
      ++index;
    }
  }
  index = std::clamp(index, 0, static_cast<int>(cols.size()) - 1);
  return {r, cols[static_cast<std::size_t>(index)]};
}

// --- keys ----------------------------------------------------------------------------------------

// Arrows, pages, Home and End move the current cell; with Shift they move the selection's end.
bool SimpleGridCtl::move_key(QKeyEvent* e) {
  const bool extend = (e->modifiers() & Qt::ShiftModifier) != 0;
  const bool ctrl = (e->modifiers() & Qt::ControlModifier) != 0;
  int r = extend ? end_row_ : current_row_;
  int c = extend ? end_column_ : current_column_;
  switch (e->key()) {
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
    case Qt::Key_Home:
      c = first_visible_column();
      if (ctrl) r = 1;
      break;
    case Qt::Key_End:
      c = next_visible_column(column_count() + 1, -1);
      if (ctrl) r = row_count();
      break;
    default:
      return false;
  }
  if (r >= 1 && c >= 1) set_current(r, c, extend);
  return true;
}

bool SimpleGridCtl::edit_key(QKeyEvent* e) {
  if (e->matches(QKeySequence::Copy)) {
    copy_selection();
  } else if (e->matches(QKeySequence::Cut)) {
    cut_selection();
  } else if (e->matches(QKeySequence::Paste)) {
    paste_clipboard();
  } else if (e->matches(QKeySequence::Undo)) {
    undo();
  } else if (e->matches(QKeySequence::Redo)) {
    redo();
  } else if (e->matches(QKeySequence::SelectAll)) {
    select_all();
  } else if ((e->key() == Qt::Key_Delete || e->key() == Qt::Key_Backspace) &&
             !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    clear_selection();
  } else {
    return false;
  }
  return true;
}

bool SimpleGridCtl::editor_key(QKeyEvent* e) {
  const int key = e->key();
  const bool ctrl = (e->modifiers() & Qt::ControlModifier) != 0;
  auto write_and_move = [&]() {
    commit_editor(true);
    QKeyEvent plain(QEvent::KeyPress, key, Qt::NoModifier);
    move_key(&plain);
    return true;
  };
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
      return write_and_move();
    case Qt::Key_Down:
    case Qt::Key_PageDown:
      if (current_row_ >= row_count()) return true;
      return write_and_move();
    case Qt::Key_Left:
      if (editor_->cursorPosition() != 0 || editor_->hasSelectedText() ||
          next_visible_column(current_column_, -1) == 0) {
        return false;
      }
      return write_and_move();
    case Qt::Key_Right:
      if (editor_->cursorPosition() != editor_->text().size() || editor_->hasSelectedText() ||
          next_visible_column(current_column_, +1) == 0) {
        return false;
      }
      return write_and_move();
    default:
      return false;
  }
}

// --- painting ------------------------------------------------------------------------------------

void SimpleGridCtl::paint_table(QPainter& p, QSize size) {
  const bool focused = hasFocus() || editing();
  const QPalette& pal = palette();
  const QPalette::ColorGroup group = focused ? QPalette::Active : QPalette::Inactive;
  const QColor highlight = pal.color(group, QPalette::Highlight);
  p.fillRect(QRect(QPoint(0, 0), size), pal.color(QPalette::Base));
  p.setFont(font());
  const int rh = row_height();
  const int pad = ui_scale(kCellPadding);
  const QColor line = pal.color(QPalette::Mid);
  const CellRange sel = selection();
  const bool block = sel.top != 0 && (sel.top != sel.bottom || sel.first != sel.last);
  const auto cols = visible_columns();
  auto column_selected = [&](int c) {
    const auto it = std::find(cols.begin(), cols.end(), c);
    const int i = static_cast<int>(it - cols.begin());
    return sel.top != 0 && it != cols.end() && i >= sel.first && i <= sel.last;
  };
  auto row_selected = [&](int r) { return sel.top != 0 && r >= sel.top && r <= sel.bottom; };
  QRect block_rect;  // the drawn part of a selected block
  QRect current_rect;
  auto draw_cell = [&](int r, int c, const QRect& rect) {
    const Cell& cl = cell(r, c);
    QColor back = pal.color(QPalette::Base);
    QColor fore = pal.color(QPalette::Text);
    const bool current = r == current_row_ && c == current_column_ && r > 0 && c > 0;
    if (r == 0 || c == 0) {
      back = pal.color(QPalette::Button);
      fore = pal.color(QPalette::ButtonText);
      // The titles of selected rows and columns are tinted, as a ruler of the block.
      if ((r == 0 && c > 0 && column_selected(c)) || (c == 0 && r > 0 && row_selected(r)))
        back = blend(back, highlight, 0.4);
    } else if (cl.read_only) {
      back = pal.color(QPalette::Window);
    }
    if (r > 0 && c > 0) {
      if (current && focused && !block) {
        back = highlight;
        fore = pal.color(QPalette::HighlightedText);
      } else if (current && !block) {
        back = pal.color(QPalette::AlternateBase);
      } else if (!current && block && row_selected(r) && column_selected(c)) {
        back = blend(back, highlight, focused ? 0.38 : 0.22);
        block_rect = block_rect.united(rect);
      } else if (current && block) {
        block_rect = block_rect.united(rect);
      }
      if (current) current_rect = rect;
    }
    p.fillRect(rect, back);
    p.setPen(line);
    p.drawLine(rect.topRight(), rect.bottomRight());
    p.drawLine(rect.bottomLeft(), rect.bottomRight());
    p.setPen(fore);
    const QRect text_rect = rect.adjusted(pad, 0, -pad, 0);
    // Only the first line of a cell and only as much as fits is drawn.
    const QString first_line =
        cl.text.left(std::max(1, text_rect.width() / 2 + 8)).section(u'\n', 0, 0);
    const QString shown = p.fontMetrics().elidedText(first_line, Qt::ElideRight, text_rect.width());
    p.drawText(text_rect,
               Qt::AlignVCenter | ((r == 0 || c == 0) ? Qt::AlignHCenter : Qt::AlignLeft), shown);
  };
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
  // Frames: the block in the highlight colour, the current cell inside it (or an unfocused
  // current cell) with a stronger one, so both read in light and dark palettes.
  p.setBrush(Qt::NoBrush);
  if (block && !block_rect.isEmpty()) {
    p.setPen(QPen(highlight, ui_scale(2)));
    p.drawRect(block_rect.adjusted(0, 0, -1, -1));
  }
  if (!current_rect.isEmpty() && (block || !focused)) {
    p.setPen(QPen(block ? pal.color(QPalette::Text) : line, block ? ui_scale(2) : 1));
    p.drawRect(current_rect.adjusted(1, 1, -2, -2));
  }
}

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
  install_grid_accessibility();
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
  g->set_read_only(row, column, read_only);
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

int grid_select(Wnd grid, int top, int left, int bottom, int right) {
  SimpleGridCtl* g = grid_of(grid);
  auto data_cell = [g](int r, int c) {
    return r >= 1 && r <= g->row_count() && c >= 1 && c <= g->column_count() &&
           !g->column_hidden(c);
  };
  if (g == nullptr || !data_cell(top, left) || !data_cell(bottom, right)) return -1;
  g->select_block(top, left, bottom, right);
  return 0;
}

int grid_selection(Wnd grid, int* top, int* left, int* bottom, int* right) {
  const SimpleGridCtl* g = grid_of(grid);
  if (g == nullptr) return -1;
  const grid_detail::CellRange s = g->selection();
  const auto cols = g->visible_columns();
  const bool any = s.top != 0;
  if (top != nullptr) *top = s.top;
  if (bottom != nullptr) *bottom = s.bottom;
  if (left != nullptr) *left = any ? cols[static_cast<std::size_t>(s.first)] : 0;
  if (right != nullptr) *right = any ? cols[static_cast<std::size_t>(s.last)] : 0;
  return any ? 0 : -1;
}

int grid_selection_text(Wnd grid, std::u16string* out) {
  if (out != nullptr) out->clear();
  const SimpleGridCtl* g = grid_of(grid);
  if (g == nullptr) return -1;
  return copy_out(g->selection_text(), out);
}

int grid_copy(Wnd grid) {
  const SimpleGridCtl* g = grid_of(grid);
  if (g == nullptr) return -1;
  g->copy_selection();
  return 0;
}

int grid_cut(Wnd grid) {
  SimpleGridCtl* g = grid_of(grid);
  if (g == nullptr) return -1;
  g->cut_selection();
  return 0;
}

int grid_paste(Wnd grid) {
  SimpleGridCtl* g = grid_of(grid);
  if (g == nullptr) return -1;
  g->paste_clipboard();
  return 0;
}

int grid_paste_text(Wnd grid, std::u16string_view text) {
  SimpleGridCtl* g = grid_of(grid);
  if (g == nullptr) return -1;
  return static_cast<int>(std::min<long long>(g->paste_text(to_qstring(text)), INT_MAX));
}

int grid_clear_selection(Wnd grid) {
  SimpleGridCtl* g = grid_of(grid);
  if (g == nullptr) return -1;
  g->clear_selection();
  return 0;
}

bool grid_undo(Wnd grid) {
  SimpleGridCtl* g = grid_of(grid);
  return g != nullptr && g->undo();
}

bool grid_redo(Wnd grid) {
  SimpleGridCtl* g = grid_of(grid);
  return g != nullptr && g->redo();
}

int grid_take_left_out(Wnd grid) {
  SimpleGridCtl* g = grid_of(grid);
  return g != nullptr ? g->take_left_out() : -1;
}

int grid_set_accessible_name(Wnd grid, std::u16string_view name) {
  SimpleGridCtl* g = grid_of(grid);
  if (g == nullptr) return -1;
  g->setAccessibleName(to_qstring(name));
  return 0;
}
