// Start-up: the process, the number environment, settings and texts, the windows, the message
// loop, and the settings written when the loop ends.
#include <cstdio>
#include <string>

#include "app/app_error.h"
#include "app/messages.h"
#include "app/platform.h"
#include "app/settings.h"
#include "app/utf8.h"
#include "core/decfloat.h"
#include "core/text.h"
#include "core/thread_scratch.h"
#include "formula/formula.h"
#include "ui/worker.h"
#include "windows/app_windows.h"

AppRecord g_app;

namespace {

#include "windows/app_icon.xpm"

void message_box(const char16_t* caption, const char16_t* text, int icon) {
  ui_message_box(caption != nullptr ? caption : u"", text != nullptr ? text : u"", icon, msg(0));
}

// A logout, "kill" or Ctrl+C ends the loop as the Exit command does, so the settings are
// written; the code tells the shell which signal it was.
int end_signal_code(int fd) {
  const int sig = platform_take_end_signal(fd);
  return sig > 0 ? 128 + sig : -1;
}

// The session manager may end the program without a signal it can catch: write what changed
// now. No message box: nobody is left to read it, and the next exit tries again.
void save_at_session_end() {
  save_settings();
}

}  // namespace

void prepare_application() {
  // The system reports no version in the form the labels ask for; 0 selects the forms for
  // current systems.
  g_app.system_version = 0;
  ui_init_dpi_and_font();
  arith_reset();
  g_number_settings = NumberSettings{};
  thread_scratch_init();
  // The linear-systems and polynomial windows evaluate cells on this thread: their formula
  // errors must reach the message box.
  attach_formula_error(&g_formula_error);
  // Reads the file, makes "automatic" separators all or nothing and applies the separators.
  load_settings();
  reset_texts();
  load_texts(resolve_language(g_settings.language));
  ui_set_dialog_language(current_language() == kLanguageGerman);
  // Run from the launcher's temporary copy, the help pages are still beside the launcher.
  const std::filesystem::path launch_folder = platform_launch_folder();
  g_app.help_folder = build_help_folder(launch_folder.empty() ? platform_module_path()
                                                              : launch_folder / "numerion");
  ui_set_app_icon(kAppIconXpm);
  platform_set_message_hook(message_box);
}

void create_windows() {
  g_app.main_window = create_main_window();
  for (const TaskWindowEntry& e : task_windows()) {
    if (e.create != nullptr) g_app.*e.slot = e.create();
  }
  g_app.options = create_options_window();
  g_app.about = create_about_window();
  update_task_menu_items(g_app.main_window);
}

void destroy_windows() {
  // No worker outlives the windows: each is asked to stop and joined before any window goes.
  ui_stop_all_workers();
  for (Wnd* w : {&g_app.main_window, &g_app.calculator, &g_app.equations, &g_app.primes,
                 &g_app.factors, &g_app.options, &g_app.polynomials, &g_app.about,
                 &g_app.linear_systems, &g_app.variables}) {
    if (*w != nullptr) ui_destroy_window(*w);
    *w = nullptr;
  }
  platform_set_message_hook(nullptr);
  thread_scratch_free();
}

void show_welcome_hint() {
  if (!g_settings.show_welcome_hint) return;
  ui_run_modal(g_app.about);
  g_settings.show_welcome_hint = false;
  mark_settings_changed();
}

int numerion_main(int argc, char** argv) {
  StartOptions options;
  std::string error;
  if (!parse_start_options(argc, argv, options, error)) {
    std::fputs(error.c_str(), stderr);
    return 2;
  }
  // Both answer on a terminal without a display and without starting the toolkit.
  if (options.help) {
    std::fputs(start_usage_text().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    const std::u16string version(kProductVersion);
    std::fputs(("numerion " + utf16_to_utf8(version) + "\n").c_str(), stdout);
    return 0;
  }
  if (!ui_display_available()) {
    std::fputs("numerion: no display to show windows on; numerion-cli calculates in a terminal.\n",
               stderr);
    return 1;
  }
  // Caught before the windows exist; one that arrives earlier still ends the program at once.
  const int end_signals = platform_catch_end_signals();
  ui_init(argc, argv);
  ui_quit_when_readable(end_signals, end_signal_code);
  ui_set_session_end_hook(save_at_session_end);
  prepare_application();
  create_windows();
  show_welcome_hint();
  ui_show_window(g_app.main_window);
  if (options.window != nullptr) {
    if (Wnd task = g_app.*options.window->slot) ui_show_window(task);
  }
  const int code = ui_run_loop();
  if (!save_settings()) {
    const std::u16string path = utf8_or_latin1_to_utf16(settings_path().native());
    set_app_error(kAppErrorFileAccess, path.c_str());
    show_app_error();
  }
  destroy_windows();
  ui_shutdown();
  return code;
}
