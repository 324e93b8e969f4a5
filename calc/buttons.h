// The calculator's button table: per button a label, an action code and a colour class, which
// depend on the number type, the angle unit and the hex letter case; the text a button puts
// into the formula; the call forms shown as tooltips; and the names Tab completion offers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "calc/variables.h"

inline constexpr int kCalcButtonRows = 8;
inline constexpr int kCalcButtonColumns = 9;
inline constexpr int kCalcButtonCount = kCalcButtonRows * kCalcButtonColumns;  // 72

// Action codes with a behaviour of their own (the other codes insert text).
enum : int {
  kCodeBackspace = 1324,
  kCodeClearAll = 1325,
  kCodeParenthesize = 1331,
  kCodeClearFormula = 1332,
  kCodeEquals = 1400,
  kCodeNotation = 1402,
  kCodeMixed = 1403,
  kCodeVariables = 1404,
};

struct CalcButton {
  std::u16string label;  // empty: the button has no label and no action
  int code = 0;
  int colour_class = 0;  // 1..6
  bool empty() const { return code == 0; }
};

// `type` a NumberType code (1, 2, 10, 11); `angle` 1 deg, 2 rad, 3 gon.
CalcButton calc_button(int index, std::uint32_t type, int angle, bool lower_hex);

// The suffix of the angle function names: "d", "" or "g".
std::u16string_view angle_suffix(int angle);

// What an inserting code (1000..1399) puts at the caret; empty for codes that act otherwise.
// Functions come with their "(". The separators, exponent letter and imaginary unit are those of
// the number settings.
std::u16string calc_insert_text(int code, int angle, bool lower_hex);

// The call form of a function button, e.g. "logx(base; x)" with the parameter names in the
// current language; empty for buttons that are not functions.
std::u16string calc_call_form(int code, int angle);

// Red, green, blue of a colour class; `dark` gives the lighter variant for dark palettes.
struct Rgb {
  int r, g, b;
};
Rgb calc_colour(int colour_class, bool dark);
// The dark red of the selected number type and angle unit labels, and the grey of a stale result.
Rgb calc_selected_colour(bool dark);
Rgb calc_stale_colour(bool dark);

// Tab completion: the identifier that ends at `caret` in `text` (0-based, in UTF-16 units) and
// the built-in function, constant and variable names that begin with it, sorted, without
// duplicates. `start` receives the index where the prefix begins. No candidates for an empty
// prefix.
std::vector<std::u16string> completion_candidates(std::u16string_view text, std::size_t caret,
                                                  const std::vector<UserVariable>& vars,
                                                  std::size_t& start);
// The longest common beginning of the candidates.
std::u16string common_prefix(const std::vector<std::u16string>& candidates);
