// The lines of interactive use that start with ":" and set the options of the command line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/options.h"

enum class PromptAction {
  Formula,  // not a command: calculate the line
  Options,  // `options` now holds the changed settings
  Help,     // print prompt_help_text()
  Quit,
  Error,  // `error` says why; nothing changed
};

// ":p 100", ":t rat", ":b 16", ":n sci" as -p, -t, -b, -n; ":g" toggles grouping; ":help",
// ":q". `options` is changed only when the whole command is valid, with the same checks as on
// the command line.
PromptAction parse_prompt_line(std::string_view line, CliOptions& options, std::string& error);

// The commands and the settings now in force.
std::string prompt_help_text(const CliOptions& options);

// The names Tab completes: the built-in functions and constants, "ans" and the variables.
std::vector<std::string> completion_names(const std::vector<std::string>& variables);
