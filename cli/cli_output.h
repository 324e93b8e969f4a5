// Output pieces the subcommands of numerion-cli share.
#pragma once

#include <string>
#include <string_view>

#include "app/formula_error_view.h"

// "error: " and the stored AppError's message (with the formula error when `formula` holds
// one) on one line, in UTF-8, ending in "\n".
std::string app_error_line(FormulaErrorView formula);

// A result field's text in UTF-8 with "\r\n" line ends written as "\n".
std::string field_text_utf8(std::u16string_view text);
