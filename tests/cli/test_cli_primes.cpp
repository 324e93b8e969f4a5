// numerion-cli primes and factors end to end: the page texts with "\n" line ends, refused input,
// usage errors and Ctrl+C; and the language option that every subcommand shares.
#include <gtest/gtest.h>

#include <string>

#include "tests/cli/cli_runner.h"

TEST(CliPrimes, Modes) {
  EXPECT_EQ(cli_ok({"primes", "--interval", "10", "10"}),
            "Prime numbers from 10 to 19:\n{ 11, 13, 17, 19 }\nNumber of prime numbers: 4\n");
  EXPECT_EQ(cli_ok({"primes", "--next", "24"}), "Next prime number:\n29\n");
  EXPECT_EQ(cli_ok({"primes", "--probabilistic", "--next", "1'000'000"}),
            "Next prime number:\n1000003\n");
  EXPECT_EQ(cli_ok({"primes", "--test", "170141183460469231731687303715884105727"}),
            "170141183460469231731687303715884105727 is a prime number.\n");
  EXPECT_EQ(cli_ok({"primes", "--hex", "--group", "--test", "10001"}),
            "1'0001 is a prime number.\n");  // 65537, hex groups of four
  // 2^3217 - 1, a Mersenne prime of 969 digits, in hexadecimal.
  const CliRun big =
      run_cli({"primes", "--probabilistic", "--hex", "--test", "1" + std::string(804, 'F')});
  EXPECT_EQ(big.status, 0) << big.err;
  EXPECT_NE(big.out.find(" is a prime number.\n"), std::string::npos);
}

TEST(CliPrimes, Factors) {
  EXPECT_EQ(cli_ok({"factors", "12", "3"}), "12 = 2^2 * 3\n13 = 13\n14 = 2 * 7\n");
  EXPECT_EQ(cli_ok({"factors", "--hex", "400"}), "400 = 2^A\n");
  EXPECT_EQ(cli_ok({"factors", "--divisors", "--count", "12"}),
            "D 12 = { 1, 2, 3, 4, 6, 12 }  [6]\n");
  EXPECT_EQ(cli_ok({"factors", "1"}), "1 = Number has no prime factors!\n");
}

TEST(CliPrimes, Errors) {
  const CliRun zero = run_cli({"primes", "--test", "0"});
  EXPECT_EQ(zero.status, 1);
  EXPECT_EQ(zero.out, "");
  EXPECT_EQ(zero.err, "error: Invalid input \"0\" !\n");
  const CliRun size = run_cli({"factors", "5", "1000001"});
  EXPECT_EQ(size.status, 1);
  EXPECT_EQ(size.err, "error: Invalid input \"1000001\" !\n");
  const CliRun wrap = run_cli({"factors", "340282366920938463463374607431768211454", "3"});
  EXPECT_EQ(wrap.status, 1);
  EXPECT_EQ(std::count(wrap.out.begin(), wrap.out.end(), '\n'), 2);
  EXPECT_EQ(wrap.err, "error: Overflow in prime factor calculation!\n");
  const CliRun past =
      run_cli({"primes", "--interval", "340282366920938463463374607431768211450", "10"});
  EXPECT_EQ(past.status, 1);
  EXPECT_EQ(past.out, "Prime numbers from 340282366920938463463374607431768211450 to \n");
  EXPECT_EQ(past.err, "error: Overflow in prime number calculation!\n");
  for (std::vector<std::string> args : {std::vector<std::string>{"primes", "7"},
                                        {"primes", "--test", "7", "8"},
                                        {"primes", "--test", "7", "--next", "7"},
                                        {"factors", "--count", "7"},
                                        {"factors", "--frobnicate", "7"}}) {
    const CliRun r = run_cli(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("usage: numerion-cli primes"), std::string::npos);
  }
}

TEST(CliPrimes, InterruptKeepsOutput) {
  CliRequest req;
  // A long interval of the exact method: stopped after a while, what was printed stays.
  req.args = {"primes", "--interval", "100000000000000000000", "2000000000"};
  req.interrupt_after_ms = 400;
  const CliRun r = run_cli(req);
  EXPECT_EQ(r.status, 130);
  EXPECT_EQ(r.err, "stopped\n");
  EXPECT_EQ(
      r.out.rfind("Prime numbers from 100000000000000000000 to 100000000001999999999:\n{ ", 0), 0u);
  EXPECT_EQ(r.out.back(), '\n');
  EXPECT_EQ(r.out.find("Number of prime numbers"), std::string::npos);
}

// Every subcommand takes the language of its texts the same way; English stays the default.
TEST(CliSubcommands, LanguageOption) {
  EXPECT_EQ(cli_ok({"factors", "--lang", "de", "1"}), "1 = Die Zahl hat keine Primfaktoren!\n");
  EXPECT_EQ(cli_ok({"factors", "1"}), "1 = Number has no prime factors!\n");
  const CliRun roots = run_cli({"roots", "--lang=de", "0", "1"});
  EXPECT_EQ(roots.status, 1);
  EXPECT_EQ(roots.err,
            "error: Der h\xC3\xB6"
            "chste Koeffizient \"a1\" darf nicht 0 sein!\n");
  const CliRun linear =
      run_cli({"linear", "--lang", "de", "-t", "rat", "-"}, "a1;a2;b\n1;1;3\n2;2;6\n");
  EXPECT_EQ(linear.status, 0) << linear.err;
  EXPECT_NE(linear.out.find("Die Parametervariable r ist frei w\xC3\xA4hlbar.\n"),
            std::string::npos);
  for (const char* command : {"primes", "poly", "linear"}) {
    const CliRun bad = run_cli({command, "--lang", "fr"});
    EXPECT_EQ(bad.status, 2) << command;
    EXPECT_NE(bad.err.find("for --lang"), std::string::npos) << command;
    EXPECT_EQ(run_cli({command, "--lang"}).status, 2) << command;
  }
}
