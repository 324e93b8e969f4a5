// The calculator window and its variables dialog, as they see each other.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "calc/variables.h"
#include "ui/toolkit.h"

// --- the calculator window -----------------------------------------------------------------------
// Control ids (ui_control finds them).
namespace calculator_ids {
enum : int {
  kIdInput = 10,
  kIdResult,
  kIdTypeSlider,
  kIdPrecisionLabel,
  kIdPrecision,
  kIdAngleSlider,
  kIdBase,
  kIdHexCase,
  kIdInexact,
  kIdDigits,
  kIdTypeLabel0 = 30,   // 4 labels above the type slider
  kIdAngleLabel0 = 40,  // 3 labels above the angle slider
  kIdButton0 = 100,     // 72 buttons, index = row * 9 + column
};
}  // namespace calculator_ids

// The input line's selection is replaced by `text` (inserted at the caret); the input counts as
// changed. Nothing happens while the window does not exist.
void calculator_insert_text(std::u16string_view text);
// The current result text (the value of "ans"); empty when there is none.
std::u16string calculator_result_text();
// How long the last completion took on the window thread (formatting and showing the result).
double calculator_last_completion_ms();

// --- the variables dialog ------------------------------------------------------------------------
// The user variables, loaded from the settings on first use; the dialog edits them and the
// settings get them back when the program ends.
std::vector<UserVariable>& user_variables();
// Creates the dialog on first use, puts its left edge at `x` and top at `y` (screen layout units
// of the calculator's frame) and shows it.
void open_variables_dialog(Wnd calculator);
// Copies the list into the settings when it changed (the settings save hook).
void store_user_variables();
// Drops the list (the calculator's end); the next use loads it from the settings again.
void forget_user_variables();
