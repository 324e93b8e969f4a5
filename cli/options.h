// The command line of numerion-cli: options, operands and their checks. Parsing never touches
// the arithmetic; main applies the result.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct CliOptions {
  std::uint32_t type = 1;  // NumberType code
  std::int64_t digits = 16;
  bool no_guard = false;
  int base = 10;
  bool lower_hex = false;
  int notation = 0;
  bool group = false;
  char16_t decimal_sep = u'.';
  char16_t thousands_sep = u'\'';
  std::vector<std::string> vars;  // NAME=VALUE as given
  bool german = false;
  bool time = false;
  bool help = false;
  bool version = false;
  std::vector<std::string> formulas;
};

// Fills `out` from argv; false with a reason in `error` for a usage error.
bool parse_cli_options(int argc, char** argv, CliOptions& out, std::string& error);

const char* cli_usage_text();

// A minus sign before a digit, ".", "(" or "i" starts an operand, not an option, so negative
// numbers need no "--".
bool is_cli_operand(std::string_view arg);
// Strict decimal integer within [lo, hi].
bool parse_cli_int(std::string_view text, std::int64_t lo, std::int64_t hi, std::int64_t& out);
