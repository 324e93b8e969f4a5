// The window toolkit: top-level windows that behave like dialog boxes (Tab order, default
// button, radio groups), modal runs, messages posted from worker threads, timers, menus, DPI
// scaling and the few system services the windows need (message boxes, the browser, starting a
// program). Pages are written against these functions only; the user interface library behind
// them stays in ui/.
//
// Every window and control is a Wnd handle. Positions and sizes are in layout units of 1/96 inch
// and scaled by the screen's DPI. Everything here runs on the user-interface thread, except
// ui_post and ui_post_message, which any thread may call.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct UiWindowTag;
using Wnd = UiWindowTag*;

// --- messages of a dialog window's handler ------------------------------------------------------
enum class UiMsg : int {
  Create = 1,   // the window exists; the page creates its controls here
  Command = 2,  // wparam: control or menu item id, lparam: notification (below)
  Close = 3,    // the user closes the window; the default handling hides it
  Show = 4,     // wparam: 1 shown, 0 hidden
  Timer = 5,    // wparam: timer id
  Size = 6,     // the client area got a new size; wparam: width, lparam: height in pixels
  Destroy = 7,  // the window is about to be destroyed
  // ui_post_message: wparam is the code (below), lparam points at the message's text
  // (const char16_t*, NUL-terminated, valid during the call; empty for kWorkerFinished).
  Worker = 0x8000 + 100,
};
// The codes a worker sends with ui_post_message.
inline constexpr int kWorkerFinished = 100;
inline constexpr int kWorkerOutput = 101;

// Notifications of UiMsg::Command.
enum : int {
  kNotifyClicked = 0,      // push button, check box, radio button
  kNotifySelChange = 1,    // drop-down list, by the user
  kNotifyEditChange = 2,   // edit field or numeric up-down text changed
  kNotifyMenu = 3,         // menu item chosen
  kNotifyValueChange = 4,  // track bar moved by the user
  kNotifyTabChange = 5,    // tab control shows another page
};

// The page's handler sees every message first; clearing `default_handling` suppresses the
// toolkit's own handling (for UiMsg::Close: hiding the window).
using PageHandler = std::intptr_t (*)(Wnd window, UiMsg message, std::intptr_t wparam,
                                      std::intptr_t lparam, bool& default_handling);

// --- the user-interface library ----------------------------------------------------------------
// False when there is no screen to show windows on (no display server and no other platform
// chosen); the program then says so instead of starting.
bool ui_display_available();
// Sets up the library once per process, with the program's arguments (which it may consume).
void ui_init(int& argc, char** argv);
void ui_shutdown();

// --- layout units and fonts ----------------------------------------------------------------------
// (dpi * value + 48) / 96, with -48 for negative values.
int ui_scale_for(int dpi, int value);
int ui_scale(int value);  // with the DPI read at start-up
int ui_dpi();
// Reads the screen's vertical logical DPI and makes the UI font; called once at start-up.
void ui_init_dpi_and_font();
// For tests: another DPI (the UI font follows).
void ui_set_dpi(int dpi);

// A font by family and height in pixels (the height of the character cell, as given for the UI
// font). When the family is not installed the fallback kind is used.
enum class UiFontFallback : std::uint8_t { Interface, SansSerif, Monospace };
struct UiFont {
  std::u16string family;
  int height = 16;
  bool bold = false;
  UiFontFallback fallback = UiFontFallback::Interface;
};
// "Segoe UI", (dpi + 3) * 16 / 96 pixels.
UiFont ui_font();
void ui_set_font(Wnd control, const UiFont& font);

// --- dialog windows ------------------------------------------------------------------------------
inline constexpr unsigned kWindowClientSize = 1;  // width and height are the client area's
inline constexpr unsigned kWindowCentre = 2;      // centre on the screen
inline constexpr unsigned kWindowResizable = 1;   // style: the user may resize the window

// Creates a hidden top-level window and sends UiMsg::Create to `handler` (when not null).
Wnd ui_create_dialog_window(std::u16string_view title, int width, int height, PageHandler handler,
                            void* user_data, unsigned style, unsigned flags);
void* ui_window_data(Wnd window);
PageHandler ui_window_handler(Wnd window);  // nullptr for no window
void ui_set_window_data(Wnd window, void* data);
void ui_destroy_window(Wnd window);

void ui_show_window(Wnd window);  // shows, raises and activates
void ui_hide_window(Wnd window);
bool ui_is_visible(Wnd window);
// Sends UiMsg::Close, as the window's close button does.
void ui_close_window(Wnd window);

// Shows `window`, disables every other enabled top-level window, runs until `window` is hidden
// or destroyed, re-enables them and gives the focus back. False when it could not be shown.
bool ui_run_modal(Wnd window);
// Enables or disables every top-level window except `except` (at most 100).
void ui_enable_thread_windows(Wnd except, bool enable);

// Runs the program's message loop until ui_quit; returns the code given to ui_quit.
int ui_run_loop();
void ui_quit(int code);
// Ends the loops as ui_quit(code) does when `fd` becomes readable; `take` reads what waits there
// and returns the code, or a negative number for no quit.
void ui_quit_when_readable(int fd, int (*take)(int fd));
// Calls `hook` when the desktop session is about to end and asks the program to keep its data.
void ui_set_session_end_hook(void (*hook)());

// --- posting from other threads ----------------------------------------------------------------
// A window's post box: taken on the user-interface thread while the window exists, kept by a
// worker and used from any thread. It outlives its window; posts through it after the window is
// destroyed are dropped. Holding one never keeps the window alive.
class UiPostBox;
using UiPostTarget = std::shared_ptr<UiPostBox>;
UiPostTarget ui_post_target(Wnd window);  // user-interface thread; nullptr for no window

