// The calculator's own controls: a formula input field that hands Enter, Escape, Up/Down at its
// first/last line and Tab to its window, and a read-only result field with a "Copy result"
// context menu. Also colours, accessible names, screen reader notices, the clipboard and
// window shortcuts, which the calculator needs beyond the plain dialog controls.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/toolkit.h"

struct FormulaEditHooks {
  std::function<void()> enter;   // Enter without Shift
  std::function<void()> escape;  // Escape while no completion list is open
  // Up on the first line (`older` true) or Down on the last line; true when the key was used.
  std::function<bool(bool older)> history;
  // The names that complete the word before `caret`; `start` is where that word begins.
  std::function<std::vector<std::u16string>(std::u16string_view text, std::size_t caret,
                                            std::size_t& start)>
      complete;
  std::function<void()> edited;  // the user changed the text (not set_text)
};

// The most characters a paste leaves in the formula field.
inline constexpr int kFormulaEditLimit = 100000;

// A multi-line field, font `font`, with a vertical scroll bar. The completion list opens below
// `popup_anchor` (when given) so that it never covers the control between them.
Wnd ui_create_formula_edit(Wnd parent, int id, int x, int y, int w, int h, FormulaEditHooks hooks);
void ui_formula_edit_set_popup_anchor(Wnd edit, Wnd anchor);
// True while the completion list is open.
bool ui_formula_edit_popup_open(Wnd edit);
std::vector<std::u16string> ui_formula_edit_popup_items(Wnd edit);

// Edit operations that keep the field's undo history (Ctrl+Z brings back what was there).
void ui_edit_replace_selection(Wnd edit, std::u16string_view text);
void ui_edit_replace_all(Wnd edit, std::u16string_view text);
// Selects `length` characters from `start` (0-based, UTF-16 units) and shows them.
void ui_edit_select(Wnd edit, std::size_t start, std::size_t length);
std::size_t ui_edit_caret(Wnd edit);
void ui_edit_set_caret(Wnd edit, std::size_t position);
// Selection start and length.
void ui_edit_selection(Wnd edit, std::size_t& start, std::size_t& length);

// A read-only multi-line field whose text stays selectable (Ctrl+C copies the selection); its
// context menu starts with `copy_label`, which calls `copy_all`.
Wnd ui_create_result_field(Wnd parent, int id, int x, int y, int w, int h,
                           std::u16string_view copy_label, std::function<void()> copy_all);
// Replaces the text (fast for long texts: it wraps anywhere) in the given colour.
void ui_result_field_set(Wnd field, std::u16string_view text, int r, int g, int b);
void ui_result_field_set_colour(Wnd field, int r, int g, int b);

// The text colour of a button, label or edit field.
void ui_set_text_colour(Wnd control, int r, int g, int b);
// True when the system's palette has light text on a dark window.
bool ui_dark_palette();
void ui_set_tooltip(Wnd control, std::u16string_view text);
void ui_set_accessible(Wnd control, std::u16string_view name, std::u16string_view description);
// Tells screen readers that the control's text changed and reads `text` as its description.
void ui_announce(Wnd control, std::u16string_view text);

void ui_clipboard_set_text(std::u16string_view text);
std::u16string ui_clipboard_text();

// A key combination (e.g. "Ctrl+Shift+C") active anywhere in the window.
void ui_add_window_shortcut(Wnd window, std::u16string_view keys, std::function<void()> action);

// A top-level window's frame on the screen, in pixels, and moving it there.
void ui_window_frame(Wnd window, int& x, int& y, int& width, int& height);
void ui_move_window(Wnd window, int x, int y);

// A list of texts; a change of the selection by the user reports kNotifySelChange.
Wnd ui_create_list_box(Wnd parent, int id, int x, int y, int w, int h);
void ui_list_insert(Wnd list, int index, std::u16string_view text);  // index -1: at the end
void ui_list_remove(Wnd list, int index);
void ui_list_set_text(Wnd list, int index, std::u16string_view text);
std::u16string ui_list_text(Wnd list, int index);
int ui_list_count(Wnd list);
void ui_list_select(Wnd list, int index);  // -1: none; no notification
int ui_list_selection(Wnd list);

// `action` runs when the control loses the keyboard focus.
void ui_on_focus_out(Wnd control, std::function<void()> action);
// Turns the window's shortcut for `keys` on or off (it stays defined).
void ui_enable_window_shortcut(Wnd window, std::u16string_view keys, bool enable);
// Multi-line edit fields: long runs without spaces wrap anywhere (laid out in linear time).
void ui_edit_wrap_anywhere(Wnd edit);
