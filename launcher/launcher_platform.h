// The operating-system services the launcher needs, behind plain functions so that launcher.cpp
// stays portable. launcher_posix.cpp implements them on Linux; a Windows build supplies its own
// implementation of this header (module file name, file attributes, files and processes of the
// kernel). Paths are the system's own strings: bytes on POSIX systems.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The environment variable through which the started program learns the launcher's folder, so
// that it finds its help pages there and not beside the temporary copy.
inline constexpr char kLaunchDirVariable[] = "NUMERION_LAUNCH_DIR";

// The extension programs carry (".exe" on Windows), or empty where programs carry none.
std::string_view launcher_program_extension();

// The separator between the folders and the file name of a path.
char launcher_path_separator();

// The longest module path that still leaves room for the data path and the copy's name.
std::size_t launcher_max_module_path();

// The launcher's own full path; empty when the system does not report it.
std::string launcher_module_path();

enum class DataKind { Missing, Directory, File };
DataKind launcher_data_kind(const std::string& path);

// The copy of the data file: the open data file, the private folder the copy goes into and the
// copy itself once written. Opaque; each platform defines its own.
struct LaunchCopy;

// Opens the data file for reading and a folder that only the user can enter. nullptr on failure.
LaunchCopy* launch_copy_open(const std::string& data_path);

enum class CopyResult {
  Written,  // the copy exists under `name`, complete, and only this launcher will remove it
  InUse,    // something that must not be replaced already has that name: try the next one
  Failed,   // the copy could not be created or written; nothing is left under `name`
};
CopyResult launch_copy_write(LaunchCopy* copy, const std::string& name);

// Starts exactly the written copy with no arguments and the launcher's environment plus
// kLaunchDirVariable = `launch_folder`, and waits until it (and any instance it started of the
// same copy) has ended. False when it could not be started.
bool launch_copy_run(LaunchCopy* copy, const std::string& launch_folder);

// Deletes the copy and a private folder made for it, and closes everything.
void launch_copy_close(LaunchCopy* copy);

// True when a message box can be seen by someone.
bool launcher_display_available();

// Shows `text` in a modal message box with the error icon and the caption "Error"
// (message_box_qt.cpp).
void launcher_message_box(const std::string& text);
