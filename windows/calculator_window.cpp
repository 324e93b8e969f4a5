// The "Scientific Calculator" window: input line, result field, the selectors and the 72 buttons.
// Evaluation and formatting are calc/'s; this file reads the controls, runs one CalcJob at a
// time on the worker and shows what comes back.
#include <algorithm>
#include <chrono>
#include <memory>

#include "app/app_error.h"
#include "app/messages.h"
#include "app/settings.h"
#include "calc/buttons.h"
#include "calc/calculator.h"
#include "calc/history.h"
#include "core/decfloat.h"
#include "integer/number.h"
#include "ui/composite.h"
#include "ui/controls.h"
#include "ui/formula_edit.h"
#include "windows/app_windows.h"
#include "windows/calculator_window.h"
#include "windows/task_window.h"

namespace {

// Layout units: the window, the part above the selector band, and the button grid.
constexpr int kWidth = 370;
constexpr int kHeight = 355;
constexpr int kGridTop = 105;  // the selector band and the buttons below it are 250 high
constexpr int kButtonWidth = 38;
constexpr int kButtonHeight = 25;
// The longest formula handed to the engine; a longer one ends in "…", which the engine reports.
constexpr std::size_t kMaxFormulaLength = static_cast<std::size_t>(kMaxValueLength);

using namespace calculator_ids;

constexpr int kStopTimer = 1;
constexpr int kStopTimerMilliseconds = 100;

// Slider positions and what they stand for.
constexpr std::uint32_t kSliderTypes[4] = {kTypeUInt, kTypeRational, kTypeReal, kTypeComplex};
constexpr const char16_t* kTypeLabels[4] = {u"uint", u"rat", u"real", u"cplx"};
constexpr const char16_t* kAngleLabels[3] = {u"deg", u"rad", u"gon"};

int type_position(std::uint32_t type) {
  for (int i = 0; i < 4; ++i) {
    if (kSliderTypes[i] == type) return i;
  }
  return 2;
}

class CalculatorWindow;
CalculatorWindow* g_calculator = nullptr;

class CalculatorWindow final : public TaskWindow {
 public:
  static Wnd create() { return open<CalculatorWindow>(msg(18), kWidth, kHeight)->wnd(); }

  void insert_text(std::u16string_view text) {
    ui_edit_replace_selection(input_, text);
    input_changed();
  }
  const std::u16string& result_text() const { return state_.result_text; }

 private:
  unsigned window_style() const override { return kWindowResizable; }

  CalculatorState state_;
  CalcHistory history_;
  bool history_changed_ = false;
  bool recalling_ = false;
  std::shared_ptr<CalcJob> job_;
  bool stop_mode_ = false;
  bool stop_guard_ = false;  // the guard after a run in stop mode ignores the first button
  std::u16string saved_label_;
  std::vector<int> disabled_by_stop_;
  bool dark_ = false;

  Wnd input_ = nullptr, result_ = nullptr, type_slider_ = nullptr, precision_label_ = nullptr,
      precision_ = nullptr, angle_slider_ = nullptr, base_ = nullptr, hex_case_ = nullptr,
      inexact_ = nullptr, digits_ = nullptr;
  Wnd type_labels_[4] = {};
  Wnd angle_labels_[3] = {};
  Wnd buttons_[kCalcButtonCount] = {};
  CalcButton table_[kCalcButtonCount];

