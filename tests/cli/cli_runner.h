// Runs the built numerion-cli as a child process with the given arguments and standard input.
#pragma once

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
