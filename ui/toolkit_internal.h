// The Qt side of the toolkit: the dialog window class, the data record of every control (which
// also carries the shared keyboard handling) and the conversions between handles and widgets.
// Only ui/ and its tests include this header.
#pragma once

#include <QEventLoop>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ui/toolkit.h"

class QAbstractButton;
class QAction;
class QButtonGroup;
class QKeyEvent;
class QMenu;
class QMenuBar;
class QPushButton;
class QTimer;

namespace ui_detail {

inline QWidget* widget(Wnd h) {
  return reinterpret_cast<QWidget*>(h);
}
inline Wnd handle(QWidget* w) {
  return reinterpret_cast<Wnd>(w);
}

inline QString to_qstring(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::u16string to_u16(const QString& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                        static_cast<std::size_t>(text.size()));
}
// "\r\n" becomes "\n"; a label's mnemonic marks go: "&&" shows "&", a single "&" disappears.
QString display_text(std::u16string_view text);
QString label_text(std::u16string_view text);

enum class Kind : std::uint8_t {
  Button,
  CheckBox,
  Radio,
  Combo,
  Label,
  Edit,
  GroupBox,
  TrackBar,
  UpDown,
  TabControl,
  TabPage,
  Grid,
  Composite,
};

// "cwl_ControlData": attached to every control (as its child, so it goes with the control). As
// the event filter of the control and of its focusable inner widgets it is the shared control
// procedure: it takes the dialog keys and forwards everything else unchanged.
class ControlData : public QObject {
  Q_OBJECT
 public:
  ControlData(QWidget* control, int id, Kind kind);

  QWidget* control;
  int id;
  Kind kind;
  bool tab_stop = false;
  bool want_return = false;
  QButtonGroup* radio_group = nullptr;  // radio buttons: the group they are entered as one stop
  QWidget* list_view = nullptr;         // drop-down lists: the list of the open box
  bool list_took_enter = false;
  std::intptr_t words[2] = {0, 0};

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

ControlData* control_data(const QWidget* w);
// The toolkit control that `w` is or lies inside; nullptr when none.
ControlData* owning_control(QWidget* w);

}  // namespace ui_detail

// "cwl_DialogWindow": a top-level window with a page handler and the keyboard behaviour of a
// dialog box. Controls are children of its client area, below the optional menu bar.
class cwl_DialogWindow : public QWidget {
  Q_OBJECT
 public:
  cwl_DialogWindow(PageHandler handler, void* user_data, unsigned style, unsigned flags,
                   int client_width, int client_height);
  ~cwl_DialogWindow() override;

  std::intptr_t send(UiMsg message, std::intptr_t wparam, std::intptr_t lparam);
  QWidget* client() const { return client_; }
  void add_control(ui_detail::ControlData* data) { controls_.push_back(data->control); }
  std::vector<QWidget*> controls() const;
  QMenuBar* menu_bar();
  void apply_size();
  void end_modal_loops();

  PageHandler handler = nullptr;
  void* user_data = nullptr;
  QPointer<QWidget> last_focus;
  QPointer<QPushButton> default_button;  // the window's own default button
  QPointer<QPushButton> framed_button;   // the button that shows the default frame now
  std::map<int, QTimer*> timers;
  std::map<int, QMenu*> menus;
  std::map<int, QAction*> menu_items;
  std::vector<QEventLoop*> modal_loops;

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  unsigned style_;
  unsigned flags_;
  int client_width_;
  int client_height_;
  QWidget* client_ = nullptr;
  QMenuBar* menu_bar_ = nullptr;
  std::vector<QPointer<QWidget>> controls_;
  bool size_applied_ = false;
};

namespace ui_detail {

cwl_DialogWindow* dialog_of(QWidget* w);

// Registers a new control: data record, font, geometry, style bits and its place in the window.
ControlData* register_control(Wnd parent, QWidget* w, int id, Kind kind, int x, int y, int width,
                              int height, unsigned style);
// The widget a control of `parent` is created in.
QWidget* container_of(Wnd parent);
void dispatch_command(QWidget* control, int id, int notification);

// Keyboard rules, also used by the grid for keys its editor passes on.
void move_tab_focus(QWidget* from, bool forward);
// Enter on `control` (not a push button): clicks the window's default button.
bool press_default_button(QWidget* control);
// The focused push button shows the default frame; otherwise the window's default button does.
void update_default_frame(cwl_DialogWindow* window, QWidget* focused);
// The tab stops of a window in order; a radio group counts once (its checked or first button).
std::vector<QWidget*> tab_stops(cwl_DialogWindow* window);

QFont make_font(const UiFont& font);

// Disarms the focus-out actions of a window's controls: once the window's owner is gone, the
// focus moves that destroying the widgets causes must not call into it.
void drop_focus_actions(QWidget* window);

// The post box of a window: opened at creation, closed when the window object goes (after
// which posts to it are dropped).
void open_post_box(cwl_DialogWindow* window);
void close_post_box(Wnd window);
// Requests the stop of the workers started for `window` (every worker for nullptr) and joins
// them (ui/worker.cpp).
void stop_workers(Wnd window);

}  // namespace ui_detail
