// Dialog windows, modal runs, posted messages, timers, menus, DPI and fonts on Qt Widgets.
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDatabase>
#include <QIcon>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <QTranslator>
#include <QUrl>
#include <QVBoxLayout>
#include <atomic>
#include <cmath>
#include <mutex>
#include <unordered_map>

#include "ui/toolkit_internal.h"

using namespace ui_detail;

namespace {

int g_dpi = 96;
QuestionHook g_question_hook = nullptr;
StartProgramHook g_start_hook = nullptr;
OpenUrlHook g_open_hook = nullptr;
FileDialogHook g_file_dialog_hook = nullptr;
QIcon* g_app_icon = nullptr;
int g_quit_code = -1;  // a quit asked for before the loop runs
bool g_in_run_loop = false;
void (*g_session_end_hook)() = nullptr;

constexpr int kMaxThreadWindows = 100;

}  // namespace

// --- the user-interface library ------------------------------------------------------------------

bool ui_display_available() {
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    if (!qEnvironmentVariableIsEmpty(name)) return true;
  }
  return false;
}

void ui_init(int& argc, char** argv) {
  if (QApplication::instance() == nullptr) new QApplication(argc, argv);
}

void ui_shutdown() {
  delete g_app_icon;
  g_app_icon = nullptr;
  delete QApplication::instance();
}

// --- layout units and fonts ----------------------------------------------------------------------

int ui_scale_for(int dpi, int value) {
  const std::int64_t product = std::int64_t{dpi} * value;
  // Symmetric rounding: -48 for negative values, so that -x scales to exactly -(scale of x).
  return static_cast<int>((product + (value < 0 ? -48 : 48)) / 96);
}
int ui_scale(int value) {
  return ui_scale_for(g_dpi, value);
}
int ui_dpi() {
  return g_dpi;
}

void ui_init_dpi_and_font() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int dpi =
      screen != nullptr ? static_cast<int>(std::lround(screen->logicalDotsPerInchY())) : 96;
  ui_set_dpi(dpi);
}

void ui_set_dpi(int dpi) {
  g_dpi = dpi >= 24 && dpi <= 2400 ? dpi : 96;
  QApplication::setFont(make_font(ui_font()));
}

UiFont ui_font() {
  return UiFont{u"Segoe UI", (g_dpi + 3) * 16 / 96, false, UiFontFallback::Interface};
}

QFont ui_detail::make_font(const UiFont& font) {
  const QString family = to_qstring(font.family);
  QFont f;
  if (!family.isEmpty() && QFontDatabase::hasFamily(family)) {
    f = QFont(family);
  } else if (font.fallback == UiFontFallback::Monospace) {
    f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  } else if (font.fallback == UiFontFallback::SansSerif) {
    f = QFont(QStringLiteral("Sans Serif"));
    f.setStyleHint(QFont::SansSerif);
  } else {
    f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  }
  // The given height is the character cell with its internal leading; Qt sizes the em square,
  // which is about three quarters of it for the usual interface fonts.
  f.setPixelSize(std::max(1, (font.height * 3 + 2) / 4));
  f.setBold(font.bold);
  return f;
}

void ui_set_font(Wnd control, const UiFont& font) {
  if (QWidget* w = widget(control)) w->setFont(make_font(font));
}

// --- dialog windows ------------------------------------------------------------------------------

cwl_DialogWindow::cwl_DialogWindow(PageHandler handler_, void* data, unsigned style, unsigned flags,
                                   int client_width, int client_height)
    : QWidget(nullptr, Qt::Window),
      handler(handler_),
      user_data(data),
      style_(style),
      flags_(flags),
      client_width_(client_width),
      client_height_(client_height) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  client_ = new QWidget(this);
  layout->addWidget(client_);
  if (g_app_icon != nullptr) setWindowIcon(*g_app_icon);
  apply_size();
}

cwl_DialogWindow::~cwl_DialogWindow() {
  close_post_box(handle(this));
}

std::intptr_t cwl_DialogWindow::send(UiMsg message, std::intptr_t wparam, std::intptr_t lparam) {
  bool ignored = true;
  return handler != nullptr ? handler(handle(this), message, wparam, lparam, ignored) : 0;
}

