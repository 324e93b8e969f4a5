#include "cli/number_theory.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_error.h"
#include "app/messages.h"
#include "app/utf8.h"
#include "cli/subcommand.h"
#include "core/decfloat.h"
#include "core/text.h"
#include "primes/factors.h"
#include "primes/primes_run.h"
#include "primes/start_checks.h"

namespace {

const char* const kUsage =
    "usage: numerion-cli primes [--probabilistic] [--hex] [--group]\n"
    "                           (--test N | --next N | --interval N SIZE)\n"
    "       numerion-cli factors [--divisors [--count]] [--hex] [--group] N [SIZE]\n"
    "primes: the exact method (up to 2^128 - 1) or the probabilistic one (up to 1252 digits);\n"
    "factors: prime factors or divisors of N, N+1, ... (SIZE numbers, 1 to 1000000).\n"
    "--lang en|de: the language of the texts (default en).\n"
    "Exit status: 0 success, 1 invalid input or a failed run, 2 bad options, 130 stopped.\n";

int usage(const std::string& reason) {
  return usage_failure(kUsage, reason);
}

// Writes a piece with "\r\n" turned into "\n", and remembers whether a line is open.
class Printer {
 public:
  void operator()(std::u16string_view piece) {
    std::u16string text;
    for (std::size_t i = 0; i < piece.size(); ++i) {
      if (piece[i] == u'\r' && i + 1 < piece.size() && piece[i + 1] == u'\n') continue;
      text.push_back(piece[i]);
    }
    if (text.empty()) return;
    const std::string bytes = utf16_to_utf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
    line_open_ = bytes.back() != '\n';
  }
  void end_line() {
    if (line_open_) (*this)(u"\n");
  }

 private:
  bool line_open_ = false;
};

std::u16string to_u16(const char* arg) {
  std::u16string out;
  if (!utf8_to_utf16(arg, out)) out.assign(1, u'\ufffd');
  return out;
}

int finish(Printer& printer) {
  printer.end_line();
  return finish_subcommand();
}

int run_primes(const std::vector<std::string>& args) {
  bool probabilistic = false, hex = false, group = false;
  PrimeMode mode = PrimeMode::Test;
  bool mode_set = false;
  std::vector<std::string> operands;
  for (const std::string& a : args) {
    if (a == "--probabilistic") {
      probabilistic = true;
    } else if (a == "--hex") {
      hex = true;
    } else if (a == "--group") {
      group = true;
    } else if (a == "--test" || a == "--next" || a == "--interval") {
      if (mode_set) return usage("only one of --test, --next, --interval");
      mode_set = true;
      mode = a == "--test" ? PrimeMode::Test
                           : (a == "--next" ? PrimeMode::NextPrime : PrimeMode::Interval);
    } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
      return usage("unknown option '" + a + "'");
    } else {
      operands.push_back(a);
    }
  }
  const std::size_t wanted = mode == PrimeMode::Interval ? 2 : 1;
  if (!mode_set) return usage("one of --test, --next, --interval is needed");
  if (operands.size() != wanted) return usage("wrong number of operands");

  Printer printer;
  PrimesRunParams p;
  p.method = probabilistic ? PrimeMethod::Probabilistic : PrimeMethod::Exact;
  p.mode = mode;
  p.flags = number_write_flags(hex, group);
  p.output = [&printer](std::u16string_view piece) { printer(piece); };
  const std::uint32_t read = number_read_flags(hex);
  {
    ContextScope size(ContextScope::kSizes);
    biguint_set_limbs(primes_method_limbs(p.method));
    p.start.assign(static_cast<std::size_t>(BigUIntLimbs), 0);
    if (!read_start_number(to_u16(operands[0].c_str()), read, p.start.data())) {
      return finish(printer);
    }
  }
  p.size = kNextPrimeSize;
  if (mode == PrimeMode::Interval &&
      !read_primes_interval_size(to_u16(operands[1].c_str()), read, p.size)) {
    return finish(printer);
  }
  primes_run(p);
  return finish(printer);
}

int run_factors(const std::vector<std::string>& args) {
  bool divisors = false, count = false, hex = false, group = false;
  std::vector<std::string> operands;
  for (const std::string& a : args) {
    if (a == "--divisors") {
      divisors = true;
    } else if (a == "--count") {
      count = true;
    } else if (a == "--hex") {
      hex = true;
    } else if (a == "--group") {
      group = true;
    } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
      return usage("unknown option '" + a + "'");
    } else {
      operands.push_back(a);
    }
  }
  if (count && !divisors) return usage("--count needs --divisors");
  if (operands.empty() || operands.size() > 2) return usage("wrong number of operands");

  Printer printer;
  FactorsRunParams p;
  p.divisors = divisors;
  p.show_count = count;
  p.flags = number_write_flags(hex, group);
  p.output = [&printer](std::u16string_view piece) { printer(piece); };
  const std::uint32_t read = number_read_flags(hex);
  {
    ContextScope size(ContextScope::kSizes);
    biguint_set_limbs(2);
    Word start[2] = {};
    if (!read_start_number(to_u16(operands[0].c_str()), read, start)) return finish(printer);
    p.start = u128_from_biguint(start);
  }
  p.size = 1;
  if (operands.size() == 2 &&
      !read_factors_interval_size(to_u16(operands[1].c_str()), read, p.size)) {
    return finish(printer);
  }
  factors_run(p);
  return finish(printer);
}

}  // namespace

bool is_number_theory_command(const char* arg) {
  return std::strcmp(arg, "primes") == 0 || std::strcmp(arg, "factors") == 0;
}

int run_number_theory_command(int argc, char** argv) {
  std::vector<std::string> args;
  const int done = begin_subcommand(argc, argv, kUsage, args);
  if (done >= 0) return done;
  return std::strcmp(argv[1], "primes") == 0 ? run_primes(args) : run_factors(args);
}
