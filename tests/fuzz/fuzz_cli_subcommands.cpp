// libFuzzer target for the subcommands of numerion-cli: roots, poly, primes, factors and linear,
// run as the program runs them.
//
// Input: NUL-separated arguments. The first byte picks the subcommand; for linear, the last
// argument is the text of the file, written to a temporary file whose name replaces it (the
// command must not read arbitrary paths or standard input here). A watchdog raises the stop
// request after 2 s, so long runs end as a stop. Invariants: the exit status is one the usage
// texts name (0, 1, 2 or 130), and the start-up state is restored for the next input.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/linear_command.h"
#include "cli/number_theory.h"
#include "cli/solver_commands.h"
#include "core/decfloat.h"
#include "tests/fuzz/fuzz_util.h"

namespace {

constexpr const char* kCommands[] = {"roots", "poly", "primes", "factors", "linear"};

std::string temporary_file() {
  char pattern[] = "/tmp/numerion-fuzz-linear-XXXXXX";
  const int fd = mkstemp(pattern);
  if (fd >= 0) close(fd);
  return pattern;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The process's stop request stands in for Ctrl+C, as the commands look at it.
  static fuzz::Watchdog watchdog(2000, &g_cancel_request);
  static const std::string csv_path = temporary_file();
  if (size == 0) return 0;
  const char* command = kCommands[data[0] % std::size(kCommands)];
  std::vector<std::string> args =
      fuzz::append_arguments({"numerion-cli", command}, data + 1, size - 1);
  const bool linear = std::string_view(command) == "linear";
  if (linear) {
    std::FILE* f = std::fopen(csv_path.c_str(), "wb");
    if (f == nullptr) return 0;
    std::fwrite(args.back().data(), 1, args.back().size(), f);
    std::fclose(f);
    args.back() = csv_path;
    for (std::size_t i = 2; i + 1 < args.size(); ++i) {
      if (args[i] == "-") return 0;                        // standard input
      if (args[i].empty() || args[i][0] != '-') return 0;  // only the generated file is read
    }
  }
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(args.size());

  watchdog.begin();
  int status = 0;
  if (linear) {
    status = run_linear_command(argc, argv.data());
  } else if (is_solver_command(command)) {
    status = run_solver_command(argc, argv.data());
  } else {
    status = run_number_theory_command(argc, argv.data());
  }
  watchdog.end();
  g_cancel_request.store(0);
  if (status != 0 && status != 1 && status != 2 && status != 130) __builtin_trap();
  return 0;
}
