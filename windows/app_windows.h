// The windowed program: start-up, the main window with its menu, the options window, the About
// window and the help page. Every window is created once at start-up, hidden, and hidden again
// (not destroyed) when the user closes it.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "ui/toolkit.h"

// Menu and item ids of the main window.
enum : int {
  kMenuApplication = 100,
  kMenuOptions = 101,
  kMenuExit = 102,
  kMenuAlgebra = 200,
  kMenuCalculator = 201,
  kMenuEquations = 202,
  kMenuLinearSystems = 203,
  kMenuPolynomials = 204,
  kMenuPrimes = 205,
  kMenuFactors = 206,
  kMenuHelp = 300,
  kMenuShowHelp = 301,
  kMenuInfo = 302,
};

// The application record: one per program.
struct AppRecord {
  int system_version = 0;  // major * 256 + minor; 0 when the system does not tell
  Wnd main_window = nullptr;
  Wnd calculator = nullptr;  // the task windows stay nullptr until they exist
  Wnd equations = nullptr;
  Wnd primes = nullptr;
  Wnd factors = nullptr;
  Wnd options = nullptr;
  Wnd polynomials = nullptr;
  Wnd about = nullptr;
  Wnd linear_systems = nullptr;
  Wnd variables = nullptr;
  std::filesystem::path help_folder;
};
extern AppRecord g_app;

inline constexpr std::u16string_view kProductName = u"Numerion";
inline constexpr std::u16string_view kProductVersion = u"3.8";
inline constexpr std::u16string_view kMakerName = u"Numerion contributors";
// "YYYY-MM-DD hh:mm:ss", the time this program was built.
std::u16string_view build_date_text();

// "Numerion 3.8", the title of the main window and of the About window's heading.
std::u16string product_title();

Wnd create_main_window();
// The Algebra items are enabled for the task windows that exist.
void update_task_menu_items(Wnd main_window);
Wnd create_options_window();
Wnd create_about_window();

// --- task windows --------------------------------------------------------------------------------
// The six task windows, in the order they are created at start-up. A window that exists fills in
// its `create` function in windows/task_windows.cpp; that makes it part of the start, enables its
// Algebra item and lets `numerion --window NAME` open it.
struct TaskWindowEntry {
  std::string_view name;  // for `--window NAME`
  int menu_item;          // its Algebra item
  Wnd AppRecord::*slot;   // where the application record keeps it
  Wnd (*create)();        // makes the window, hidden; nullptr while it is not built
};
std::span<const TaskWindowEntry> task_windows();
const TaskWindowEntry* find_task_window(std::string_view name);
const TaskWindowEntry* find_task_window(int menu_item);
// "calculator, equations, linear, polynomials, primes, factors".
std::string task_window_names();

// The task windows' creators, defined in their own files as the windows come.
Wnd create_calculator_window();
Wnd create_equations_window();
Wnd create_linear_systems_window();
Wnd create_polynomials_window();
Wnd create_primes_window();
Wnd create_factors_window();

// --- start-up ------------------------------------------------------------------------------------
// The program's own options; every other argument is left to the user-interface library.
struct StartOptions {
  const TaskWindowEntry* window = nullptr;  // `--window NAME` (or `--window=NAME`)
  bool help = false;                        // `--help` or `-h`: print the usage, open nothing
  bool version = false;                     // `--version`: print the version, open nothing
};
// The usage printed by `numerion --help`, with the window names of the registry.
std::string start_usage_text();
// False with the reason in `error` (one line or two, ending in a newline) when an option is
// wrong: an unknown window name (with the list of names), a missing name, or a window this build
// does not have yet. The program then exits with status 2.
bool parse_start_options(int argc, const char* const* argv, StartOptions& options,
                         std::string& error);

// The whole program: its own options, then the user-interface library set up from argc/argv.
// Returns the exit code of the message loop, or 2 for a wrong option.
int numerion_main(int argc, char** argv);
// Steps after the user-interface library exists and before the windows: DPI and font, the
// number environment, settings, separators, texts, the help folder, the icon, the message box.
void prepare_application();
// Creates every window hidden, in the order of start-up: main, task windows, options, About.
void create_windows();
// Stops and joins every worker, destroys the windows (and their TaskWindow objects) and frees the
// thread's scratch block (tests call it between runs).
void destroy_windows();
// The first start shows the About window once and remembers that it did.
void show_welcome_hint();

// --- options window ------------------------------------------------------------------------------
// Ends this instance after starting a fresh one from the program's own path (no arguments).
// False (and nothing ended) when the settings could not be written or the program not started.
bool restart_application();

// --- help ----------------------------------------------------------------------------------------
// The folder of the program followed by "HtmlBrowserHelpFiles".
std::filesystem::path build_help_folder(const std::filesystem::path& module_path);
// The help folder, "Numerion", "overview" with "_en", "_de" (or "_??") and ".html".
std::filesystem::path help_page_path(const std::filesystem::path& folder, int language);
// Opens the page of the current language in the browser, at `fragment` when given. A missing
// page gives message 1005, an address longer than 259 characters message 9002.
void show_help(std::u16string_view fragment = {});
