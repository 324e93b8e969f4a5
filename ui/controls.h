// Controls inside a dialog window. Each creation takes the parent (the window, a group box's
// window or a tab page), a control id reported with UiMsg::Command, position and size in layout
// units, a text and extra style bits. Every control gets the UI font and the keyboard behaviour
// of dialog boxes; controls live as long as their parent.
//
// Texts may contain "\r\n" for line breaks; in button, check box, radio button, group box and
// tab texts "&&" shows one ampersand (a single "&" marks the mnemonic letter), in labels too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/toolkit.h"

// Style bits shared by every kind.
inline constexpr unsigned kStyleTabStop = 1u << 0;    // for kinds that are not tab stops by default
inline constexpr unsigned kStyleNoTabStop = 1u << 1;  // for kinds that are
inline constexpr unsigned kStyleGroup = 1u << 2;      // starts a new group of radio buttons
inline constexpr unsigned kStyleDisabled = 1u << 3;
inline constexpr unsigned kStyleHidden = 1u << 4;
// Edit fields.
inline constexpr unsigned kEditMultiline = 1u << 8;
inline constexpr unsigned kEditWantReturn = 1u << 9;  // Enter goes to the field (multi-line)
inline constexpr unsigned kEditReadOnly = 1u << 10;
inline constexpr unsigned kEditRich = 1u << 11;  // formatted multi-line field
// Read-only multi-line output that takes long streamed texts: appending costs only the new text,
// whatever the field holds already ("cwl_OutputView").
inline constexpr unsigned kEditStream = 1u << 12;
// Labels.
inline constexpr unsigned kLabelRight = 1u << 8;
inline constexpr unsigned kLabelCentre = 1u << 9;
inline constexpr unsigned kLabelSunken = 1u << 10;  // framed, for values shown to the user
// Push buttons.
inline constexpr unsigned kButtonDefault = 1u << 8;  // the window's default button

Wnd ui_create_button(Wnd parent, int id, int x, int y, int w, int h, std::u16string_view text,
                     unsigned style = 0);
// A push button that shows an image (XPM) with its text beneath.
Wnd ui_create_icon_button(Wnd parent, int id, int x, int y, int w, int h, std::u16string_view text,
                          const char* const* xpm, int icon_size, unsigned style = 0);
Wnd ui_create_check_box(Wnd parent, int id, int x, int y, int w, int h, std::u16string_view text,
                        unsigned style = 0);
Wnd ui_create_radio_button(Wnd parent, int id, int x, int y, int w, int h, std::u16string_view text,
                           unsigned style = 0);
Wnd ui_create_combo_box(Wnd parent, int id, int x, int y, int w, int h, unsigned style = 0);
Wnd ui_create_label(Wnd parent, int id, int x, int y, int w, int h, std::u16string_view text,
                    unsigned style = 0);
// A line of text shown as a link; a click reports kNotifyClicked.
Wnd ui_create_link(Wnd parent, int id, int x, int y, int w, int h, std::u16string_view text,
                   unsigned style = 0);
Wnd ui_create_edit(Wnd parent, int id, int x, int y, int w, int h, std::u16string_view text,
                   unsigned style = 0);
Wnd ui_create_group_box(Wnd parent, int id, int x, int y, int w, int h, std::u16string_view text,
                        unsigned style = 0);
Wnd ui_create_track_bar(Wnd parent, int id, int x, int y, int w, int h, unsigned style = 0);
Wnd ui_create_numeric_up_down(Wnd parent, int id, int x, int y, int w, int h, int min, int max,
                              unsigned style = 0);
Wnd ui_create_tab_control(Wnd parent, int id, int x, int y, int w, int h, unsigned style = 0);
// A page of a tab control; controls of the page take it as their parent.
Wnd ui_add_tab_page(Wnd tab_control, std::u16string_view title);

// --- every control -------------------------------------------------------------------------------
int ui_control_id(Wnd control);
// The control with `id` inside the window (pages included); nullptr when there is none.
Wnd ui_control(Wnd window, int id);
// The class name of a window or control ("cwl_DialogWindow", "SimpleGridCtl", ...).
std::string ui_class_name(Wnd control);
void ui_set_text(Wnd control, std::u16string_view text);
std::u16string ui_text(Wnd control);
void ui_enable(Wnd control, bool enable);
bool ui_is_enabled(Wnd control);
void ui_show(Wnd control, bool show);
void ui_move(Wnd control, int x, int y, int w, int h);  // layout units
// Two words for the control's own use.
std::intptr_t ui_control_word(Wnd control, int index);
void ui_set_control_word(Wnd control, int index, std::intptr_t value);

// --- check boxes and radio buttons ---------------------------------------------------------------
void ui_set_check(Wnd button, bool checked);
bool ui_checked(Wnd button);
// Clicks as the user does: the button takes the change and reports kNotifyClicked.
void ui_click(Wnd button);

// --- drop-down lists -----------------------------------------------------------------------------
int ui_combo_add(Wnd combo, std::u16string_view text, std::intptr_t data = 0);  // the new index
void ui_combo_clear(Wnd combo);
int ui_combo_count(Wnd combo);
void ui_combo_select(Wnd combo, int index);  // -1 clears the selection; no notification
int ui_combo_selection(Wnd combo);           // -1 when nothing is selected
std::intptr_t ui_combo_data(Wnd combo, int index);
std::u16string ui_combo_text(Wnd combo, int index);
bool ui_combo_list_open(Wnd combo);

// --- edit fields ---------------------------------------------------------------------------------
// The most characters a single-line or plain multi-line field takes from the user (32,767 until
// set); ui_set_text is not limited in a multi-line field.
void ui_edit_set_limit(Wnd edit, int characters);
void ui_edit_set_read_only(Wnd edit, bool read_only);
// Appends text at the end of a multi-line field and shows the end.
void ui_edit_append(Wnd edit, std::u16string_view text);

// --- track bars and numeric up-downs -------------------------------------------------------------
void ui_track_bar_set_range(Wnd track, int min, int max);
void ui_track_bar_set_pos(Wnd track, int pos);
int ui_track_bar_pos(Wnd track);
// Writes the number as text into the field.
void ui_up_down_set_value(Wnd up_down, int value);
int ui_up_down_value(Wnd up_down);
// A new range; a value outside it is moved to its nearer end (and reported as a change).
void ui_up_down_set_range(Wnd up_down, int min, int max);

// --- tab controls --------------------------------------------------------------------------------
void ui_tab_select(Wnd tab_control, int index);
int ui_tab_selection(Wnd tab_control);
