// The "roots" and "poly" subcommands of numerion-cli: one solve of the algebraic-equations page
// and one operation of the polynomial page, printing exactly the text of the result field with
// "\n" line ends.
#pragma once

bool is_solver_command(const char* arg);
// argv[1] is the subcommand. Exit status: 0 done, 1 refused input or a failed run, 2 bad usage,
// 130 stopped by Ctrl+C (roots only).
int run_solver_command(int argc, char** argv);
