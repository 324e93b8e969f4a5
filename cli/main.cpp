// numerion-cli: evaluates formulas with the calculator's own evaluation and result formatting
// and prints each result line as the result field would show it. It reads no settings file:
// every choice comes from the command line, so a script gets the same output everywhere.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_error.h"
#include "app/formula_error_view.h"
#include "app/messages.h"
#include "app/text_builder.h"
#include "app/utf8.h"
#include "calc/calculator.h"
#include "calc/variables.h"
#include "cli/history_file.h"
#include "cli/line_editor.h"
#include "cli/linear_command.h"
#include "cli/number_theory.h"
#include "cli/options.h"
#include "cli/prompt.h"
#include "cli/solver_commands.h"
#include "core/decfloat.h"
#include "core/text.h"
#include "core/thread_scratch.h"
#include "formula/formula.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFormulaFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitStopped = 130;
constexpr MessageId kMsgInvalidVariableName = 121;

// The handler may only store to lock-free atomics.
static_assert(std::atomic<std::uint8_t>::is_always_lock_free);
std::atomic<std::uint8_t> g_interrupted{0};

extern "C" void on_interrupt(int) {
  g_cancel_request.store(1, std::memory_order_relaxed);
  g_interrupted.store(1, std::memory_order_relaxed);
}

void install_interrupt_handler() {
  struct sigaction sa = {};
  sa.sa_handler = on_interrupt;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = 0;  // no SA_RESTART: a blocked read of standard input ends too
  sigaction(SIGINT, &sa, nullptr);
}

void write_out(FILE* f, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), f);
  std::fflush(f);
}

// Message-box line breaks become single spaces: one error, one line.
std::string one_line(std::u16string_view text) {
  std::u16string out;
  bool in_break = false;
  for (char16_t c : text) {
    if (c == u'\r' || c == u'\n') {
      if (!in_break && !out.empty()) out.push_back(u' ');
      in_break = true;
    } else {
      out.push_back(c);
      in_break = false;
    }
  }
  while (!out.empty() && out.back() == u' ') out.pop_back();
  return utf16_to_utf8(out);
}

std::string error_text(std::uint32_t code) {
  std::u16string buffer(kErrorTextCapacity + 1, u'\0');
  TextBuilder b{0, kErrorTextCapacity, buffer.data()};
  build_app_error_text(b, code, g_app_error.param1, g_app_error.param2, *attached_formula_error());
  if (builder_overflowed(b)) builder_mark_cut(b);
  return one_line(std::u16string_view(buffer.data(), static_cast<std::size_t>(builder_stored(b))));
}

// The bytes of an input that is not UTF-8, for the message: ASCII kept, the rest shown as
// U+FFFD, so nothing is guessed.
std::u16string shown_bytes(const std::string& in) {
  std::u16string out;
  for (std::size_t i = 0; i < in.size() && out.size() < kAppErrorParamLength; ++i) {
    const auto c = static_cast<unsigned char>(in[i]);
    out.push_back(c >= 0x20 && c < 0x7f ? static_cast<char16_t>(c) : u'\ufffd');
  }
  return out;
}

struct Session {
  CalculatorState state;
  std::vector<UserVariable> vars;
  VariableTableStorage table;
  bool time = false;
  bool any_failed = false;
  bool interactive = false;  // at a prompt a failure prints no empty result line
};

enum class Outcome { Done, Stopped };

