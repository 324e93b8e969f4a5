// The "primes" and "factors" subcommands of numerion-cli: one run of the prime number or prime
// factor page, printing exactly the text its output field would receive ("\n" line ends and a
// final line end).
#pragma once

bool is_number_theory_command(const char* arg);
// argv[1] is the subcommand. Exit status: 0 done, 1 refused input or a failed run, 2 bad usage,
// 130 stopped by Ctrl+C (the output printed so far stays).
int run_number_theory_command(int argc, char** argv);
