#include "cli/prompt.h"

#include <algorithm>
#include <sstream>

#include "app/utf8.h"
#include "formula/tokens.h"

namespace {

struct Command {
  const char* name;
  const char* option;  // the long option it stands for
};
constexpr Command kCommands[] = {
    {"p", "--precision"}, {"t", "--type"}, {"b", "--base"}, {"n", "--notation"}};

const char* type_name(std::uint32_t type) {
  switch (type) {
    case 2:
      return "cplx";
    case 10:
      return "uint";
    case 11:
      return "rat";
    default:
      return "real";
  }
}

const char* notation_name(int notation) {
  constexpr const char* kNames[] = {"auto", "fixed", "sci", "mixed"};
  return notation >= 0 && notation < 4 ? kNames[notation] : "auto";
}

}  // namespace

PromptAction parse_prompt_line(std::string_view line, CliOptions& options, std::string& error) {
  const std::size_t start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos || line[start] != ':') return PromptAction::Formula;
  std::istringstream in{std::string(line.substr(start + 1))};
  std::string name;
  std::vector<std::string> words;
  in >> name;
  for (std::string w; in >> w;) words.push_back(w);
  if (name == "help" || name == "h" || name == "?") return PromptAction::Help;
  if (name == "q" || name == "quit") return PromptAction::Quit;
  if (name == "g") {
    if (!words.empty()) {
      error = ":g takes no value";
      return PromptAction::Error;
    }
    options.group = !options.group;
    return PromptAction::Options;
  }
  for (const Command& c : kCommands) {
    if (name != c.name) continue;
    if (words.size() != 1) {
      error = ":" + name + " needs one value";
      return PromptAction::Error;
    }
    // The command line's own parser and checks, on a copy of the settings in force.
    CliOptions changed = options;
    changed.formulas.clear();
    std::string program = "numerion-cli", option = c.option;
    char* argv[] = {program.data(), option.data(), words[0].data()};
    if (!parse_cli_options(3, argv, changed, error) || !changed.formulas.empty()) {
      if (error.empty()) error = "invalid value '" + words[0] + "'";
      return PromptAction::Error;
    }
    options = changed;
    return PromptAction::Options;
  }
  error = "unknown command ':" + name + "'; :help lists the commands";
  return PromptAction::Error;
}

std::string prompt_help_text(const CliOptions& o) {
  std::string text =
      "Enter a formula, or one of these commands:\n"
      "  :p D          precision, 1..10000 displayed digits\n"
      "  :t TYPE       number type: real, cplx, uint, rat\n"
      "  :b BASE       output base of uint: 2, 8, 10, 16\n"
      "  :n NOTATION   auto, fixed, sci, mixed\n"
      "  :g            thousands separators on or off\n"
      "  :help         this text\n"
      "  :q            leave (as Ctrl+D does)\n"
      "Ctrl+C stops a calculation; Tab completes names; \"ans\" is the previous result.\n";
  text += "Now: -p " + std::to_string(o.digits) + " -t " + type_name(o.type) + " -b " +
          std::to_string(o.base) + " -n " + notation_name(o.notation) + (o.group ? " -g" : "") +
          "\n";
  return text;
}

std::vector<std::string> completion_names(const std::vector<std::string>& variables) {
  std::vector<std::string> names = {"ans", "e", "i"};
  for (const FunctionRow& row : kFunctionTable) names.push_back(utf16_to_utf8(row.name));
  names.insert(names.end(), variables.begin(), variables.end());
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}