std::vector<QWidget*> cwl_DialogWindow::controls() const {
  std::vector<QWidget*> out;
  out.reserve(controls_.size());
  for (const auto& c : controls_) {
    if (c != nullptr) out.push_back(c);
  }
  return out;
}

QMenuBar* cwl_DialogWindow::menu_bar() {
  if (menu_bar_ == nullptr) {
    menu_bar_ = new QMenuBar(this);
    static_cast<QVBoxLayout*>(layout())->setMenuBar(menu_bar_);
  }
  return menu_bar_;
}

void cwl_DialogWindow::apply_size() {
  const int w = ui_scale(client_width_);
  int h = ui_scale(client_height_);
  // Both size flags come out the same here: the platform places the frame outside the given
  // size, so the size is always the client area's (with the menu bar on top of it).
  if (menu_bar_ != nullptr) h += menu_bar_->sizeHint().height();
  if (style_ & kWindowResizable) {
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(w, h);
  } else {
    setFixedSize(w, h);
  }
  layout()->activate();  // the client area takes its size now, not only when shown
  if (flags_ & kWindowCentre) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      const QRect area = screen->availableGeometry();
      move(area.center() - QPoint(w / 2, h / 2));
    }
  }
}

void cwl_DialogWindow::end_modal_loops() {
  for (QEventLoop* loop : modal_loops) loop->quit();
}

bool cwl_DialogWindow::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) {
    // The focus goes back to the control that had it last, or else to the first tab stop.
    QWidget* target = last_focus;
    if (target == nullptr || !target->isVisibleTo(this) || !target->isEnabled()) {
      const auto stops = tab_stops(this);
      target = stops.empty() ? nullptr : stops.front();
    }
    if (target != nullptr) target->setFocus(Qt::ActiveWindowFocusReason);
  }
  return QWidget::event(e);
}

void cwl_DialogWindow::closeEvent(QCloseEvent* e) {
  bool do_default = true;
  if (handler != nullptr) handler(handle(this), UiMsg::Close, 0, 0, do_default);
  e->ignore();  // windows are hidden, never destroyed by closing
  if (do_default) hide();
}

void cwl_DialogWindow::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (!e->spontaneous()) send(UiMsg::Show, 1, 0);
}

void cwl_DialogWindow::hideEvent(QHideEvent* e) {
  QWidget::hideEvent(e);
  if (e->spontaneous()) return;  // minimised: the window still exists for the user
  end_modal_loops();
  send(UiMsg::Show, 0, 0);
}

cwl_DialogWindow* ui_detail::dialog_of(QWidget* w) {
  return w != nullptr ? dynamic_cast<cwl_DialogWindow*>(w->window()) : nullptr;
}

namespace {

class ClientWatcher : public QObject {
 public:
  explicit ClientWatcher(cwl_DialogWindow* window) : QObject(window), window_(window) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() == QEvent::Resize && watched == window_->client()) {
      const QSize s = window_->client()->size();
      window_->send(UiMsg::Size, s.width(), s.height());
    }
    return false;
  }

 private:
  cwl_DialogWindow* window_;
};

}  // namespace

Wnd ui_create_dialog_window(std::u16string_view title, int width, int height, PageHandler handler,
                            void* user_data, unsigned style, unsigned flags) {
  auto* window = new cwl_DialogWindow(handler, user_data, style, flags, width, height);
  window->setWindowTitle(display_text(title));
  window->client()->installEventFilter(new ClientWatcher(window));
  open_post_box(window);
  window->send(UiMsg::Create, 0, 0);
  return handle(window);
}

void* ui_window_data(Wnd window) {
  auto* w = dialog_of(widget(window));
  return w != nullptr ? w->user_data : nullptr;
}

PageHandler ui_window_handler(Wnd window) {
  auto* w = dialog_of(widget(window));
  return w != nullptr ? w->handler : nullptr;
}

void ui_set_window_data(Wnd window, void* data) {
  if (auto* w = dialog_of(widget(window))) w->user_data = data;
}

void ui_destroy_window(Wnd window) {
  auto* w = dialog_of(widget(window));
  if (w == nullptr) return;
  // A worker of the window ends first: its completion is then dropped with the window.
  stop_workers(window);
  w->send(UiMsg::Destroy, 0, 0);
  // The owner has gone with Destroy: neither messages nor focus-out actions may reach it while
  // the widgets are deleted (deleting the focused control moves the focus).
  w->handler = nullptr;
  drop_focus_actions(w);
  w->end_modal_loops();
  delete w;
}

