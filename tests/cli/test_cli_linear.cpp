// numerion-cli linear end to end: systems from files and standard input, the three number types,
// file and coefficient errors, usage errors and Ctrl+C.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/cli/cli_runner.h"

namespace {

// A file for the run, removed with the object.
struct TempFile {
  std::filesystem::path path;
  TempFile(const std::string& name, const std::string& bytes)
      : path(std::filesystem::temp_directory_path() /
             ("numerion_cli_" + std::to_string(::getpid()) + "_" + name)) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  ~TempFile() { std::filesystem::remove(path); }
  std::string str() const { return path.string(); }
};

const std::string kExample = "a1;a2;b\r\n1;1;3\r\n1;-1;1\r\n";

}  // namespace

TEST(CliLinear, Solves) {
  const TempFile tf("ex.csv", kExample);
  const std::string file = tf.str();
  for (const char* type : {"rat", "real", "cplx"}) {
    const CliRun r = run_cli({"linear", "-t", type, file});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "x1 = 2\nx2 = 1\n");
  }
  const CliRun in = run_cli({"linear", "-t", "rat", "-"}, "a1;a2;b\n1;3/4;1/2\n2;3/2;1\n");
  EXPECT_EQ(in.status, 0) << in.err;
  EXPECT_EQ(in.out, "x1 = 1/2-(3/4)*r\nx2 = r\n\nThe parameter variable r is freely selectable.\n");
  // 2/3 at 25 digits and with thousands separators.
  const CliRun p = run_cli({"linear", "-p", "25", "-"}, "a1;a2;b\n3;0;2\n0;1;1234567\n");
  EXPECT_EQ(p.out, "x1 = 0.6666666666666666666666667\nx2 = 1234567\n");
  const CliRun g = run_cli({"linear", "--group", "-"}, "a1;a2;b\n3;0;2\n0;1;1234567\n");
  EXPECT_EQ(g.out, "x1 = 0.6666666667\nx2 = 1'234'567\n");
  // A character beyond ASCII in UTF-8: pi.
  const CliRun pi = run_cli({"linear", "-p", "12", "-"}, "a1;a2;b\n1;0;\xcf\x80\n0;1;0\n");
  EXPECT_EQ(pi.out, "x1 = 3.14159265359\nx2 = 0\n");
}

TEST(CliLinear, Errors) {
  const CliRun missing = run_cli({"linear", "/nonexistent/none.csv"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "error: The file \"/nonexistent/none.csv\" was not found!\n");
  const CliRun header = run_cli({"linear", "-"}, "a1\n1;2\n");
  EXPECT_EQ(header.status, 1);
  EXPECT_EQ(header.err, "error: The number of equation variables has to be between 2 and 25!\n");
  const TempFile ef("empty.csv", "");
  const CliRun empty = run_cli({"linear", ef.str()});
  EXPECT_EQ(empty.status, 1);
  EXPECT_EQ(empty.err, header.err);
  const CliRun cell = run_cli({"linear", "-"}, "a1;a2;b\n1;2;3\n4;5;sin(\n");
  EXPECT_EQ(cell.status, 1);
  EXPECT_EQ(cell.out, "");
  EXPECT_EQ(cell.err.rfind("error: Error evaluating coefficient in equation 2, column \"b\"", 0),
            0u)
      << cell.err;
  const CliRun too_long =
      run_cli({"linear", "-"}, "a1;a2;b\n1;2;" + std::string(1031, '1') + "\n4;5;6\n");
  EXPECT_EQ(too_long.status, 1);
  // The reader keeps 1029 characters and an ellipsis, so the cell fails as a formula.
  EXPECT_NE(too_long.err.find("equation 1, column \"b\""), std::string::npos) << too_long.err;
  for (std::vector<std::string> args : {std::vector<std::string>{"linear"},
                                        {"linear", "-t", "uint", "-"},
                                        {"linear", "-p", "4", "-"},
                                        {"linear", "-p", "1001", "-"},
                                        {"linear", "-p"},
                                        {"linear", "a.csv", "b.csv"},
                                        {"linear", "--frobnicate", "-"}}) {
    const CliRun r = run_cli(args, kExample);
    EXPECT_EQ(r.status, 2) << args.size();
    EXPECT_NE(r.err.find("usage: numerion-cli linear"), std::string::npos);
  }
  const CliRun help = run_cli({"--help"});
  EXPECT_NE(help.out.find("linear [-t real|cplx|rat]"), std::string::npos);
}

TEST(CliLinear, InterruptWhileReading) {
  CliRequest req;
  req.args = {"linear", "-"};
  req.input = "a1;a2;b\n1;1;";
  req.close_input = false;
  req.interrupt_after_ms = 300;
  const CliRun r = run_cli(req);
  EXPECT_EQ(r.status, 130);
  EXPECT_EQ(r.err, "stopped\n");
  EXPECT_EQ(r.out, "");
}