Outcome run_formula(Session& s, const std::string& input) {
  if (g_interrupted.load(std::memory_order_relaxed)) return Outcome::Stopped;
  clear_app_error();
  std::u16string formula;
  const bool decoded = utf8_to_utf16(input, formula) && formula.find(u'\0') == std::u16string::npos;
  bool ok = false;
  bool fell_back = false;
  const auto start = std::chrono::steady_clock::now();
  if (!decoded) {
    set_app_error(kAppErrorInvalidInput, shown_bytes(input).c_str());
  } else {
    append_missing_parens(formula);
    build_variable_table(s.table, s.state.result_text, s.vars);
    ok = calc_evaluate(s.state, formula.c_str(), s.table.table, &fell_back);
    if (ok) calc_format_result(s.state);
  }
  const auto stop = std::chrono::steady_clock::now();
  if (s.time) {
    const double ms = std::chrono::duration<double, std::milli>(stop - start).count();
    char line[64];
    std::snprintf(line, sizeof line, "time: %.3f ms\n", ms);
    write_out(stderr, line);
  }
  if (fell_back) {
    write_out(stderr, current_language() == kLanguageGerman
                          ? "Hinweis: rational nicht darstellbar, weiter mit dem Typ real\n"
                          : "note: no rational result; switched to the real type\n");
  }
  const std::uint32_t code = app_error_code();
  if (code == kAppErrorStopped || g_interrupted.load(std::memory_order_relaxed)) {
    return Outcome::Stopped;
  }
  if (ok && code == 0) {
    std::string line = utf16_to_utf8(s.state.result_field);
    if (s.state.inexact) line += "  [inexact]";
    line += '\n';
    write_out(stdout, line);
  } else {
    s.any_failed = true;
    if (!s.interactive) write_out(stdout, "\n");
    write_out(stderr, "error: " + error_text(code) + "\n");
  }
  return Outcome::Done;
}

int usage_error(const std::string& reason) {
  write_out(stderr, "numerion-cli: " + reason + "\n" + cli_usage_text());
  return kExitUsage;
}

// NAME=VALUE, the value typed in the chosen separators.
bool add_variable(Session& s, const std::string& assignment, std::string& reason) {
  const std::size_t eq = assignment.find('=');
  UserVariable v;
  std::u16string value;
  if (!utf8_to_utf16(assignment.substr(0, eq), v.name) ||
      !utf8_to_utf16(assignment.substr(eq + 1), value)) {
    reason = "--var " + assignment + ": not UTF-8";
    return false;
  }
  if (!is_valid_variable_name(v.name)) {
    std::u16string text(kErrorTextCapacity + 1, u'\0');
    TextBuilder b{0, kErrorTextCapacity, text.data()};
    format_text(b, msg(kMsgInvalidVariableName), std::u16string_view(v.name));
    reason =
        one_line(std::u16string_view(text.data(), static_cast<std::size_t>(builder_stored(b))));
    return false;
  }
  if (s.vars.size() >= kMaxUserVariables) {
    reason = "more than 100 variables";
    return false;
  }
  v.value = stored_variable_value(value);
  if (static_cast<std::int64_t>(v.value.size()) > kMaxValueLength) {
    v.value.resize(static_cast<std::size_t>(kMaxValueLength));
    v.value.back() = kEllipsis;
  }
  s.vars.push_back(std::move(v));
  return true;
}

// The display settings of `opt`; false when the arithmetic refuses the precision or type.
bool apply_options(Session& s, const CliOptions& opt) {
  s.state.guard = opt.no_guard ? 0 : kGuardDigits;
  s.state.lower_hex = opt.lower_hex;
  s.state.notation = opt.notation;
  s.state.grouping = opt.group;
  calc_set_base(s.state, opt.base);
  calc_set_precision(s.state, opt.digits);
  calc_set_number_type(s.state, opt.type);
  return math_status() == MathStatus::Ok;
}

bool was_interrupted() {
  return g_interrupted.load(std::memory_order_relaxed) != 0;
}

void clear_interrupt() {
  g_interrupted.store(0, std::memory_order_relaxed);
  g_cancel_request.store(0, std::memory_order_relaxed);
}

std::vector<std::string> variable_names(const Session& s) {
  std::vector<std::string> names;
  for (const UserVariable& v : s.vars) names.push_back(utf16_to_utf8(v.name));
  return names;
}