void ui_show_window(Wnd window) {
  QWidget* w = widget(window);
  if (w == nullptr) return;
  w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
  w->show();
  w->raise();
  w->activateWindow();
}

void ui_hide_window(Wnd window) {
  if (QWidget* w = widget(window)) w->hide();
}

bool ui_is_visible(Wnd window) {
  const QWidget* w = widget(window);
  return w != nullptr && w->isVisible();
}

void ui_close_window(Wnd window) {
  if (QWidget* w = widget(window)) w->close();
}

bool ui_run_modal(Wnd window) {
  auto* dialog = dialog_of(widget(window));
  if (dialog == nullptr) return false;
  const QPointer<QWidget> focus = QApplication::focusWidget();
  std::vector<QPointer<QWidget>> disabled;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top != dialog && dynamic_cast<cwl_DialogWindow*>(top) != nullptr && top->isEnabled()) {
      top->setEnabled(false);
      disabled.emplace_back(top);
    }
  }
  ui_show_window(window);
  const bool shown = dialog->isVisible();
  if (shown) {
    QEventLoop loop;
    const QPointer<cwl_DialogWindow> guard = dialog;
    dialog->modal_loops.push_back(&loop);
    QObject::connect(dialog, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
    if (guard != nullptr) std::erase(guard->modal_loops, &loop);
  }
  for (const auto& top : disabled) {
    if (top != nullptr) top->setEnabled(true);
  }
  if (focus != nullptr) {
    focus->activateWindow();
    focus->setFocus(Qt::OtherFocusReason);
  }
  return shown;
}

void ui_enable_thread_windows(Wnd except, bool enable) {
  int count = 0;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (count == kMaxThreadWindows) break;
    if (top == widget(except) || dynamic_cast<cwl_DialogWindow*>(top) == nullptr) continue;
    top->setEnabled(enable);
    ++count;
  }
}

int ui_run_loop() {
  QApplication::setQuitOnLastWindowClosed(false);
  if (g_quit_code >= 0) return std::exchange(g_quit_code, -1);
  g_in_run_loop = true;
  const int code = QApplication::exec();
  g_in_run_loop = false;
  return code;
}

void ui_quit(int code) {
  // Qt remembers an exit asked for outside a loop and ends every later loop at once, modal
  // runs included. A quit before the program's loop runs (outside any loop, or from a modal
  // run such as the welcome hint) also waits for ui_run_loop, which then returns at once.
  if (QThread::currentThread()->loopLevel() > 0) QApplication::exit(code);
  if (!g_in_run_loop) g_quit_code = std::max(0, code);
}

void ui_quit_when_readable(int fd, int (*take)(int fd)) {
  if (fd < 0 || take == nullptr) return;
  auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, QApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [fd, take] {
    const int code = take(fd);
    if (code >= 0) ui_quit(code);
  });
}

void ui_set_session_end_hook(void (*hook)()) {
  g_session_end_hook = hook;
#if QT_CONFIG(sessionmanager)
  // Connected once per application object.
  constexpr const char* kConnected = "numerion_session_end";
  QCoreApplication* app = QApplication::instance();
  if (app == nullptr || app->property(kConnected).toBool()) return;
  app->setProperty(kConnected, true);
  QObject::connect(qApp, &QGuiApplication::commitDataRequest, app, [](QSessionManager&) {
    if (g_session_end_hook != nullptr) g_session_end_hook();
  });
#endif
}

// --- posting from other threads ----------------------------------------------------------------

// The receiver of a window's posts lives on the user-interface thread as a child of the window,
// so it goes with it, and Qt then deletes the calls still queued for it without running them.
// The box is closed under its lock before that, so no thread queues a call for a receiver that
// is being deleted.
class UiPostBox {
 public:
  std::mutex mutex;
  QObject* receiver = nullptr;  // guarded by `mutex`; nullptr once the window is gone
};

