// The operating-system services the application shell needs, behind plain functions so that
// every other file stays portable. platform_posix.cpp implements them on Linux; a Windows build
// supplies its own implementation of this header.
#pragma once

#include <cstddef>
#include <filesystem>

// The user's folder for application data; empty when the system does not name one.
std::filesystem::path platform_app_data_folder();

// True when the primary language of the user's default language is German.
bool platform_user_language_is_german();

// The decimal and thousands separator strings of the user's locale, at most three UTF-16
// characters each, NUL-terminated; empty when the locale gives none.
void platform_locale_separators(char16_t decimal[4], char16_t thousands[4]);

// Full path of the running program; empty when it cannot be found.
std::filesystem::path platform_module_path();

// The folder of the launcher when the program runs from the launcher's temporary copy (the
// environment variable NUMERION_LAUNCH_DIR, used only when it holds an absolute path); empty
// when the program was started directly.
std::filesystem::path platform_launch_folder();

// Replaces the file at `path` with `data` as one step: the old file stays untouched unless the
// new contents are completely on disk. A symbolic link stays a link: the file it leads to is
// replaced. Returns false (and leaves no stray file) on any failure.
bool platform_replace_file(const std::filesystem::path& path, const void* data, std::size_t size);

// Reads an existing file from the start in blocks, handing each to `consume` until it returns
// false or the file ends. NotFound when the file or its folder does not exist, Failed for any
// other failure to open or read (a folder, missing rights).
enum class PlatformRead { Ok, NotFound, Failed };
using BlockConsumer = bool (*)(void* context, const unsigned char* data, std::size_t size);
PlatformRead platform_read_file(const std::filesystem::path& path, BlockConsumer consume,
                                void* context);

// Catches SIGTERM, SIGHUP and SIGINT so that the program can end as at a normal exit: each
// writes its number to a pipe whose read end is returned (-1 when that cannot be set up). A
// second such signal ends the process at once, as an uncaught one would.
int platform_catch_end_signals();
// Empties that pipe; the last signal read from it, 0 when none was waiting.
int platform_take_end_signal(int fd);

// Message boxes. The window toolkit installs a hook that shows a modal box; until then the
// default writes "caption: text" as UTF-8 to stderr.
inline constexpr int kMessageIconNone = 0;
inline constexpr int kMessageIconInformation = 1;
inline constexpr int kMessageIconWarning = 2;
inline constexpr int kMessageIconError = 3;
using MessageHook = void (*)(const char16_t* caption, const char16_t* text, int icon);
// Installs `hook`; nullptr restores the default. Returns the previous hook.
MessageHook platform_set_message_hook(MessageHook hook);
void platform_show_message(const char16_t* caption, const char16_t* text, int icon);