  // --- creation ------------------------------------------------------------------------------
  void on_create() override {
    g_calculator = this;
    dark_ = ui_dark_palette();
    if (normalize_calculator_settings(g_settings)) mark_settings_changed();
    state_.grouping = g_settings.thousands_sep_sci_calc;
    state_.lower_hex = g_settings.use_lower_case_hex;
    calc_set_base(state_, g_settings.output_number_base);
    calc_set_precision(
        state_, std::clamp<std::int64_t>(g_settings.decimal_precision, 1, kMaxDisplayedDigits));
    std::uint32_t type = static_cast<std::uint32_t>(g_settings.number_type);
    if (type != kTypeUInt && type != kTypeRational && type != kTypeComplex) type = kTypeReal;
    calc_set_number_type(state_, type);
    clear_status();

    FormulaEditHooks hooks;
    hooks.enter = [this] { press(kCodeEquals); };
    hooks.escape = [this] {
      if (busy()) stop_job();
    };
    hooks.history = [this](bool older) { return recall(older); };
    hooks.complete = [](std::u16string_view text, std::size_t caret, std::size_t& start) {
      return completion_candidates(text, caret, user_variables(), start);
    };
    hooks.edited = [this] {
      if (!recalling_) history_.end_walk();
      input_changed();
    };
    input_ = ui_create_formula_edit(wnd(), kIdInput, 5, 5, 360, 50, std::move(hooks));
    result_ = ui_create_result_field(wnd(), kIdResult, 5, 58, 360, 44, msg(172),
                                     [this] { copy_result(); });
    ui_formula_edit_set_popup_anchor(input_, result_);
    const UiFont field_font{u"Verdana", ui_scale(19), false, UiFontFallback::SansSerif};
    ui_set_font(input_, field_font);
    ui_set_font(result_, field_font);
    ui_set_accessible(input_, msg(176), msg(181));
    ui_set_accessible(result_, msg(177), {});
    ui_set_tooltip(input_, msg(181));

    create_selectors();
    create_buttons();
    move_grid(0);
    ui_add_window_shortcut(wnd(), u"Ctrl+Shift+C", [this] { copy_result(); });
    // While a calculation runs, Escape stops it wherever the focus is in the window; otherwise
    // the key stays with the controls (the completion list closes with it).
    ui_add_window_shortcut(wnd(), u"Esc", [this] {
      if (busy()) stop_job();
    });
    ui_enable_window_shortcut(wnd(), u"Esc", false);
    if (read_history_file(history_path(), history_)) history_changed_ = false;
    relabel();
    show_result();
  }

  void create_selectors() {
    const int top = kGridTop;
    const UiFont small{ui_font().family, ui_scale(12), false, UiFontFallback::Interface};
    // Number type: four labels above a four-position slider.
    for (int i = 0; i < 4; ++i) {
      type_labels_[i] = ui_create_label(wnd(), kIdTypeLabel0 + i, 6 + i * 26, top + 1, 28, 14,
                                        kTypeLabels[i], kLabelCentre);
      ui_set_font(type_labels_[i], small);
    }
    type_slider_ = ui_create_track_bar(wnd(), kIdTypeSlider, 10, top + 15, 100, 20);
    ui_track_bar_set_range(type_slider_, 0, 3);
    ui_track_bar_set_pos(type_slider_, type_position(state_.number_type));
    ui_set_accessible(type_slider_, msg(83), msg(192));

    precision_label_ = ui_create_label(wnd(), kIdPrecisionLabel, 116, top + 1, 62, 14, msg(19));
    ui_set_font(precision_label_, small);
    precision_ = ui_create_numeric_up_down(wnd(), kIdPrecision, 116, top + 15, 60, 20, 1,
                                           static_cast<int>(kMaxDisplayedDigits));
    ui_up_down_set_value(precision_, static_cast<int>(state_.digits));
    ui_set_accessible(precision_, msg(19), {});

    for (int i = 0; i < 3; ++i) {
      angle_labels_[i] = ui_create_label(wnd(), kIdAngleLabel0 + i, 180 + i * 24, top + 1, 26, 14,
                                         kAngleLabels[i], kLabelCentre);
      ui_set_font(angle_labels_[i], small);
    }
    angle_slider_ = ui_create_track_bar(wnd(), kIdAngleSlider, 184, top + 15, 66, 20);
    ui_track_bar_set_range(angle_slider_, 0, 2);
    ui_track_bar_set_pos(angle_slider_, std::clamp(g_settings.angle_type, 1, 3) - 1);
    ui_set_accessible(angle_slider_, msg(178), msg(193));

    base_ = ui_create_number_base(
        wnd(), kIdBase, 240, top + 1, 92, 34, msg(23),
        kBaseWith2 | kBaseWith8 | kBaseNoLabelOffsets,
        [](Wnd, int base, void* owner) {
          static_cast<CalculatorWindow*>(owner)->base_chosen(base);
        },
        this);
    ui_number_base_set(base_, state_.selected_base);
    ui_set_accessible(base_, msg(158), {});

    hex_case_ = ui_create_button(wnd(), kIdHexCase, 332, top + 9, 30, 25, u"Aa");
    ui_set_accessible(hex_case_, u"Aa", msg(179));
    ui_set_tooltip(hex_case_, msg(179));

    // Row 7 leaves columns 4 to 8 empty: the digit count and the inexact indicator go there.
    digits_ = ui_create_digit_count(wnd(), kIdDigits, 166, top + 222, 110, 21, msg(157));
    ui_set_accessible(digits_, msg(157), msg(191));
    inexact_ = ui_create_label(wnd(), kIdInexact, 284, top + 222, 36, 21, u"[\u2248]",
                               kLabelCentre | kStyleHidden);
    ui_set_tooltip(inexact_, msg(180));
    ui_set_accessible(inexact_, msg(180), {});
  }

