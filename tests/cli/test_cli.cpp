// numerion-cli end to end: every type, notation and base, errors with positions, the exit
// statuses and the input it must survive. Expected numbers come from Python's decimal,
// fractions and mpmath.
#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <string>

#include "tests/cli/cli_runner.h"

namespace {

void expect_usage_error(std::vector<std::string> args) {
  std::string shown;
  for (const std::string& a : args) shown += a + " ";
  const CliRun r = run_cli(std::move(args));
  EXPECT_EQ(r.status, 2) << shown;
  EXPECT_EQ(r.out, "") << shown;
  EXPECT_NE(r.err.find("usage: numerion-cli"), std::string::npos) << shown;
}

}  // namespace

TEST(Cli, RealType) {
  EXPECT_EQ(cli_ok({"1/7", "sqrt(2)", "(1+2"}), "0.1428571428571429\n1.414213562373095\n3\n");
  EXPECT_EQ(cli_ok({"eval", "-p", "50", "exp(1)"}),
            "2.7182818284590452353602874713526624977572470937\n");
  EXPECT_EQ(cli_ok({"-p5", "123456", "12345"}), "1.2346e+5\n12345\n");
}

TEST(Cli, TenThousandDigits) {
  const std::string pi = cli_ok({"-p", "10000", "pi"});
  ASSERT_EQ(pi.size(), 10002u);  // "3." 9999 digits, newline
  EXPECT_EQ(pi.substr(0, 12), "3.1415926535");
  EXPECT_EQ(pi.substr(pi.size() - 26), "8815920560010165525637568\n");
  const std::string e = cli_ok({"--precision=10000", "exp(1)"});
  EXPECT_EQ(e.substr(e.size() - 26), "9905198704230017946553679\n");
  const std::string sqrt2 = cli_ok({"-p", "10000", "sqrt(2)"});
  EXPECT_EQ(sqrt2.substr(sqrt2.size() - 26), "5046746555323028587325835\n");
  // Exactly 10005 digits without guard digits.
  const std::string pi5 = cli_ok({"--no-guard", "-p", "10005", "pi"});
  EXPECT_EQ(pi5.substr(pi5.size() - 26), "2056001016552563756785667\n");
}

TEST(Cli, OtherTypes) {
  EXPECT_EQ(cli_ok({"-t", "cplx", "1/(1+i)", "(1+2i)*(3-i)", "-i*i"}), "0.5-0.5i\n5+5i\n1\n");
  EXPECT_EQ(cli_ok({"-t", "rat", "1/3+1/6", "-7/2"}), "1/2\n-7/2\n");
  EXPECT_EQ(cli_ok({"-t", "uint", "2^100", "fact(30)"}),
            "1267650600228229401496703205376\n265252859812191058636308480000000\n");
  EXPECT_EQ(cli_ok({"--type", "uint", "3^40"}), "12157665459056928801\n");
}