namespace {

const QEvent::Type kCallEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class CallEvent : public QEvent {
 public:
  explicit CallEvent(std::function<void()> f) : QEvent(kCallEvent), fn(std::move(f)) {}
  std::function<void()> fn;
};

// The event queue orders a post before its call, but inside Qt's own code, which the race
// checker does not see; every post releases this counter and every receipt acquires it, which
// states the same order where the checker sees it (before the event is even looked at).
std::atomic<std::uint64_t> g_posts{0};

class PostReceiver : public QObject {
 public:
  explicit PostReceiver(QObject* window) : QObject(window) {}

 protected:
  bool event(QEvent* e) override {
    (void)g_posts.load(std::memory_order_acquire);
    if (e->type() != kCallEvent) return QObject::event(e);
    // The call may destroy the window and this receiver with it: nothing of `this` after it.
    const std::function<void()> fn = std::move(static_cast<CallEvent*>(e)->fn);
    if (fn) fn();
    return true;
  }
};

std::mutex g_boxes_mutex;
std::unordered_map<Wnd, UiPostTarget> g_boxes;  // guarded by g_boxes_mutex

}  // namespace

void ui_detail::open_post_box(cwl_DialogWindow* window) {
  auto box = std::make_shared<UiPostBox>();
  box->receiver = new PostReceiver(window);
  const std::lock_guard lock(g_boxes_mutex);
  g_boxes[handle(window)] = std::move(box);
}

void ui_detail::close_post_box(Wnd window) {
  UiPostTarget box;
  {
    const std::lock_guard lock(g_boxes_mutex);
    const auto it = g_boxes.find(window);
    if (it == g_boxes.end()) return;
    box = std::move(it->second);
    g_boxes.erase(it);
  }
  const std::lock_guard lock(box->mutex);
  box->receiver = nullptr;
}

UiPostTarget ui_post_target(Wnd window) {
  const std::lock_guard lock(g_boxes_mutex);
  const auto it = g_boxes.find(window);
  return it != g_boxes.end() ? it->second : nullptr;
}

void ui_post(const UiPostTarget& target, std::function<void()> fn) {
  if (target == nullptr) return;
  auto* event = new CallEvent(std::move(fn));
  {
    const std::lock_guard lock(target->mutex);
    if (target->receiver != nullptr) {
      g_posts.fetch_add(1, std::memory_order_release);
      QCoreApplication::postEvent(target->receiver, event);
      return;
    }
  }
  delete event;  // the window is gone: the call is dropped unrun, outside the lock
}

void ui_post(Wnd window, std::function<void()> fn) {
  ui_post(ui_post_target(window), std::move(fn));
}

void ui_post_message(Wnd window, int code, std::u16string text) {
  // The receiver is a child of the window: while the call runs, the window exists.
  ui_post(window, [window, code, text = std::move(text)]() {
    if (auto* dialog = dialog_of(widget(window))) {
      dialog->send(UiMsg::Worker, code, reinterpret_cast<std::intptr_t>(text.c_str()));
    }
  });
}

void ui_set_timer(Wnd window, int id, int milliseconds) {
  auto* dialog = dialog_of(widget(window));
  if (dialog == nullptr) return;
  QTimer*& timer = dialog->timers[id];
  if (timer == nullptr) {
    timer = new QTimer(dialog);
    QObject::connect(timer, &QTimer::timeout, dialog,
                     [dialog, id]() { dialog->send(UiMsg::Timer, id, 0); });
  }
  timer->start(std::max(0, milliseconds));
}

void ui_kill_timer(Wnd window, int id) {
  auto* dialog = dialog_of(widget(window));
  if (dialog == nullptr) return;
  const auto it = dialog->timers.find(id);
  if (it == dialog->timers.end()) return;
  it->second->stop();
  it->second->deleteLater();
  dialog->timers.erase(it);
}

Wnd ui_parent_window(Wnd control) {
  return handle(dialog_of(widget(control)));
}

void ui_set_default_button(Wnd window, Wnd button) {
  auto* dialog = dialog_of(widget(window));
  if (dialog == nullptr) return;
  dialog->default_button = qobject_cast<QPushButton*>(widget(button));
  update_default_frame(dialog, QApplication::focusWidget());
}

Wnd ui_default_button(Wnd window) {
  auto* dialog = dialog_of(widget(window));
  return dialog != nullptr ? handle(dialog->default_button.data()) : nullptr;
}

