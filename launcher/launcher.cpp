#include "launcher/launcher.h"

#include <cstdio>

#include "launcher/launcher_platform.h"

namespace {

void report(const std::string& text) {
  // The text always goes to stderr: the box may not be seen, or may not be possible at all.
  std::fprintf(stderr, "Error: %s\n", text.c_str());
  std::fflush(stderr);
  if (launcher_display_available()) launcher_message_box(text);
}

int report_code(int code) {
  report("Internal " + std::to_string(code) + " error occurred.");
  return 1;
}

std::string bare_name(const std::string& path) {
  const std::size_t cut = path.rfind(launcher_path_separator());
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string folder_of(const std::string& path) {
  const std::size_t cut = path.rfind(launcher_path_separator());
  if (cut == std::string::npos) return std::string();
  return cut == 0 ? path.substr(0, 1) : path.substr(0, cut);
}

}  // namespace

std::string launcher_copy_name(std::string_view name, std::size_t extension_length,
                               int alternative) {
  if (alternative == 0) return std::string(name);
  const std::size_t stem = name.size() - extension_length;
  std::string result(name.substr(0, stem));
  result += '(';
  result += static_cast<char>('0' + alternative);
  result += ')';
  result += name.substr(stem);
  return result;
}

int launcher_main() {
  const std::string module = launcher_module_path();
  const std::size_t extension = launcher_program_extension().size();
  // The module path needs at least its extension (or one character where there is none).
  if (module.size() < (extension > 0 ? extension : 1) ||
      module.size() > launcher_max_module_path()) {
    return report_code(kLauncherBadLength);
  }
  if (extension > 0 && module[module.size() - extension] != '.') {
    return report_code(kLauncherBadExtension);
  }
  const std::string data_path = module.substr(0, module.size() - extension) + ".dat";
  if (launcher_data_kind(data_path) != DataKind::File) {
    report("File \"" + bare_name(data_path) + "\" not found!");
    return 1;
  }

  LaunchCopy* copy = launch_copy_open(data_path);
  if (copy == nullptr) return report_code(kLauncherCopyFailed);
  // The copy keeps the launcher's own name, so that it carries the program extension; a name
  // that is taken (a previous instance still runs) moves on to "(1)" … "(9)".
  const std::string name = bare_name(module);
  CopyResult written = CopyResult::InUse;
  for (int alternative = 0; alternative <= 9 && written == CopyResult::InUse; ++alternative) {
    written = launch_copy_write(copy, launcher_copy_name(name, extension, alternative));
  }
  if (written != CopyResult::Written) {
    launch_copy_close(copy);
    return report_code(kLauncherCopyFailed);
  }
  const bool started = launch_copy_run(copy, folder_of(module));
  launch_copy_close(copy);
  if (!started) return report_code(kLauncherStartFailed);
  return 0;
}
