#include "cli/linear_command.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/app_error.h"
#include "app/messages.h"
#include "cli/subcommand.h"
#include "core/decfloat.h"
#include "core/text.h"
#include "core/thread_scratch.h"
#include "formula/formula.h"
#include "solvers/linear_page.h"

namespace {

const char* const kUsage =
    "usage: numerion-cli linear [-t real|cplx|rat] [-p P] [--group] FILE.csv\n"
    "Solves the system of 2 to 25 linear equations of a \";\"-separated file (a header line\n"
    "a1;...;an;b, then one line per equation; \"-\" reads standard input) and prints the\n"
    "solution as the linear-systems page shows it. -p: digits 5..1000 (default 10) for real\n"
    "and complex systems; --group: thousands separators.\n"
    "--lang en|de: the language of the texts (default en).\n"
    "Exit status: 0 success, 1 a file or coefficient error, 2 bad options, 130 stopped.\n";

int usage(const std::string& reason) {
  return usage_failure(kUsage, reason);
}

// Standard input through the same reader as a file.
bool load_stdin(LinearGrid& grid) {
  CsvReadState st;
  csv_read_begin(st, grid);
  unsigned char block[4096];
  for (;;) {
    const std::size_t n = std::fread(block, 1, sizeof block, stdin);
    if (n > 0 && !csv_read_feed(st, block, n)) break;
    if (n < sizeof block) break;
  }
  csv_read_end(st);
  if (std::ferror(stdin) && !cancel_requested()) set_app_error(kAppErrorFileAccess, u"-");
  if (st.failed && app_error_code() == 0) set_app_error(kAppErrorFileAccess, u"-");
  if (!st.header_done && app_error_code() == 0) set_app_error(3402, u"25");
  return app_error_code() == 0;
}

}  // namespace

int run_linear_command(int argc, char** argv) {
  std::vector<std::string> args;
  const int done = begin_subcommand(argc, argv, kUsage, args);
  if (done >= 0) return done;

  LinearRequest req;
  std::string file;
  bool have_file = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "-t" || a == "--type" || a == "-p" || a == "--precision") {
      if (i + 1 >= args.size()) return usage("missing value after " + a);
      const std::string& v = args[++i];
      if (a == "-t" || a == "--type") {
        if (v == "real") {
          req.type = kTypeReal;
        } else if (v == "cplx") {
          req.type = kTypeComplex;
        } else if (v == "rat") {
          req.type = kTypeRational;
        } else {
          return usage("unknown number type '" + v + "'");
        }
      } else {
        std::size_t used = 0;
        long long p = 0;
        try {
          p = std::stoll(v, &used);
        } catch (...) {
          used = 0;
        }
        if (used != v.size() || v.empty() || p < 5 || p > 1000) {
          return usage("precision must be 5..1000");
        }
        req.digits = p;
      }
    } else if (a == "--group") {
      req.grouping = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return usage("unknown option '" + a + "'");
    } else if (have_file) {
      return usage("only one file");
    } else {
      file = a;
      have_file = true;
    }
  }
  if (!have_file) return usage("a CSV file (or \"-\") is needed");

  LinearGrid grid;
  bool header = false;
  bool loaded = file == "-" ? load_stdin(grid) : LoadCsv(file, grid, &header);
  if (loaded && file != "-" && !header) {
    set_app_error(3402, u"25");  // nothing to solve: no complete header line
    loaded = false;
  }
  if (!loaded || cancel_requested()) return finish_subcommand();
  req.grid = &grid;
  std::u16string result;
  thread_scratch_init();  // the formula engine's buffers
  const bool solved = RunLinearSolve(req, result);
  thread_scratch_free();
  write_now(stdout, field_text_utf8(result));
  if (!solved && app_error_code() == 0) set_app_error(kAppErrorInternal);
  return finish_subcommand();
}
