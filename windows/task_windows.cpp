// The registry of the task windows and the program's start options.
#include <cstring>

#include "windows/app_windows.h"

namespace {

// One entry per window; each `create` stands on a line of its own, so that the windows can be
// filled in independently.
// clang-format off
const TaskWindowEntry kTaskWindows[] = {
    {"calculator", kMenuCalculator, &AppRecord::calculator,
     create_calculator_window},
    {"equations", kMenuEquations, &AppRecord::equations,
     create_equations_window},
    {"linear", kMenuLinearSystems, &AppRecord::linear_systems,
     &create_linear_systems_window},
    {"polynomials", kMenuPolynomials, &AppRecord::polynomials,
     create_polynomials_window},
    {"primes", kMenuPrimes, &AppRecord::primes,
     &create_primes_window},
    {"factors", kMenuFactors, &AppRecord::factors,
     &create_factors_window},
};
// clang-format on

}  // namespace

std::span<const TaskWindowEntry> task_windows() {
  return kTaskWindows;
}

const TaskWindowEntry* find_task_window(std::string_view name) {
  for (const TaskWindowEntry& e : kTaskWindows) {
    if (e.name == name) return &e;
  }
  return nullptr;
}

const TaskWindowEntry* find_task_window(int menu_item) {
  for (const TaskWindowEntry& e : kTaskWindows) {
    if (e.menu_item == menu_item) return &e;
  }
  return nullptr;
}

std::string task_window_names() {
  std::string names;
  for (const TaskWindowEntry& e : kTaskWindows) {
    if (!names.empty()) names += ", ";
    names += e.name;
  }
  return names;
}

bool parse_start_options(int argc, const char* const* argv, StartOptions& options,
                         std::string& error) {
  options = StartOptions{};
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i] != nullptr ? argv[i] : "";
    std::string_view name;
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      continue;
    }
    if (arg == "--version") {
      options.version = true;
      continue;
    }
    if (arg == "--window") {
      if (i + 1 >= argc) {
        error = "numerion: --window needs the name of a window: " + task_window_names() + "\n";
        return false;
      }
      name = argv[++i];
    } else if (arg.starts_with("--window=")) {
      name = arg.substr(std::strlen("--window="));
    } else {
      continue;  // the user-interface library's, or ignored
    }
    const TaskWindowEntry* entry = find_task_window(name);
    if (entry == nullptr) {
      error = "numerion: unknown window \"" + std::string(name) +
              "\"; the windows are: " + task_window_names() + "\n";
      return false;
    }
    if (entry->create == nullptr) {
      error = "numerion: the window \"" + std::string(name) + "\" is not part of this build yet\n";
      return false;
    }
    options.window = entry;  // the last one given counts
  }
  return true;
}

std::string start_usage_text() {
  return "Usage: numerion [--window NAME] [--help] [--version]\n"
         "Numerion, a calculator for numbers of very high precision.\n"
         "\n"
         "  --window NAME  open the task window NAME beside the main window; the windows are:\n"
         "                 " +
         task_window_names() +
         "\n"
         "  -h, --help     print this text and exit\n"
         "  --version      print the version and exit\n"
         "\n"
         "numerion-cli calculates in a terminal; see numerion(1) and numerion-cli(1).\n";
}