  void create_buttons() {
    for (int i = 0; i < kCalcButtonCount; ++i) {
      const int row = i / kCalcButtonColumns;
      const int column = i % kCalcButtonColumns;
      buttons_[i] = ui_create_button(wnd(), kIdButton0 + i, 10 + column * 39,
                                     kGridTop + 38 + row * 26, kButtonWidth, kButtonHeight, u"");
    }
  }

  // --- labels and enabling -------------------------------------------------------------------
  int angle() const { return ui_track_bar_pos(angle_slider_) + 1; }

  // The button table for the current type, angle unit and letter case.
  void relabel() {
    const UiFont label_font{u"Verdana", ui_scale(13), false, UiFontFallback::SansSerif};
    // "←" and "π" in a monospaced face, a little larger so that the arrow reads at a glance.
    const UiFont symbol_font{u"Consolas", ui_scale(18), false, UiFontFallback::SansSerif};
    for (int i = 0; i < kCalcButtonCount; ++i) {
      table_[i] = calc_button(i, state_.number_type, angle(), state_.lower_hex);
      const CalcButton& b = table_[i];
      Wnd w = buttons_[i];
      if (stop_mode_ && i == 0) continue;
      ui_set_text(w, escape_ampersands(b.label));
      ui_show(w, !b.empty());
      const bool symbol = b.label == u"\u2190" || b.label == u"\u03c0";
      ui_set_font(w, symbol ? symbol_font : label_font);
      const Rgb c = calc_colour(b.colour_class, dark_);
      ui_set_text_colour(w, c.r, c.g, c.b);
      ui_set_tooltip(w, calc_call_form(b.code, angle()));
      ui_set_accessible(w, accessible_name(b), calc_call_form(b.code, angle()));
    }
    const int type_pos = type_position(state_.number_type);
    for (int i = 0; i < 4; ++i) label_colour(type_labels_[i], i == type_pos);
    for (int i = 0; i < 3; ++i) label_colour(angle_labels_[i], i == angle() - 1);
    const bool uint = state_.number_type == kTypeUInt;
    ui_show(base_, uint);
    ui_show(hex_case_, uint);
    ui_show(digits_, uint);
    update_buttons();
  }

  static std::u16string escape_ampersands(const std::u16string& s) {
    std::u16string out;
    for (char16_t c : s) {
      if (c == u'&') out += u'&';
      out += c;
    }
    return out;
  }

  std::u16string accessible_name(const CalcButton& b) const {
    switch (b.code) {
      case kCodeClearAll:
        return msg(183);
      case kCodeBackspace:
        return msg(184);
      case kCodeClearFormula:
        return msg(185);
      case kCodeParenthesize:
        return msg(186);
      case kCodeEquals:
        return msg(187);
      case kCodeNotation:
        return msg(188);
      case kCodeMixed:
        return msg(189);
      case kCodeVariables:
        return msg(162);
      case 1329:
        return msg(190);
      default:
        return b.label;
    }
  }

  void label_colour(Wnd label, bool selected) {
    if (selected) {
      const Rgb c = calc_selected_colour(dark_);
      ui_set_text_colour(label, c.r, c.g, c.b);
    } else {
      ui_set_text_colour(label, -1, -1, -1);
    }
  }

