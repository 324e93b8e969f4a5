// numerion-cli roots and poly end to end: the result field's text with "\n" line ends, the
// messages of refused coefficients, usage errors and Ctrl+C. Approximations are well-known
// constants (sqrt(2), the golden ratio) to the requested digits.
#include <gtest/gtest.h>

#include <string>

#include "tests/cli/cli_runner.h"

namespace {

CliRun failed(std::vector<std::string> args, int status) {
  CliRun r = run_cli(std::move(args));
  EXPECT_EQ(r.status, status) << r.out << r.err;
  return r;
}

}  // namespace

TEST(CliRoots, ApproximationAndExactValues) {
  EXPECT_EQ(cli_ok({"roots", "2", "1"}), "x1 = -0.5   [1]\n");
  EXPECT_EQ(cli_ok({"roots", "1", "0", "-2"}), "x1 = -1.414213562   [1]\nx2 = 1.414213562   [1]\n");
  EXPECT_EQ(cli_ok({"roots", "-p", "25", "1", "0", "-2"}),
            "x1 = -1.414213562373095048801689   [1]\nx2 = 1.414213562373095048801689   [1]\n");
  EXPECT_EQ(cli_ok({"roots", "--no-multiplicity", "1", "-1", "-1"}),
            "x1 = -0.6180339887\nx2 = 1.618033989\n");
  EXPECT_EQ(cli_ok({"roots", "1", "0", "1"}), "The equation has no real solutions.\n");
  EXPECT_EQ(cli_ok({"roots", "--complex", "1", "0", "1"}), "x1 = -i   [1]\nx2 = i   [1]\n");
  EXPECT_EQ(cli_ok({"roots", "--exact", "2", "-3", "-2", "3"}),
            "x1 = -1   [1]\nx2 = 1   [1]\nx3 = 3/2 \u2248 1.5   [1]\n");
  EXPECT_EQ(cli_ok({"roots", "--exact", "1", "-1", "-2", "2"}),
            "x1 = -sqrt(2) \u2248 -1.414213562   [1]\nx2 = 1   [1]\n"
            "x3 = sqrt(2) \u2248 1.414213562   [1]\n");
  EXPECT_EQ(cli_ok({"roots", "--exact", "--complex", "1", "0", "1"}),
            "x1 = -1*i   [1]\nx2 = 1*i   [1]\n");
  EXPECT_EQ(cli_ok({"roots", "--exact", "1", "-1/4", "0", "0"}),
            "x1 = 0   [2]\nx2 = 1/4 \u2248 0.25   [1]\n");
  // Formulas as coefficients; a leading minus before a digit or "(" is a coefficient.
  EXPECT_EQ(cli_ok({"roots", "--exact", "2^2", "-(-4)", "1"}), "x1 = -1/2 \u2248 -0.5   [2]\n");
}

TEST(CliRoots, RefusedInput) {
  CliRun r = failed({"roots", "0", "1", "1"}, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "error: The highest coefficient \"a2\" must not be 0!\n");
  r = failed({"roots", "1", "2*(", "1"}, 1);
  EXPECT_EQ(r.err.rfind("error: Error evaluating coefficient \"a1\"", 0), 0u);
  EXPECT_GT(r.err.size(), std::string("error: Error evaluating coefficient \"a1\"!\n").size());
  r = failed({"roots", "1", "i", "1"}, 1);
  EXPECT_EQ(r.err, "error: The coefficient \"a1\" has to be real!\n");
  EXPECT_EQ(cli_ok({"roots", "--complex", "1", "i"}), "x1 = -i   [1]\n");
  r = failed({"roots", "--exact", "1", "1/2", "pi"}, 1);
  EXPECT_EQ(r.err.rfind("error: The coefficient \"a0\" is not a rational number", 0), 0u);
  r = failed({"roots", "1", std::string(1031, '1')}, 1);
  EXPECT_EQ(r.err, "error: Coefficient \"a0\" has too many characters!\n");
}