TEST(Cli, Notations) {
  EXPECT_EQ(cli_ok({"-n", "fixed", "1e30", "1e-10"}),
            "1000000000000000000000000000000\n0.0000000001\n");
  EXPECT_EQ(cli_ok({"-n", "sci", "12345", "-0.5"}), "1.2345e+4\n-5e-1\n");
  EXPECT_EQ(cli_ok({"-t", "rat", "-n", "mixed", "--", "-7/2", "-1/2", "7/2"}),
            "-3-1/2\n0-1/2\n3+1/2\n");
  EXPECT_EQ(cli_ok({"-t", "rat", "-p", "10", "-n", "fixed", "22/7"}), "3.142857143\n");
  // The text does not fit, so "ans" stays empty and counts as absent.
  const CliRun r = run_cli({"-n", "fixed", "1e100000", "ans"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "<Number is too long for fixed-point notation>\n\n");
}

TEST(Cli, BasesAndGrouping) {
  EXPECT_EQ(cli_ok({"-t", "uint", "-b", "16", "2^64-1", "ans+1"}),
            "0xFFFFFFFFFFFFFFFF\n0x10000000000000000\n");
  EXPECT_EQ(cli_ok({"-t", "uint", "-b", "16", "--lower-hex", "255"}), "0xff\n");
  EXPECT_EQ(cli_ok({"-t", "uint", "-b", "2", "10"}), "0y1010\n");
  EXPECT_EQ(cli_ok({"-t", "uint", "-b", "8", "64"}), "0t100\n");
  EXPECT_EQ(cli_ok({"-g", "1234567.891"}), "1'234'567.891\n");
  EXPECT_EQ(cli_ok({"-g", "--decimal-separator", "comma", "--thousands-separator", "point",
                    "1234567,5+0,25"}),
            "1.234.567,75\n");
  EXPECT_EQ(cli_ok({"-g", "--thousands-separator", "space", "1234567"}), "1\u202f234\u202f567\n");
}

TEST(Cli, OperandsAnsAndVariables) {
  EXPECT_EQ(cli_ok({"-5+2", "-0.5", "-(2*3)", "2", "ans*ans"}), "-3\n-0.5\n-6\n2\n4\n");
  const CliRun point = run_cli({"-.5"});  // a formula, though not a valid one
  EXPECT_EQ(point.status, 1);
  EXPECT_EQ(point.err,
            "error: Error in mathematical formula. Syntax error at character position 2!\n");
  EXPECT_EQ(cli_ok({"--var", "x=2", "--var=y_1=0.5", "x^10*y_1"}), "512\n");
  EXPECT_EQ(cli_ok({"--decimal-separator", "comma", "--var", "x=1,5", "x*2"}), "3\n");
  const CliRun dash = run_cli({"--", "-t"});  // after "--" even "-t" is a formula
  EXPECT_EQ(dash.status, 1);
  EXPECT_EQ(dash.out, "\n");
}

TEST(Cli, InexactIndicator) {
  EXPECT_EQ(cli_ok({"-t", "uint", "7/2", "8/2"}), "3  [inexact]\n4\n");
  EXPECT_EQ(cli_ok({"-t", "uint", "7/2+4/2", "log2(9)+log2(8)"}), "5  [inexact]\n6  [inexact]\n");
}

TEST(Cli, FormulaErrorsKeepGoing) {
  const CliRun r = run_cli({"1+", "2*foo", "4", "1/0"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "\n\n4\n\n");
  EXPECT_EQ(r.err,
            "error: Error in mathematical formula. Unexpected end of formula!\n"
            "error: Error in mathematical formula. The variable at character position 3 was not "
            "found in the variable table!\n"
            "error: Error in mathematical formula. Division by zero at character position 4!\n");
  const CliRun de = run_cli({"--lang", "de", "1+"});
  EXPECT_EQ(de.status, 1);
  EXPECT_NE(de.err.find("Unerwartetes Ende der Formel!"), std::string::npos) << de.err;
  // Each cause of an arithmetic error has its own text.
  EXPECT_EQ(run_cli({"--lang", "de", "ln(-1)"}).err,
            "error: Fehler in der mathematischen Formel. Argument außerhalb des "
            "Definitionsbereichs der Funktion bei Zeichenposition 6!\n");
  EXPECT_EQ(run_cli({"-t", "cplx", "fact(i)"}).err,
            "error: Error in mathematical formula. Complex argument at character position 7: the "
            "function needs a real argument!\n");
  // A prefixed integer is no real number.
  const CliRun prefix = run_cli({"0xff"});
  EXPECT_EQ(prefix.status, 1);
}

TEST(Cli, RationalFallbackKeepsReal) {
  const CliRun r = run_cli({"-t", "rat", "sqrt(2)", "1/4"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "1.414213562373095\n0.25\n");
  EXPECT_EQ(r.err, "note: no rational result; switched to the real type\n");
}

TEST(Cli, UsageErrors) {
  expect_usage_error({"--bogus"});
  expect_usage_error({"-x", "1"});
  expect_usage_error({"-"});
  expect_usage_error({"-p"});
  expect_usage_error({"-p", "0"});
  expect_usage_error({"-p", "10001"});  // above 10000 only with --no-guard
  expect_usage_error({"--no-guard", "-p", "10006"});
  expect_usage_error({"-p", "16x"});
  expect_usage_error({"-t", "int"});
  expect_usage_error({"-b", "3"});
  expect_usage_error({"-n", "eng"});
  expect_usage_error({"--var", "1x=3"});
  expect_usage_error({"--var", "pi=3"});
  expect_usage_error({"--var", "x"});
  expect_usage_error({"--lang", "fr"});
  expect_usage_error({"--group=yes"});
  expect_usage_error({"--decimal-separator", "comma", "--thousands-separator", "comma"});
  const CliRun help = run_cli({"-h"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: numerion-cli", 0), 0u);
  const CliRun version = run_cli({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "numerion-cli " NUMERION_TEST_VERSION "\n");
}

TEST(Cli, StandardInput) {
  EXPECT_EQ(cli_ok({}, "1+1\n2*ans\r\n(3\n"), "2\n4\n3\n");
  EXPECT_EQ(cli_ok({"-t", "uint", "-b", "16"}, "255\nans+1"), "0xFF\n0x100\n");
  const CliRun bad = run_cli({}, "1\n\xff\xfe\n2\n");
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.out, "1\n\n2\n");
  EXPECT_EQ(bad.err.rfind("error: Invalid input", 0), 0u) << bad.err;
  const CliRun empty = run_cli({}, "\n");
  EXPECT_EQ(empty.status, 1);
  EXPECT_EQ(empty.out, "\n");
}

TEST(Cli, HostileInputNeverCrashes) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<char>((i * 7919) % 256));
  const CliRun g = run_cli({}, garbage + "\n");
  EXPECT_EQ(g.status, 1);
  EXPECT_EQ(g.err.find("stopped"), std::string::npos);
  // One line of a megabyte: a sum that the engine must read to the end.
  std::string big = "1";
  while (big.size() < 1000000) big += "+1";
  const CliRun b = run_cli({}, big + "\n");
  EXPECT_EQ(b.status, 0) << b.err;
  EXPECT_EQ(b.out, "500001\n");
  const CliRun parens = run_cli({std::string(100000, '(') + "1"});
  EXPECT_EQ(parens.status, 1);
  EXPECT_EQ(parens.out, "\n");
  const CliRun nul = run_cli({}, std::string("1+\0"
                                             "2\n",
                                             5));
  EXPECT_EQ(nul.status, 1);
}

TEST(Cli, InterruptStops) {
  CliRequest req;
  req.args = {"-t", "uint", "powmod(3; 10^19999-1; 10^19999+7)", "1"};
  req.interrupt_after_ms = 300;
  const CliRun r = run_cli(req);
  EXPECT_EQ(r.status, 130);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "stopped\n");
  // Waiting for the next line of input.
  CliRequest wait;
  wait.input = "1+1\n";
  wait.close_input = false;
  wait.interrupt_after_ms = 300;
  const CliRun w = run_cli(wait);
  EXPECT_EQ(w.status, 130);
  EXPECT_EQ(w.out, "2\n");
}

TEST(Cli, TimeAndNoSettingsFile) {
  const std::filesystem::path home =
      std::filesystem::temp_directory_path() / ("numerion-cli-test-" + std::to_string(getpid()));
  std::filesystem::create_directories(home);
  CliRequest req;
  req.args = {"--time", "1+1"};
  req.home = home.string();
  const CliRun r = run_cli(req);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "2\n");
  EXPECT_EQ(r.err.rfind("time: ", 0), 0u) << r.err;
  EXPECT_TRUE(std::filesystem::is_empty(home));
  std::filesystem::remove_all(home);
}
