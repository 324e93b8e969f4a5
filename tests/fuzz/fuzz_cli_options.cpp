// libFuzzer target for the command line of numerion-cli.
//
// Input: the arguments, separated by NUL bytes. Invariants: a parse that succeeds gives values
// the program can apply, one that fails says why; integers read strictly
// (decimal digits only).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/options.h"
#include "tests/fuzz/fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> args = fuzz::append_arguments({"numerion-cli"}, data, size);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  CliOptions options;
  std::string error;
  const bool ok = parse_cli_options(static_cast<int>(args.size()), argv.data(), options, error);
  if (ok) {
    const std::uint32_t t = options.type;
    if (t != 1 && t != 2 && t != 10 && t != 11) __builtin_trap();
    if (options.digits < 1 || options.digits > 10005) __builtin_trap();
    if (!options.no_guard && options.digits > 10000) __builtin_trap();
    const int b = options.base;
    if (b != 2 && b != 8 && b != 10 && b != 16) __builtin_trap();
    if (options.decimal_sep == options.thousands_sep) __builtin_trap();
  } else if (error.empty()) {
    __builtin_trap();
  }
  // The integer reader: strict decimal within the bounds, for every argument.
  for (const std::string& a : args) {
    std::int64_t v = 0;
    if (parse_cli_int(a, 0, 100000, v)) {
      if (a.find_first_not_of("0123456789") != std::string::npos) __builtin_trap();
      if (v < 0 || v > 100000 || std::stoll(a) != v) __builtin_trap();
    }
    (void)is_cli_operand(a);
  }
  return 0;
}