TEST(CliRoots, UsageErrors) {
  for (std::vector<std::string> args :
       {std::vector<std::string>{"roots", "1"},
        {"roots", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1"},
        {"roots", "-p", "4", "1", "1"},
        {"roots", "-p", "2001", "1", "1"},
        {"roots", "-p", "1001", "1", "1", "1", "1", "1", "1"},
        {"roots", "-p", "751", "1", "1", "1", "1", "1", "1", "1", "1", "1"},
        {"roots", "--real", "1", "1"},
        {"roots", "1", "1", "-p"}}) {
    const CliRun r = failed(args, 2);
    EXPECT_NE(r.err.find("usage: numerion-cli roots"), std::string::npos);
  }
  // The limits themselves are accepted (x^8 = 0 needs no iteration).
  EXPECT_EQ(cli_ok({"roots", "-p", "750", "1", "0", "0", "0", "0", "0", "0", "0", "0"}),
            "x1 = 0   [8]\n");
  EXPECT_NE(cli_ok({"roots", "--precision=5", "1", "1"}).find("x1 = -1"), std::string::npos);
}

TEST(CliRoots, InterruptStops) {
  CliRequest req;
  // A coefficient near the end of the exponent range leaves the roots to the iteration at
  // some 9,900 digits: about a second with the fast products, the longest run the limits allow.
  req.args = {"roots", "--complex", "-p", "750",   "1e20000000000000000",
              "1",     "1",         "1",  "1",     "1",
              "1",     "1",         "1",  "1/3+i", "-2"};
  req.interrupt_after_ms = 100;
  const CliRun r = run_cli(req);
  EXPECT_EQ(r.status, 130);
  EXPECT_EQ(r.err, "stopped\n");
  EXPECT_EQ(r.out, "");
}

TEST(CliPoly, Operations) {
  EXPECT_EQ(cli_ok({"poly", "div", "-t", "rat", "1,0,-1", "1,-1"}),
            "P0(x) / P1(x) = b1*x + b0    Remainder    r0\n\nb1 = 1\nb0 = 1\n\nr0 = 0\n");
  EXPECT_EQ(cli_ok({"poly", "pow", "1,1", "3"}),
            "P0(x) ^ 3 = b3*x^3 + b2*x^2 + b1*x + b0\n\nb3 = 1\nb2 = 3\nb1 = 3\nb0 = 1\n");
  // Missing high coefficients are zeros: P1 = 1 and P2 = 2 are constants.
  EXPECT_EQ(cli_ok({"poly", "sub", "1,2,3", "1", "2"}),
            "P0(x) - P1(x) - P2(x) = b2*x^2 + b1*x + b0\n\nb2 = 1\nb1 = 2\nb0 = 0\n");
  EXPECT_EQ(cli_ok({"poly", "mul", "-t", "cplx", "1,i", "1,-i"}),
            "P0(x) * P1(x) = b2*x^2 + b1*x + b0\n\nb2 = 1\nb1 = 0\nb0 = 1\n");
  EXPECT_EQ(cli_ok({"poly", "add", "--degree", "3", "1,0", "-(1),2"}),
            "P0(x) + P1(x) = b0\n\nb0 = 2\n");
  EXPECT_EQ(cli_ok({"poly", "div", "-p", "5", "1,0", "3"}),
            "P0(x) / P1(x) = b1*x + b0    Remainder    r0\n\nb1 = 0.33333\nb0 = 0\n\nr0 = 0\n");
}

TEST(CliPoly, ErrorsAndUsage) {
  CliRun r = failed({"poly", "pow", "1,1", "21"}, 1);
  EXPECT_EQ(r.err, "error: The polynomial \"P1(x)\" must be an integer number from 0 to 20!\n");
  const std::string x11 = "1,0,0,0,0,0,0,0,0,0,0,0";  // x^11
  r = failed({"poly", "mul", x11, x11}, 1);
  EXPECT_EQ(r.err, "error: The maximum polynomial degree of the result may not exceed 20!\n");
  r = failed({"poly", "div", "1,1", "0,0"}, 1);
  EXPECT_EQ(r.err, "error: Division by 0!\n");
  r = failed({"poly", "add", "1,2*(", "1"}, 1);
  EXPECT_EQ(r.err.rfind("error: Error evaluating coefficient \"a0\" in polynomial \"P0(x)\"", 0),
            0u);
  for (std::vector<std::string> args : {std::vector<std::string>{"poly", "add", "1"},
                                        {"poly", "root", "1", "1"},
                                        {"poly", "div", "1", "1", "1"},
                                        {"poly", "pow", "1", "1", "1"},
                                        {"poly", "add", "--degree", "1", "1,2,3", "1"},
                                        {"poly", "add", "--degree", "21", "1", "1"},
                                        {"poly", "add", "-t", "uint", "1", "1"},
                                        {"poly", "add", "-p", "1001", "1", "1"},
                                        {"poly", "add", "--frobnicate", "1", "1"}}) {
    const CliRun u = failed(args, 2);
    EXPECT_NE(u.err.find("usage: numerion-cli roots"), std::string::npos);
  }
}
