#include "cli/options.h"

#include <cstring>

namespace {

struct Option {
  const char* long_name;
  char short_name;  // 0: none
  bool takes_value;
};

constexpr Option kOptions[] = {
    {"type", 't', true},
    {"precision", 'p', true},
    {"no-guard", 0, false},
    {"base", 'b', true},
    {"lower-hex", 0, false},
    {"notation", 'n', true},
    {"group", 'g', false},
    {"decimal-separator", 0, true},
    {"thousands-separator", 0, true},
    {"var", 0, true},
    {"lang", 0, true},
    {"time", 0, false},
    {"help", 'h', false},
    {"version", 0, false},
};

bool apply(const Option& o, std::string_view value, CliOptions& out, std::string& error) {
  const std::string_view name = o.long_name;
  auto bad = [&] {
    error = "invalid value '" + std::string(value) + "' for --" + std::string(name);
    return false;
  };
  if (name == "type") {
    if (value == "real")
      out.type = 1;
    else if (value == "cplx")
      out.type = 2;
    else if (value == "uint")
      out.type = 10;
    else if (value == "rat")
      out.type = 11;
    else
      return bad();
  } else if (name == "precision") {
    // The upper bound depends on --no-guard and is checked once all options are read.
    if (!parse_cli_int(value, 1, 10005, out.digits)) return bad();
  } else if (name == "no-guard") {
    out.no_guard = true;
  } else if (name == "base") {
    std::int64_t b = 0;
    if (!parse_cli_int(value, 2, 16, b) || (b != 2 && b != 8 && b != 10 && b != 16)) return bad();
    out.base = static_cast<int>(b);
  } else if (name == "lower-hex") {
    out.lower_hex = true;
  } else if (name == "notation") {
    if (value == "auto")
      out.notation = 0;
    else if (value == "fixed")
      out.notation = 1;
    else if (value == "sci")
      out.notation = 2;
    else if (value == "mixed")
      out.notation = 3;
    else
      return bad();
  } else if (name == "group") {
    out.group = true;
  } else if (name == "decimal-separator") {
    if (value == "point")
      out.decimal_sep = u'.';
    else if (value == "comma")
      out.decimal_sep = u',';
    else
      return bad();
  } else if (name == "thousands-separator") {
    if (value == "point")
      out.thousands_sep = u'.';
    else if (value == "comma")
      out.thousands_sep = u',';
    else if (value == "apostrophe")
      out.thousands_sep = u'\'';
    else if (value == "space")
      out.thousands_sep = u'\u202f';  // a plain space ends a number
    else
      return bad();
  } else if (name == "var") {
    if (value.find('=') == std::string_view::npos) return bad();
    out.vars.emplace_back(value);
  } else if (name == "lang") {
    if (value == "en")
      out.german = false;
    else if (value == "de")
      out.german = true;
    else
      return bad();
  } else if (name == "time") {
    out.time = true;
  } else if (name == "help") {
    out.help = true;
  } else if (name == "version") {
    out.version = true;
  }
  return true;
}

}  // namespace

// Strict decimal integer within [lo, hi].
bool parse_cli_int(std::string_view text, std::int64_t lo, std::int64_t hi, std::int64_t& out) {
  if (text.empty() || text.size() > 9) return false;
  std::int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v < lo || v > hi) return false;
  out = v;
  return true;
}

// A minus sign before a digit, ".", "(" or "i" starts a formula, not an option, so negative
// numbers need no "--".
bool is_cli_operand(std::string_view arg) {
  if (arg.size() < 2 || arg[0] != '-') return arg.empty() || arg[0] != '-';
  const char c = arg[1];
  return (c >= '0' && c <= '9') || c == '.' || c == '(' || c == 'i';
}

bool parse_cli_options(int argc, char** argv, CliOptions& out, std::string& error) {
  int i = 1;
  if (i < argc && std::strcmp(argv[i], "eval") == 0) ++i;
  bool operands_only = false;
  for (; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (operands_only || is_cli_operand(arg)) {
      out.formulas.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      operands_only = true;
      continue;
    }
    const Option* found = nullptr;
    std::string_view value;
    bool has_value = false;
    if (arg.size() > 2 && arg[1] == '-') {
      std::string_view name = arg.substr(2);
      const std::size_t eq = name.find('=');
      if (eq != std::string_view::npos) {
        value = name.substr(eq + 1);
        name = name.substr(0, eq);
        has_value = true;
      }
      for (const Option& o : kOptions) {
        if (name == o.long_name) found = &o;
      }
    } else if (arg.size() >= 2) {
      for (const Option& o : kOptions) {
        if (o.short_name != 0 && arg[1] == o.short_name) found = &o;
      }
      if (found != nullptr && arg.size() > 2) {
        if (!found->takes_value) found = nullptr;  // no bundling of flags
        value = arg.substr(2);
        has_value = true;
      }
    }
    if (found == nullptr) {
      error = "unknown option '" + std::string(arg) + "'";
      return false;
    }
    if (found->takes_value && !has_value) {
      if (i + 1 >= argc) {
        error = "option '" + std::string(arg) + "' needs a value";
        return false;
      }
      value = argv[++i];
    } else if (!found->takes_value && has_value) {
      error = "option '" + std::string(arg) + "' takes no value";
      return false;
    }
    if (!apply(*found, value, out, error)) return false;
  }
  if (!out.no_guard && out.digits > 10000) {
    error = "precision above 10000 needs --no-guard";
    return false;
  }
  if (out.decimal_sep == out.thousands_sep) {
    error = "the decimal and the thousands separator must differ";
    return false;
  }
  return true;
}

const char* cli_usage_text() {
  return "usage: numerion-cli [eval] [options] [FORMULA ...]\n"
         "       numerion-cli primes|factors|roots|poly|linear [options] ...   (see below)\n"
         "Evaluates each FORMULA as the calculator's \"=\" does and prints each result on its own\n"
         "line; without a FORMULA, reads one formula per line from standard input. \"ans\" is the\n"
         "previous result.\n"
         "\n"
         "options:\n"
         "  -t, --type real|cplx|uint|rat   number type (default real)\n"
         "  -p, --precision D               displayed digits 1..10000 (default 16), computed\n"
         "                                  with D + 2 digits\n"
         "      --no-guard                  compute and show exactly D digits (1..10005)\n"
         "  -b, --base 2|8|10|16            output base of the uint type\n"
         "      --lower-hex                 hexadecimal letters a-f\n"
         "  -n, --notation auto|fixed|sci|mixed\n"
         "  -g, --group                     thousands separators in results\n"
         "      --decimal-separator point|comma              (default point)\n"
         "      --thousands-separator point|comma|apostrophe|space   (default apostrophe)\n"
         "      --var NAME=VALUE            a variable (repeatable)\n"
         "      --lang en|de                language of the messages (default en)\n"
         "      --time                      evaluation time on standard error\n"
         "  -h, --help                      this text\n"
         "      --version                   the program's version\n"
         "\n"
         "An argument starting with \"-\" and a digit, \".\", \"(\" or \"i\", and every argument\n"
         "after \"--\", is a formula.\n"
         "Exit status: 0 success, 1 a formula failed, 2 bad options, 130 stopped by Ctrl+C.\n"
         "\n"
         "subcommands (each with --help and --lang en|de):\n"
         "  primes, factors                 prime numbers and prime factors\n"
         "  roots, poly                     algebraic equations and polynomial calculation\n"
         "  linear [-t real|cplx|rat] [-p P] [--group] FILE.csv\n"
         "                                  solves the linear system of a CSV file (\"-\" reads\n"
         "                                  standard input)\n";
}