Wnd ui_focus() {
  ControlData* data = owning_control(QApplication::focusWidget());
  if (data == nullptr) return nullptr;
  // The list inside a composite control stands for the composite.
  if (ControlData* outer = control_data(data->control->parentWidget());
      outer != nullptr && outer->kind == Kind::Composite) {
    return handle(outer->control);
  }
  return handle(data->control);
}

void ui_set_focus(Wnd control) {
  QWidget* w = widget(control);
  if (w == nullptr) return;
  if (auto* dialog = dialog_of(w)) dialog->last_focus = w;  // also for a window not shown yet
  w->setFocus(Qt::OtherFocusReason);
}

// --- menus ---------------------------------------------------------------------------------------

void ui_add_menu(Wnd window, int menu_id, std::u16string_view title) {
  auto* dialog = dialog_of(widget(window));
  if (dialog == nullptr) return;
  QMenu* menu = dialog->menu_bar()->addMenu(display_text(title));
  dialog->menus[menu_id] = menu;
  dialog->apply_size();
}

void ui_add_menu_item(Wnd window, int menu_id, int item_id, std::u16string_view text) {
  auto* dialog = dialog_of(widget(window));
  if (dialog == nullptr) return;
  const auto it = dialog->menus.find(menu_id);
  if (it == dialog->menus.end()) return;
  QAction* action = it->second->addAction(display_text(text));
  QObject::connect(action, &QAction::triggered, dialog,
                   [dialog, item_id]() { dialog->send(UiMsg::Command, item_id, kNotifyMenu); });
  dialog->menu_items[item_id] = action;
}

namespace {
QAction* menu_item(Wnd window, int item_id) {
  auto* dialog = dialog_of(widget(window));
  if (dialog == nullptr) return nullptr;
  const auto it = dialog->menu_items.find(item_id);
  return it != dialog->menu_items.end() ? it->second : nullptr;
}
}  // namespace

void ui_enable_menu_item(Wnd window, int item_id, bool enable) {
  if (QAction* a = menu_item(window, item_id)) a->setEnabled(enable);
}

bool ui_menu_item_enabled(Wnd window, int item_id) {
  const QAction* a = menu_item(window, item_id);
  return a != nullptr && a->isEnabled();
}

std::u16string ui_menu_text(Wnd window, int id) {
  if (const QAction* a = menu_item(window, id)) return to_u16(a->text());
  auto* dialog = dialog_of(widget(window));
  if (dialog == nullptr) return {};
  const auto it = dialog->menus.find(id);
  return it != dialog->menus.end() ? to_u16(it->second->title()) : std::u16string();
}

bool ui_choose_menu_item(Wnd window, int item_id) {
  QAction* a = menu_item(window, item_id);
  if (a == nullptr || !a->isEnabled()) return false;
  a->trigger();
  return true;
}

// --- system services -----------------------------------------------------------------------------

