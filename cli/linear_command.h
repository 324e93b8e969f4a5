// The "linear" subcommand of numerion-cli: one solve of the linear-systems page from a CSV file,
// printing exactly the text its result field would receive ("\n" line ends).
#pragma once

// argv[1] is "linear". Exit status: 0 solved (an unsolvable system included), 1 a file or
// coefficient error, 2 bad usage, 130 stopped by Ctrl+C.
int run_linear_command(int argc, char** argv);