  // "ans" needs a result, "F↔S" a current result in base 10, "R↔M" a current result.
  void update_buttons() {
    if (busy()) return;
    for (int i = 0; i < kCalcButtonCount; ++i) {
      bool enable = !table_[i].empty();
      switch (table_[i].code) {
        case 1329:
          enable = state_.has_result;
          break;
        case kCodeNotation:
          enable = state_.result_current && state_.base == 10;
          break;
        case kCodeMixed:
          enable = state_.result_current;
          break;
        default:
          break;
      }
      ui_enable(buttons_[i], enable);
    }
  }

  // --- result --------------------------------------------------------------------------------
  void show_result() {
    const Rgb stale = calc_stale_colour(dark_);
    if (state_.result_current) {
      ui_result_field_set(result_, state_.result_field, -1, -1, -1);
    } else {
      ui_result_field_set(result_, state_.result_field, stale.r, stale.g, stale.b);
    }
    ui_show(inexact_, state_.has_result && state_.inexact);
    ui_digit_count_set(digits_, state_.result_digit_count > 0 ? state_.result_digit_count : 0);
  }

  void set_stale() {
    if (!state_.result_current) return;
    state_.result_current = false;
    const Rgb stale = calc_stale_colour(dark_);
    ui_result_field_set_colour(result_, stale.r, stale.g, stale.b);
    update_buttons();
  }

  void input_changed() { set_stale(); }

  void reformat() {
    if (!state_.has_result) return;
    const bool current = state_.result_current;
    calc_format_result(state_);
    state_.result_current = current;
    show_result();
    update_buttons();
  }

  void copy_result() {
    if (!state_.result_field.empty()) {
      ui_clipboard_set_text(state_.result_text.empty() ? state_.result_field : state_.result_text);
    }
  }

  // --- buttons -------------------------------------------------------------------------------
  void on_command(int id, int notification) override {
    if (id >= kIdButton0 && id < kIdButton0 + kCalcButtonCount && notification == kNotifyClicked) {
      button_pressed(id - kIdButton0);
    } else if (id == kIdTypeSlider && notification == kNotifyValueChange) {
      type_chosen(kSliderTypes[std::clamp(ui_track_bar_pos(type_slider_), 0, 3)]);
    } else if (id == kIdAngleSlider && notification == kNotifyValueChange) {
      g_settings.angle_type = angle();
      mark_settings_changed();
      relabel();
    } else if (id == kIdPrecision && notification == kNotifyEditChange) {
      precision_chosen(ui_up_down_value(precision_));
    } else if (id == kIdHexCase && notification == kNotifyClicked) {
      hex_case_toggled();
    }
  }

  void button_pressed(int index) {
    ui_set_focus(input_);
    if (busy()) {
      if (index == 0 && stop_mode_) stop_job();
      return;
    }
    if (index == 0 && stop_guard_ && guard_active()) return;
    press(table_[index].code);
  }

  void press(int code) {
    if (busy() || code == 0) return;
    clear_app_error();
    switch (code) {
      case kCodeEquals:
        return calculate();
      case kCodeNotation:
        if (calc_toggle_notation(state_)) after_toggle();
        return;
      case kCodeMixed:
        if (calc_toggle_mixed(state_)) after_toggle();
        return;
      case kCodeVariables:
        return open_variables_dialog(wnd());
      case kCodeBackspace: {
        const std::u16string text = ui_text(input_);
        if (!text.empty()) {
          std::size_t n = 1;
          if (text.size() >= 2 && text.back() >= 0xDC00 && text.back() <= 0xDFFF) n = 2;
          ui_edit_select(input_, text.size() - n, n);
          ui_edit_replace_selection(input_, u"");
        }
        break;
      }
      case kCodeClearAll:
        state_.has_result = false;
        state_.result_current = false;
        state_.inexact = false;
        state_.result_text.clear();
        state_.result_field.clear();
        state_.result_digit_count = -1;
        ui_edit_replace_all(input_, u"");
        show_result();
        break;
      case kCodeParenthesize: {
        std::u16string text(1, u'(');
        text += ui_text(input_);
        text += u')';
        ui_edit_replace_all(input_, text);
      } break;
      case kCodeClearFormula:
        ui_edit_replace_all(input_, u"");
        break;
      default: {
        const std::u16string text = calc_insert_text(code, angle(), state_.lower_hex);
        if (text.empty()) {
          set_app_error(kAppErrorInternal);
          show_app_error();
          return;
        }
        ui_edit_replace_selection(input_, text);
        break;
      }
    }
    input_changed();
    update_buttons();
  }

