#include "cli/solver_commands.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_error.h"
#include "app/messages.h"
#include "app/utf8.h"
#include "cli/options.h"
#include "cli/subcommand.h"
#include "core/decfloat.h"
#include "core/text.h"
#include "core/thread_scratch.h"
#include "formula/formula.h"
#include "solvers/equation_job.h"
#include "solvers/polynomial.h"

namespace {

const char* const kUsage =
    "usage: numerion-cli roots [--complex] [--exact] [--no-multiplicity] [-p P] A_N ... A_0\n"
    "       numerion-cli poly add|sub|mul|div|pow [-t real|cplx|rat] [-p P] [--degree D]\n"
    "                         P0 P1 ...\n"
    "roots: the roots of A_N*x^N + ... + A_0 = 0 (degree 1 to 10), real ones unless --complex,\n"
    "       approximated to P digits (default 10; at most 2000, 1000 or 750 by degree) or\n"
    "       exactly where possible with --exact.\n"
    "poly:  each polynomial is its coefficients a_D,...,a_0 separated by commas, missing high\n"
    "       coefficients being 0; P is 5 to 1000 (default 10), D 1 to 20.\n"
    "An argument starting with \"-\" and a digit, \".\", \"(\" or \"i\" is a coefficient.\n"
    "--lang en|de: the language of the texts (default en).\n"
    "Exit status: 0 success, 1 invalid input or a failed run, 2 bad options, 130 stopped.\n";

int usage(const std::string& reason) {
  return usage_failure(kUsage, reason);
}

bool to_u16(const std::string& arg, std::u16string& out) {
  return utf8_to_utf16(arg, out) && out.find(u'\0') == std::u16string::npos;
}

// The result field's text with "\r\n" as "\n" and a final line end.
void print_result(const std::u16string& text) {
  std::string bytes = field_text_utf8(text);
  if (bytes.empty()) return;
  if (bytes.back() != '\n') bytes.push_back('\n');
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

// Options with a value: "-p 20", "-p20", "--precision 20", "--precision=20".
bool option_value(const std::vector<std::string>& args, std::size_t& i, std::string_view shortname,
                  std::string_view longname, std::string& value, bool& matched) {
  const std::string& a = args[i];
  matched = false;
  if (a == shortname || a == longname) {
    matched = true;
    if (i + 1 >= args.size()) return false;
    value = args[++i];
    return true;
  }
  const std::string long_eq = std::string(longname) + "=";
  if (a.rfind(long_eq, 0) == 0) {
    matched = true;
    value = a.substr(long_eq.size());
    return true;
  }
  if (!shortname.empty() && a.size() > 2 && a.rfind(shortname, 0) == 0) {
    matched = true;
    value = a.substr(2);
    return true;
  }
  return true;
}

int run_roots(const std::vector<std::string>& args) {
  EquationRequest request;
  std::vector<std::string> operands;
  bool operands_only = false;
  std::string precision_text;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (operands_only || is_cli_operand(a)) {
      operands.push_back(a);
      continue;
    }
    if (a == "--") {
      operands_only = true;
    } else if (a == "--complex") {
      request.complex_mode = true;
    } else if (a == "--exact") {
      request.exact = true;
    } else if (a == "--no-multiplicity") {
      request.multiplicity = false;
    } else {
      bool matched = false;
      if (!option_value(args, i, "-p", "--precision", precision_text, matched)) {
        return usage("option '" + a + "' needs a value");
      }
      if (!matched) return usage("unknown option '" + a + "'");
    }
  }
  if (operands.size() < 2 || operands.size() > kMaxRootDegree + 1) {
    return usage("2 to 11 coefficients are needed");
  }
  request.degree = static_cast<std::int64_t>(operands.size()) - 1;
  if (!precision_text.empty() &&
      !parse_cli_int(precision_text, kEquationMinDigits, EquationMaxDigits(request.degree),
                     request.digits)) {
    return usage("invalid value '" + precision_text + "' for --precision (" +
                 std::to_string(kEquationMinDigits) + " to " +
                 std::to_string(EquationMaxDigits(request.degree)) + " at degree " +
                 std::to_string(request.degree) + ")");
  }
  for (const std::string& o : operands) {
    request.cells.emplace_back();
    if (!to_u16(o, request.cells.back())) return usage("coefficient '" + o + "' is not UTF-8");
  }
  EquationJob job;
  if (!StartEquationJob(request, job)) return finish_subcommand();
  EquationWorker(job);
  print_result(FinishEquationJob(job));
  return finish_subcommand();
}

// Splits at the commas outside parentheses, so a function's arguments stay together.
std::vector<std::u16string> split_cells(const std::u16string& text) {
  std::vector<std::u16string> cells(1);
  int depth = 0;
  for (char16_t c : text) {
    if (c == u'(') ++depth;
    if (c == u')' && depth > 0) --depth;
    if (c == u',' && depth == 0) {
      cells.emplace_back();
    } else {
      cells.back().push_back(c);
    }
  }
  return cells;
}

int run_poly(const std::vector<std::string>& args) {
  if (args.empty()) return usage("an operation is needed");
  const std::string& op = args[0];
  PolynomialRequest request;
  if (op == "add")
    request.op = u'+';
  else if (op == "sub")
    request.op = u'-';
  else if (op == "mul")
    request.op = u'*';
  else if (op == "div")
    request.op = u'/';
  else if (op == "pow")
    request.op = u'^';
  else
    return usage("unknown operation '" + op + "'");
  std::vector<std::string> operands;
  bool operands_only = false;
  std::string type_text, precision_text, degree_text;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (operands_only || is_cli_operand(a)) {
      operands.push_back(a);
      continue;
    }
    if (a == "--") {
      operands_only = true;
      continue;
    }
    bool matched = false;
    bool ok = option_value(args, i, "-t", "--type", type_text, matched);
    if (!matched) ok = option_value(args, i, "-p", "--precision", precision_text, matched);
    if (!matched) ok = option_value(args, i, "", "--degree", degree_text, matched);
    if (!matched) return usage("unknown option '" + a + "'");
    if (!ok) return usage("option '" + a + "' needs a value");
  }
  if (type_text.empty() || type_text == "real")
    request.type = kTypeReal;
  else if (type_text == "cplx")
    request.type = kTypeComplex;
  else if (type_text == "rat")
    request.type = kTypeRational;
  else
    return usage("invalid value '" + type_text + "' for --type");
  if (!precision_text.empty() && !parse_cli_int(precision_text, 5, 1000, request.digits)) {
    return usage("invalid value '" + precision_text + "' for --precision (5 to 1000)");
  }
  const bool binary_only = request.op == u'/' || request.op == u'^';
  if (operands.size() < 2 || operands.size() > 12 || (binary_only && operands.size() != 2)) {
    return usage(binary_only ? "div and pow need exactly 2 polynomials"
                             : "2 to 12 polynomials are needed");
  }
  std::vector<std::vector<std::u16string>> rows;
  std::size_t widest = 0;
  for (const std::string& o : operands) {
    std::u16string text;
    if (!to_u16(o, text)) return usage("polynomial '" + o + "' is not UTF-8");
    rows.push_back(split_cells(text));
    widest = std::max(widest, rows.back().size());
  }
  std::int64_t degree = std::max<std::int64_t>(static_cast<std::int64_t>(widest) - 1, 1);
  if (!degree_text.empty() && !parse_cli_int(degree_text, 1, kMaxPolyDegree, degree)) {
    return usage("invalid value '" + degree_text + "' for --degree (1 to 20)");
  }
  if (degree > kMaxPolyDegree) return usage("more than 21 coefficients in a polynomial");
  for (std::size_t i = 0; i < rows.size(); ++i) {
    std::vector<std::u16string>& row = rows[i];
    if (static_cast<std::int64_t>(row.size()) > degree + 1) {
      return usage("polynomial '" + operands[i] + "' has more than " + std::to_string(degree + 1) +
                   " coefficients");
    }
    row.insert(row.begin(), static_cast<std::size_t>(degree + 1) - row.size(), std::u16string());
  }
  request.rows = std::move(rows);
  PolynomialResult result;
  if (RunPolynomialOperation(request, result)) print_result(result.text);
  return finish_subcommand();
}

}  // namespace

bool is_solver_command(const char* arg) {
  return std::strcmp(arg, "roots") == 0 || std::strcmp(arg, "poly") == 0;
}

int run_solver_command(int argc, char** argv) {
  std::vector<std::string> args;
  const int done = begin_subcommand(argc, argv, kUsage, args);
  if (done >= 0) return done;
  thread_scratch_init();
  const int status = std::strcmp(argv[1], "roots") == 0 ? run_roots(args) : run_poly(args);
  thread_scratch_free();
  return status;
}
