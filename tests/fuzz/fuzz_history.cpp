// libFuzzer target for the history file of numerion-cli and the calculator.
//
// Input: the file's bytes. Invariants: entries are non-empty single lines; written back they read
// as the entries the list keeps (no blanks, no direct repeats, the newest kHistoryLimit).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/history_file.h"

namespace {

// In memory where the system offers it: every save waits for the disk otherwise.
std::filesystem::path scratch_folder() {
  std::error_code ec;
  const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                         ? std::filesystem::path("/dev/shm")
                                         : std::filesystem::temp_directory_path();
  std::string pattern = (base / "numerion_fuzz_XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) __builtin_trap();
  return pattern;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path folder = scratch_folder();
  static const bool cleanup = [] {
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(folder, ec);
    });
    return true;
  }();
  (void)cleanup;
  const std::filesystem::path in_path = folder / "in.txt";
  const std::filesystem::path out_path = folder / "history.txt";
  {
    std::ofstream out(in_path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const std::vector<std::string> entries = read_history_file(in_path);
  for (const std::string& e : entries) {
    if (e.empty() || e.find('\n') != std::string::npos || e.back() == '\r') __builtin_trap();
  }
  std::vector<std::string> kept;
  for (const std::string& e : entries) add_history_entry(kept, e);
  if (kept.size() > kHistoryLimit) kept.erase(kept.begin(), kept.end() - kHistoryLimit);
  std::error_code ec;
  std::filesystem::remove(out_path, ec);
  if (!append_history_file(out_path, entries)) __builtin_trap();
  if (read_history_file(out_path) != kept) __builtin_trap();
  return 0;
}