  void after_toggle() {
    calc_apply_sizes(state_);
    show_result();
    update_buttons();
    if (app_error_code() != 0) show_app_error();
  }

  // --- selectors -----------------------------------------------------------------------------
  void type_chosen(std::uint32_t type) {
    if (type == state_.number_type) return;
    g_settings.number_type = static_cast<int>(type);
    mark_settings_changed();
    calc_set_number_type(state_, type);
    clear_status();
    relabel();
    show_result();
  }

  void base_chosen(int base) {
    g_settings.output_number_base = base;
    mark_settings_changed();
    calc_set_base(state_, base);
    if (state_.result_current) reformat();
    update_buttons();
  }

  void precision_chosen(int digits) {
    if (digits < 1 || digits > kMaxDisplayedDigits || digits == state_.digits) return;
    g_settings.decimal_precision = digits;
    mark_settings_changed();
    calc_set_precision(state_, digits);
    clear_status();
    set_stale();
  }

  void hex_case_toggled() {
    state_.lower_hex = !state_.lower_hex;
    g_settings.use_lower_case_hex = state_.lower_hex;
    mark_settings_changed();
    relabel();
    if (state_.result_current && state_.base == 16) reformat();
  }

  // --- history -------------------------------------------------------------------------------
  bool recall(bool older) {
    std::optional<std::u16string> text = older ? history_.older(ui_text(input_)) : history_.newer();
    if (!text) return false;
    recalling_ = true;
    ui_edit_replace_all(input_, *text);
    recalling_ = false;
    return true;
  }

  // --- calculation ---------------------------------------------------------------------------
  void calculate() {
    if (busy()) return;
    std::u16string formula = ui_text(input_);
    if (append_missing_parens(formula) > 0) {
      ui_edit_replace_all(input_, formula);
    }
    if (!formula.empty()) {
      history_.add(formula);
      history_changed_ = true;
    }
    // Line breaks (Shift+Enter) and tabs only lay the formula out: the engine sees spaces, one
    // for one, so that error positions still point into the input line. The engine reads
    // NUL-terminated text: a NUL pasted in must not end it early.
    for (char16_t& c : formula) {
      if (c == u'\n' || c == u'\r' || c == u'\t' || c == u'\u2028' || c == u'\u2029') c = u' ';
      if (c == u'\0') c = u'\uFFFD';
    }
    if (formula.size() > kMaxFormulaLength) formula = cut_with_ellipsis(formula, kMaxFormulaLength);
    state_.grouping = g_settings.thousands_sep_sci_calc;
    set_stale();
    calc_apply_sizes(state_);
    job_ = std::make_shared<CalcJob>();
    calc_prepare_job(*job_, state_, formula, user_variables());
    set_selectors_enabled(false);
    stop_guard_ = false;
    const bool started = start_job(job_, calc_run_job, [this](CalcJob& j) { finished(j); });
    if (!started) {
      set_selectors_enabled(true);
      set_app_error(kAppErrorInternal);
      show_app_error();
      return;
    }
    ui_set_timer(wnd(), kStopTimer, kStopTimerMilliseconds);
    ui_announce(result_, msg(182));
  }

 public:
  double last_completion_ms = 0;

 private:
  void set_selectors_enabled(bool enable) {
    ui_enable_window_shortcut(wnd(), u"Esc", !enable);
    for (Wnd w : {type_slider_, precision_, angle_slider_, base_, hex_case_}) ui_enable(w, enable);
  }

  void on_timer(int id) override {
    if (id != kStopTimer) return;
    ui_kill_timer(wnd(), kStopTimer);
    if (!busy()) return;
    std::u16string label = ui_text(buttons_[0]);
    if (label.size() > 7) label = cut_with_ellipsis(label, 7);
    saved_label_ = label;
    ui_set_text(buttons_[0], msg(4));
    disabled_by_stop_.clear();
    for (int i = 1; i < kCalcButtonCount; ++i) {
      if (ui_is_enabled(buttons_[i])) {
        ui_enable(buttons_[i], false);
        disabled_by_stop_.push_back(i);
      }
    }
    stop_mode_ = true;
  }