// A prompt on the terminal: Ctrl+C stops the calculation or drops the line being edited and
// the session goes on; Ctrl+D or ":q" leaves. Formulas go to the shared history file at the end.
int run_interactive(Session& s, CliOptions& opt) {
  s.interactive = true;
  const std::filesystem::path history_path = history_file_path();
  line_editor_open(history_path.empty() ? std::vector<std::string>{}
                                        : read_history_file(history_path));
  line_editor_set_names(completion_names(variable_names(s)));
  std::vector<std::string> added;
  std::string line;
  for (;;) {
    const ReadStatus status = line_editor_read("> ", line, was_interrupted);
    if (status == ReadStatus::Interrupted) {
      clear_interrupt();
      write_out(stdout, "\n");
      continue;
    }
    if (status == ReadStatus::End) {
      write_out(stdout, "\n");
      break;
    }
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    line_editor_add_history(line);
    std::string error;
    const PromptAction action = parse_prompt_line(line, opt, error);
    if (action == PromptAction::Quit) break;
    if (action == PromptAction::Help) {
      write_out(stdout, prompt_help_text(opt));
    } else if (action == PromptAction::Error) {
      write_out(stderr, "error: " + error + "\n");
    } else if (action == PromptAction::Options) {
      if (!apply_options(s, opt)) write_out(stderr, "error: invalid precision or number type\n");
      set_status(MathStatus::Ok);
    } else {
      add_history_entry(added, line);
      if (run_formula(s, line) == Outcome::Stopped) write_out(stderr, "stopped\n");
      clear_interrupt();
    }
  }
  line_editor_close();
  if (!history_path.empty() && !append_history_file(history_path, added)) {
    write_out(stderr, "numerion-cli: could not write " + history_path.string() + "\n");
  }
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && is_number_theory_command(argv[1])) {
    install_interrupt_handler();
    return run_number_theory_command(argc, argv);
  }
  if (argc > 1 && std::string_view(argv[1]) == "linear") {
    install_interrupt_handler();
    return run_linear_command(argc, argv);
  }
  if (argc > 1 && is_solver_command(argv[1])) {
    install_interrupt_handler();
    return run_solver_command(argc, argv);
  }
  CliOptions opt;
  std::string reason;
  if (!parse_cli_options(argc, argv, opt, reason)) return usage_error(reason);
  if (opt.help) {
    write_out(stdout, cli_usage_text());
    return kExitOk;
  }
  if (opt.version) {
    write_out(stdout, std::string("numerion-cli ") + NUMERION_VERSION + "\n");
    return kExitOk;
  }

  arith_reset();
  attach_formula_error(&g_formula_error);
  load_texts(opt.german ? kLanguageGerman : kLanguageEnglish);
  const char16_t point[2] = {opt.decimal_sep, 0};
  const char16_t group[2] = {opt.thousands_sep, 0};
  set_separator_slots(g_number_settings.decimal_sep, point, 1, u'.');
  set_separator_slots(g_number_settings.thousands_sep, group, 1, u'\'');

  Session s;
  s.time = opt.time;
  if (!apply_options(s, opt)) return usage_error("invalid precision or number type");
  for (const std::string& assignment : opt.vars) {
    if (!add_variable(s, assignment, reason)) return usage_error(reason);
  }

  thread_scratch_init();
  install_interrupt_handler();
  Outcome outcome = Outcome::Done;
  if (opt.formulas.empty() && isatty(STDIN_FILENO)) {
    const int code = run_interactive(s, opt);
    thread_scratch_free();
    return code;
  }
  if (!opt.formulas.empty()) {
    for (const std::string& f : opt.formulas) {
      outcome = run_formula(s, f);
      if (outcome == Outcome::Stopped) break;
    }
  } else {
    std::string line;
    while (outcome == Outcome::Done && std::getline(std::cin, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      outcome = run_formula(s, line);
    }
    if (g_interrupted.load(std::memory_order_relaxed)) outcome = Outcome::Stopped;
  }
  thread_scratch_free();
  if (outcome == Outcome::Stopped) {
    write_out(stderr, "stopped\n");
    return kExitStopped;
  }
  return s.any_failed ? kExitFormulaFailed : kExitOk;
}
