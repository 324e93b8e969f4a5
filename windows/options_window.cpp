// The options window: separators, where thousands separators are used, and the language.
#include "app/app_error.h"
#include "app/messages.h"
#include "app/platform.h"
#include "app/settings.h"
#include "app/utf8.h"
#include "ui/controls.h"
#include "windows/app_windows.h"

namespace {

enum : int {
  kIdTabs = 10,
  kIdSeparatorGroup,
  kIdAutomatic,
  kIdDecimalLabel,
  kIdDecimalList,
  kIdThousandsLabel,
  kIdThousandsList,
  kIdUsageLabel,
  kIdUseCalculator,
  kIdUseEquations,
  kIdUsePrimes,
  kIdLanguageGroup,
  kIdLanguageAutomatic,
  kIdLanguageEnglish,
  kIdLanguageGerman,
  kIdOk,
  kIdCancel,
};

constexpr int kWidth = 370;
constexpr int kHeight = 330;
constexpr MessageId kDecimalEntries[] = {52, 53};
constexpr MessageId kThousandsEntries[] = {52, 53, 54, 55};

struct OptionsControls {
  Wnd automatic, decimal_label, decimal_list, thousands_label, thousands_list;
  Wnd use_calculator, use_equations, use_primes;
  Wnd language_automatic, language_english, language_german;
};
OptionsControls g_controls;

void enable_separator_lists(bool automatic) {
  for (Wnd w : {g_controls.decimal_label, g_controls.decimal_list, g_controls.thousands_label,
                g_controls.thousands_list}) {
    ui_enable(w, !automatic);
  }
}

// The list entry of the locale's separator, so that clearing "Automatic selection" starts from
// what the program uses now; -1 when the locale's character is not in the list.
void locale_choices(int& decimal, int& thousands) {
  char16_t d[4];
  char16_t t[4];
  platform_locale_separators(d, t);
  decimal = d[0] == u'.' ? kDecimalPoint : d[0] == u',' ? kDecimalComma : -1;
  switch (t[0]) {
    case u'.':
      thousands = kThousandsPoint;
      break;
    case u',':
      thousands = kThousandsComma;
      break;
    case u'\'':
      thousands = kThousandsApostrophe;
      break;
    case u'\u202f':
      thousands = kThousandsNarrowSpace;
      break;
    default:
      thousands = -1;
      break;
  }
  if (decimal < 0) decimal = kDecimalPoint;
  if (thousands < 0 || thousands == decimal) thousands = kThousandsApostrophe;
}

void load_controls() {
  const Settings& s = g_settings;
  const bool automatic =
      s.decimal_separator == kSeparatorAutomatic || s.thousands_separator == kSeparatorAutomatic;
  int decimal = s.decimal_separator;
  int thousands = s.thousands_separator;
  if (automatic) locale_choices(decimal, thousands);
  ui_set_check(g_controls.automatic, automatic);
  ui_combo_select(g_controls.decimal_list, decimal);
  ui_combo_select(g_controls.thousands_list, thousands);
  enable_separator_lists(automatic);
  ui_set_check(g_controls.use_calculator, s.thousands_sep_sci_calc);
  ui_set_check(g_controls.use_equations, s.thousands_sep_equations);
  ui_set_check(g_controls.use_primes, s.thousands_sep_prime_nums);
  ui_set_check(g_controls.language_automatic,
               s.language != kLanguageEnglish && s.language != kLanguageGerman);
  ui_set_check(g_controls.language_english, s.language == kLanguageEnglish);
  ui_set_check(g_controls.language_german, s.language == kLanguageGerman);
}

template <class T>
void store(T& field, T value) {
  if (field == value) return;
  field = value;
  mark_settings_changed();
}

// Applies the window's choices; false when they were refused (the error is pending then).
bool apply_controls() {
  const bool automatic = ui_checked(g_controls.automatic);
  int decimal = kSeparatorAutomatic;
  int thousands = kSeparatorAutomatic;
  if (!automatic) {
    decimal = ui_combo_selection(g_controls.decimal_list);
    thousands = ui_combo_selection(g_controls.thousands_list);
    // Point and comma are the first two entries of both lists.
    if (decimal < 0 || thousands < 0 || decimal == thousands) {
      set_app_error(kAppErrorSeparators);
      return false;
    }
  }
  Settings& s = g_settings;
  store(s.thousands_sep_sci_calc, ui_checked(g_controls.use_calculator));
  store(s.thousands_sep_equations, ui_checked(g_controls.use_equations));
  store(s.thousands_sep_prime_nums, ui_checked(g_controls.use_primes));
  if (s.decimal_separator != decimal || s.thousands_separator != thousands) {
    store(s.decimal_separator, decimal);
    store(s.thousands_separator, thousands);
    apply_separators(s);
  }
  int language = kLanguageAutomatic;
  if (ui_checked(g_controls.language_english)) language = kLanguageEnglish;
  if (ui_checked(g_controls.language_german)) language = kLanguageGerman;
  if (language != s.language) {
    store(s.language, language);
    if (ui_ask_ok_cancel(msg(67), msg(68), msg(0), msg(1))) restart_application();
  }
  return app_error_code() == 0;
}

std::intptr_t options_handler(Wnd window, UiMsg message, std::intptr_t wparam,
                              std::intptr_t /*lparam*/, bool& /*default_handling*/) {
  if (message == UiMsg::Show && wparam == 1) {
    load_controls();
  } else if (message == UiMsg::Command) {
    switch (wparam) {
      case kIdAutomatic:
        enable_separator_lists(ui_checked(g_controls.automatic));
        break;
      case kIdOk: {
        const bool ok = apply_controls();
        show_app_error();
        if (ok) ui_hide_window(window);
        break;
      }
      case kIdCancel:
        ui_hide_window(window);
        break;
      default:
        break;
    }
  }
  return 0;
}

void create_number_page(Wnd page) {
  ui_create_group_box(page, kIdSeparatorGroup, 8, 8, 322, 122, msg(50));
  g_controls.automatic = ui_create_check_box(page, kIdAutomatic, 20, 32, 290, 20, msg(51));
  g_controls.decimal_label = ui_create_label(page, kIdDecimalLabel, 20, 65, 150, 20, msg(56));
  g_controls.decimal_list = ui_create_combo_box(page, kIdDecimalList, 176, 61, 140, 120);
  for (MessageId id : kDecimalEntries) ui_combo_add(g_controls.decimal_list, msg(id));
  g_controls.thousands_label = ui_create_label(page, kIdThousandsLabel, 20, 98, 150, 20, msg(57));
  g_controls.thousands_list = ui_create_combo_box(page, kIdThousandsList, 176, 94, 140, 120);
  for (MessageId id : kThousandsEntries) ui_combo_add(g_controls.thousands_list, msg(id));
  ui_create_label(page, kIdUsageLabel, 12, 146, 310, 20, msg(58));
  g_controls.use_calculator =
      ui_create_check_box(page, kIdUseCalculator, 20, 170, 290, 20, msg(59));
  g_controls.use_equations = ui_create_check_box(page, kIdUseEquations, 20, 194, 290, 20, msg(60));
  g_controls.use_primes = ui_create_check_box(page, kIdUsePrimes, 20, 218, 290, 20, msg(61));
}

void create_language_page(Wnd page) {
  ui_create_group_box(page, kIdLanguageGroup, 8, 8, 322, 110, msg(63));
  g_controls.language_automatic =
      ui_create_radio_button(page, kIdLanguageAutomatic, 20, 32, 290, 20, msg(64), kStyleGroup);
  g_controls.language_english =
      ui_create_radio_button(page, kIdLanguageEnglish, 20, 58, 290, 20, msg(65));
  g_controls.language_german =
      ui_create_radio_button(page, kIdLanguageGerman, 20, 84, 290, 20, msg(66));
}

}  // namespace

Wnd create_options_window() {
  Wnd window = ui_create_dialog_window(msg(48), kWidth, kHeight, options_handler, nullptr, 0,
                                       kWindowClientSize | kWindowCentre);
  Wnd tabs = ui_create_tab_control(window, kIdTabs, 8, 8, 354, 280);
  create_number_page(ui_add_tab_page(tabs, msg(49)));
  create_language_page(ui_add_tab_page(tabs, msg(62)));
  ui_create_button(window, kIdOk, 196, 296, 80, 26, msg(0), kButtonDefault);
  ui_create_button(window, kIdCancel, 282, 296, 80, 26, msg(1));
  return window;
}

bool restart_application() {
  if (!save_settings()) {
    const std::u16string path = utf8_or_latin1_to_utf16(settings_path().native());
    set_app_error(kAppErrorFileAccess, path.c_str());
    return false;
  }
  const std::filesystem::path program = platform_module_path();
  if (program.empty() || !ui_start_program(program.native())) {
    // This instance stays, so that the user is not left without the program.
    const std::u16string path = utf8_or_latin1_to_utf16(program.native());
    set_app_error(kAppErrorFileAccess, path.c_str());
    return false;
  }
  ui_close_window(g_app.main_window);
  return true;
}