// Any thread: runs `fn` later on the user-interface thread, after everything posted to the same
// window before it, if the window still exists then. A post for a window that is gone (or goes
// before the call runs) is dropped: `fn` is destroyed without running, on whichever thread drops
// it. The Wnd form looks the window up under a lock and is safe with a handle of a destroyed
// window; a thread that keeps posting to one window should keep its UiPostTarget instead, since
// a handle of a destroyed window may later name a new window at the same address.
void ui_post(Wnd window, std::function<void()> fn);
void ui_post(const UiPostTarget& target, std::function<void()> fn);

// Any thread: delivers UiMsg::Worker with `code` and an owned copy of `text` to the window's
// handler on the user-interface thread, through ui_post.
void ui_post_message(Wnd window, int code, std::u16string text = {});

// Timers deliver UiMsg::Timer with their id until killed; setting an id again restarts it.
void ui_set_timer(Wnd window, int id, int milliseconds);
void ui_kill_timer(Wnd window, int id);

// The dialog window a control belongs to (the window itself for a window).
Wnd ui_parent_window(Wnd control);
// The window's default push button; the frame follows the focused push button.
void ui_set_default_button(Wnd window, Wnd button);
Wnd ui_default_button(Wnd window);
// The control that has the keyboard focus, or nullptr.
Wnd ui_focus();
void ui_set_focus(Wnd control);

// --- menus ---------------------------------------------------------------------------------------
// A menu bar entry and its items; "&&" in a text shows one ampersand. Items report UiMsg::Command
// with their id and kNotifyMenu.
void ui_add_menu(Wnd window, int menu_id, std::u16string_view title);
void ui_add_menu_item(Wnd window, int menu_id, int item_id, std::u16string_view text);
void ui_enable_menu_item(Wnd window, int item_id, bool enable);
bool ui_menu_item_enabled(Wnd window, int item_id);
std::u16string ui_menu_text(Wnd window, int id);  // a menu's title or an item's text
// Chooses the item as the user would (only when it is enabled); false otherwise.
bool ui_choose_menu_item(Wnd window, int item_id);

// --- system services -----------------------------------------------------------------------------
inline constexpr int kUiIconNone = 0;
inline constexpr int kUiIconInformation = 1;
inline constexpr int kUiIconWarning = 2;
inline constexpr int kUiIconError = 3;
// A modal box over the active window with one button.
void ui_message_box(std::u16string_view caption, std::u16string_view text, int icon,
                    std::u16string_view ok_text);
// A modal question with two buttons; true for OK. Tests replace the box by a hook.
bool ui_ask_ok_cancel(std::u16string_view caption, std::u16string_view text,
                      std::u16string_view ok_text, std::u16string_view cancel_text);
using QuestionHook = bool (*)(std::u16string_view caption, std::u16string_view text);
QuestionHook ui_set_question_hook(QuestionHook hook);  // nullptr: the real box

// Opens a web address in the user's browser; false when nothing opened it.
bool ui_open_url(std::u16string_view url);
// Opens a local file (an HTML page, at `fragment` when not empty) in the user's browser. The
// path may hold any character, spaces included.
bool ui_open_file(const std::string& path, std::u16string_view fragment = {});
// Tests see the address instead of a browser opening.
using OpenUrlHook = bool (*)(const std::u16string& url);
OpenUrlHook ui_set_open_url_hook(OpenUrlHook hook);  // nullptr: the real browser
// Starts a program with no arguments, not waiting for it; false when it could not start.
bool ui_start_program(const std::string& path);
using StartProgramHook = bool (*)(const std::string& path);
StartProgramHook ui_set_start_program_hook(StartProgramHook hook);  // nullptr: the real start

// The window's title text.
void ui_set_title(Wnd window, std::u16string_view title);
std::u16string ui_title(Wnd window);
// Sets the icon of every window of the program from an image in XPM form; false when unreadable.
bool ui_set_app_icon(const char* const* xpm);
// Draws the program's icon at `size` pixels into a label created with ui_create_label.
void ui_show_app_icon(Wnd label, int size);

// --- file dialogs and the wait cursor ------------------------------------------------------------
// What the open and save dialogs show. `filters` are entries such as "CSV files (*.csv)";
// `filter_index` (from 1) is the entry shown first and receives the user's choice.
struct UiFileDialog {
  std::u16string title;
  std::vector<std::u16string> filters;
  int filter_index = 1;
  std::u16string name;            // the file name offered by the save dialog
  std::u16string default_suffix;  // save: given to a name without one before the overwrite question
};
// The chosen path, empty when the user cancels. The open dialog takes existing files only; the
// save dialog asks before it lets the user choose an existing file.
std::u16string ui_open_file_dialog(Wnd owner, UiFileDialog& dialog);
std::u16string ui_save_file_dialog(Wnd owner, UiFileDialog& dialog);
// The system dialogs' own texts (buttons, "File name") in German when `german`, else English.
void ui_set_dialog_language(bool german);
// Tests answer in place of the dialogs, seeing what they would show.
using FileDialogHook = std::u16string (*)(bool save, UiFileDialog& dialog);
FileDialogHook ui_set_file_dialog_hook(FileDialogHook hook);  // nullptr: the real dialogs

// The wait cursor over every window of the program while the object lives.
class UiWaitCursor {
 public:
  UiWaitCursor();
  ~UiWaitCursor();
  UiWaitCursor(const UiWaitCursor&) = delete;
  UiWaitCursor& operator=(const UiWaitCursor&) = delete;
};
