// Runs the built numerion-cli as a child process with the given arguments and standard input.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct CliRun {
  int status = -1;  // exit status, or 128 + signal
  std::string out;
  std::string err;
};

struct CliRequest {
  std::vector<std::string> args;
  std::string input;
  bool close_input = true;      // false: standard input stays open until the interrupt
  int interrupt_after_ms = -1;  // send SIGINT to the child after this delay
  std::string home;             // HOME and XDG_CONFIG_HOME of the child when not empty
};

CliRun run_cli(const CliRequest& request);
inline CliRun run_cli(std::vector<std::string> args, std::string input = {}) {
  CliRequest r;
  r.args = std::move(args);
  r.input = std::move(input);
  return run_cli(r);
}

// The standard output of a run that must succeed without a word on standard error.
inline std::string cli_ok(std::vector<std::string> args, std::string input = {}) {
  const CliRun r = run_cli(std::move(args), std::move(input));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  return r.out;
}