void ui_message_box(std::u16string_view caption, std::u16string_view text, int icon,
                    std::u16string_view ok_text) {
  QMessageBox::Icon qicon = QMessageBox::NoIcon;
  if (icon == kUiIconInformation) qicon = QMessageBox::Information;
  if (icon == kUiIconWarning) qicon = QMessageBox::Warning;
  if (icon == kUiIconError) qicon = QMessageBox::Critical;
  QMessageBox box(qicon, display_text(caption), display_text(text), QMessageBox::NoButton,
                  QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  box.addButton(display_text(ok_text), QMessageBox::AcceptRole);
  box.exec();
}

bool ui_ask_ok_cancel(std::u16string_view caption, std::u16string_view text,
                      std::u16string_view ok_text, std::u16string_view cancel_text) {
  if (g_question_hook != nullptr) return g_question_hook(caption, text);
  QMessageBox box(QMessageBox::Question, display_text(caption), display_text(text),
                  QMessageBox::NoButton, QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  QPushButton* ok = box.addButton(display_text(ok_text), QMessageBox::AcceptRole);
  QPushButton* cancel = box.addButton(display_text(cancel_text), QMessageBox::RejectRole);
  box.setDefaultButton(ok);
  box.setEscapeButton(cancel);
  box.exec();
  return box.clickedButton() == ok;
}

QuestionHook ui_set_question_hook(QuestionHook hook) {
  return std::exchange(g_question_hook, hook);
}

namespace {
bool open_url(const QUrl& url) {
  if (g_open_hook != nullptr) return g_open_hook(to_u16(url.toString(QUrl::FullyEncoded)));
  return QDesktopServices::openUrl(url);
}
}  // namespace

bool ui_open_url(std::u16string_view url) {
  return open_url(QUrl(to_qstring(url)));
}

bool ui_open_file(const std::string& path, std::u16string_view fragment) {
  QUrl url = QUrl::fromLocalFile(QString::fromStdString(path));
  if (!fragment.empty()) url.setFragment(to_qstring(fragment));
  return open_url(url);
}

OpenUrlHook ui_set_open_url_hook(OpenUrlHook hook) {
  return std::exchange(g_open_hook, hook);
}

bool ui_start_program(const std::string& path) {
  if (g_start_hook != nullptr) return g_start_hook(path);
  return QProcess::startDetached(QString::fromStdString(path), {});
}

StartProgramHook ui_set_start_program_hook(StartProgramHook hook) {
  return std::exchange(g_start_hook, hook);
}

void ui_set_title(Wnd window, std::u16string_view title) {
  if (QWidget* w = widget(window)) w->setWindowTitle(display_text(title));
}

std::u16string ui_title(Wnd window) {
  const QWidget* w = widget(window);
  return w != nullptr ? to_u16(w->windowTitle()) : std::u16string();
}

bool ui_set_app_icon(const char* const* xpm) {
  const QPixmap pixmap(xpm);
  if (pixmap.isNull()) return false;
  delete g_app_icon;
  g_app_icon = new QIcon(pixmap);
  QApplication::setWindowIcon(*g_app_icon);
  return true;
}

void ui_show_app_icon(Wnd label, int size) {
  auto* w = dynamic_cast<QLabel*>(widget(label));
  if (w == nullptr || g_app_icon == nullptr) return;
  w->setPixmap(g_app_icon->pixmap(size, size));
}

// --- file dialogs and the wait cursor ------------------------------------------------------------

namespace {

std::u16string run_file_dialog(Wnd owner, UiFileDialog& d, bool save) {
  if (g_file_dialog_hook != nullptr) return g_file_dialog_hook(save, d);
  QWidget* parent = owner != nullptr ? widget(owner) : QApplication::activeWindow();
  QFileDialog dialog(parent, display_text(d.title));
  QStringList filters;
  for (const std::u16string& f : d.filters) filters << to_qstring(f);
  dialog.setNameFilters(filters);
  if (d.filter_index >= 1 && d.filter_index <= filters.size()) {
    dialog.selectNameFilter(filters[d.filter_index - 1]);
  }
  if (save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The suffix goes on before the dialog checks for an existing file, so that the question
    // about replacing it concerns the file really written.
    if (!d.default_suffix.empty()) dialog.setDefaultSuffix(to_qstring(d.default_suffix));
    if (!d.name.empty()) dialog.selectFile(to_qstring(d.name));
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const qsizetype chosen = filters.indexOf(dialog.selectedNameFilter());
  if (chosen >= 0) d.filter_index = static_cast<int>(chosen) + 1;
  return to_u16(dialog.selectedFiles().front());
}

}  // namespace

std::u16string ui_open_file_dialog(Wnd owner, UiFileDialog& dialog) {
  return run_file_dialog(owner, dialog, false);
}

std::u16string ui_save_file_dialog(Wnd owner, UiFileDialog& dialog) {
  return run_file_dialog(owner, dialog, true);
}

void ui_set_dialog_language(bool german) {
  static QTranslator* translator = nullptr;
  if (translator != nullptr) {
    QApplication::removeTranslator(translator);
    delete translator;
    translator = nullptr;
  }
  if (!german) return;
  auto* t = new QTranslator;
  if (t->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(t);
    translator = t;
  } else {
    delete t;  // without the system's translations the dialogs stay English
  }
}

FileDialogHook ui_set_file_dialog_hook(FileDialogHook hook) {
  return std::exchange(g_file_dialog_hook, hook);
}

UiWaitCursor::UiWaitCursor() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

UiWaitCursor::~UiWaitCursor() {
  QApplication::restoreOverrideCursor();
}