  void finished(CalcJob& job) {
    const auto begin = std::chrono::steady_clock::now();
    finish(job);
    last_completion_ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
  }

  void finish(CalcJob& job) {
    ui_kill_timer(wnd(), kStopTimer);
    if (stop_mode_) {
      ui_set_text(buttons_[0], saved_label_);
      for (int i : disabled_by_stop_) ui_enable(buttons_[i], true);
      disabled_by_stop_.clear();
      stop_mode_ = false;
      stop_guard_ = true;
    }
    set_selectors_enabled(true);
    calc_apply_sizes(state_);
    const bool ok = calc_finish_job(state_, job);
    if (ok) {
      if (job.fell_back) {
        g_settings.number_type = static_cast<int>(kTypeReal);
        mark_settings_changed();
        ui_track_bar_set_pos(type_slider_, type_position(kTypeReal));
        calc_apply_sizes(state_);
        relabel();
      }
      calc_format_result(state_);
      if (app_error_code() == 0) {
        state_.has_result = true;
        state_.result_current = true;
      }
    }
    show_result();
    update_buttons();
    if (ok && state_.result_current) {
      std::u16string notice = msg(177);
      notice += u": ";
      notice += state_.result_field;
      ui_announce(result_, notice);
    }
    const FormulaErrorView formula_error = *attached_formula_error();
    const std::uint32_t code = app_error_code();
    show_app_error();
    if (code == kAppErrorFormula && formula_error.code != 0 && formula_error.position > 0) {
      ui_edit_select(input_, formula_error.position - 1, 1);
    }
    ui_set_focus(input_);
  }

  void on_guard_end() override { stop_guard_ = false; }

  void on_show(bool shown) override {
    if (shown) ui_set_focus(input_);
  }

  void on_size(int width, int height) override {
    // Pixels to layout units; the fields take the room, the button grid keeps its place.
    const int dpi = ui_dpi();
    const int w = width * 96 / dpi;
    const int h = height * 96 / dpi;
    const int extra_w = std::max(0, w - kWidth);
    const int extra_h = std::max(0, h - kHeight);
    ui_move(input_, 5, 5, 360 + extra_w, 50 + extra_h / 3);
    ui_move(result_, 5, 58 + extra_h / 3, 360 + extra_w, 44 + extra_h - extra_h / 3);
    (void)buttons_;
    move_grid(extra_h);
  }

  // The selector band and the buttons, `dy` units below their place in a window of the
  // original height.
  void move_grid(int dy) {
    auto place = [dy](Wnd c, int x, int y, int w, int h) { ui_move(c, x, y + dy, w, h); };
    const int top = kGridTop;
    for (int i = 0; i < 4; ++i) place(type_labels_[i], 6 + i * 26, top + 1, 28, 14);
    place(type_slider_, 10, top + 15, 100, 20);
    place(precision_label_, 112, top + 1, 64, 14);
    place(precision_, 114, top + 15, 54, 20);
    for (int i = 0; i < 3; ++i) place(angle_labels_[i], 174 + i * 20, top + 1, 22, 14);
    place(angle_slider_, 176, top + 15, 58, 20);
    place(base_, 240, top + 1, 92, 34);
    place(hex_case_, 334, top + 9, 30, 25);
    place(digits_, 166, top + 222, 110, 21);
    place(inexact_, 284, top + 222, 36, 21);
    for (int i = 0; i < kCalcButtonCount; ++i) {
      place(buttons_[i], 10 + (i % kCalcButtonColumns) * 39,
            top + 38 + (i / kCalcButtonColumns) * 26, kButtonWidth, kButtonHeight);
    }
  }

  void on_destroy() override {
    if (history_changed_) write_history_file(history_path(), history_);
    if (g_calculator == this) g_calculator = nullptr;
    forget_user_variables();
  }
};

}  // namespace

Wnd create_calculator_window() {
  return CalculatorWindow::create();
}

void calculator_insert_text(std::u16string_view text) {
  if (g_calculator != nullptr) g_calculator->insert_text(text);
}

std::u16string calculator_result_text() {
  return g_calculator != nullptr ? g_calculator->result_text() : std::u16string();
}

double calculator_last_completion_ms() {
  return g_calculator != nullptr ? g_calculator->last_completion_ms : 0;
}
