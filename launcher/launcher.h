// The launcher: copies the main program, shipped beside it as "<launcher name>.dat", into a
// private temporary folder, runs the copy, waits for it and deletes it again.
#pragma once

#include <string>
#include <string_view>

// Internal error codes, shown as "Internal %d error occurred.".
inline constexpr int kLauncherStartFailed = 1000;   // the copy could not be started
inline constexpr int kLauncherCopyFailed = 1001;    // data file unreadable, copy not written
inline constexpr int kLauncherBadExtension = 1002;  // module path without a program extension
inline constexpr int kLauncherBadLength = 1003;     // module path too short or too long

// The name of the copy: `name` itself for alternative 0, otherwise with "(1)" … "(9)" before the
// program extension of length `extension_length` (at the end when programs carry none).
std::string launcher_copy_name(std::string_view name, std::size_t extension_length,
                               int alternative);

// Runs the whole launch; reports a failure on stderr (and in a box when a display is there).
// Returns the process exit code: 0 after the program ran, 1 after a failure.
int launcher_main();
