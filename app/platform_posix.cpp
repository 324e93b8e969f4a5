// The platform layer on POSIX systems (Linux).
#include <fcntl.h>
#include <locale.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <system_error>

#include "app/platform.h"
#include "app/utf8.h"

namespace {

const char* env_value(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0' ? value : nullptr;
}

void copy_separator(const char* bytes, char16_t out[4]) {
  const std::u16string text = utf8_or_latin1_to_utf16(bytes != nullptr ? bytes : "");
  std::size_t n = 0;
  for (; n < 3 && n < text.size(); ++n) out[n] = text[n];
  out[n] = 0;
}

void stderr_message(const char16_t* caption, const char16_t* text, int /*icon*/) {
  const std::string c = utf16_to_utf8(caption != nullptr ? caption : u"");
  const std::string t = utf16_to_utf8(text != nullptr ? text : u"");
  std::fprintf(stderr, "%s: %s\n", c.c_str(), t.c_str());
  std::fflush(stderr);
}

std::atomic<MessageHook> g_message_hook{stderr_message};

bool write_all(int fd, const unsigned char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Written only by the signal handler after setup; both are lock-free, so safe to use there.
std::atomic<int> g_end_signal_fd{-1};
std::atomic<bool> g_end_signalled{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

void on_end_signal(int sig) {
  if (g_end_signalled.exchange(true)) {
    // The user insists, or the first request hangs: end now, as without a handler.
    ::signal(sig, SIG_DFL);
    ::raise(sig);
    return;
  }
  const int saved = errno;
  const unsigned char code = static_cast<unsigned char>(sig);
  [[maybe_unused]] const ssize_t n = ::write(g_end_signal_fd.load(), &code, 1);
  errno = saved;
}

// The file a chain of symbolic links ends at (the path itself when it is no link). A dangling
// link gives the missing target, which the save then creates; a loop gives an empty path.
std::filesystem::path link_target(const std::filesystem::path& path) {
  std::filesystem::path p = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
    std::error_code ec;
    const std::filesystem::path next = std::filesystem::read_symlink(p, ec);
    if (ec) return {};
    p = next.is_absolute() ? next : p.parent_path() / next;
  }
  return {};
}

}  // namespace

std::filesystem::path platform_app_data_folder() {
  // Relative values of XDG_CONFIG_HOME are invalid by the XDG rules and are ignored.
  if (const char* xdg = env_value("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
    return std::filesystem::path(xdg);
  }
  if (const char* home = env_value("HOME"); home != nullptr) {
    return std::filesystem::path(home) / ".config";
  }
  return {};
}

bool platform_user_language_is_german() {
  const char* lang = env_value("LC_ALL");
  if (lang == nullptr) lang = env_value("LC_MESSAGES");
  if (lang == nullptr) lang = env_value("LANG");
  if (lang == nullptr) return false;
  // The primary language is the part before territory, codeset or modifier: "de_AT.UTF-8".
  const std::string_view v(lang);
  if (v.substr(0, 2) != "de") return false;
  return v.size() == 2 || v[2] == '_' || v[2] == '.' || v[2] == '@' || v[2] == '-';
}

void platform_locale_separators(char16_t decimal[4], char16_t thousands[4]) {
  decimal[0] = 0;
  thousands[0] = 0;
  // A locale object of our own instead of setlocale: the process-wide numeric locale (printf,
  // strtod) stays "C".
  locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (user == static_cast<locale_t>(nullptr)) return;
  const locale_t previous = uselocale(user);
  const lconv* conv = localeconv();
  copy_separator(conv->decimal_point, decimal);
  copy_separator(conv->thousands_sep, thousands);
  uselocale(previous);
  freelocale(user);
}

std::filesystem::path platform_module_path() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : exe;
}

std::filesystem::path platform_launch_folder() {
  const char* folder = env_value("NUMERION_LAUNCH_DIR");
  return folder != nullptr && folder[0] == '/' ? std::filesystem::path(folder)
                                               : std::filesystem::path();
}

bool platform_replace_file(const std::filesystem::path& link, const void* data, std::size_t size) {
  // A file kept elsewhere and linked in (as dotfile managers do) is replaced where it lies, so
  // the link stays; the temporary file goes beside the target for the rename to be one step.
  const std::filesystem::path path = link_target(link);
  if (path.empty()) return false;
  std::string temp = path.native() + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  // Keep the permissions of the file being replaced; a new file stays private to the user.
  struct stat old_stat;
  if (::stat(path.c_str(), &old_stat) == 0 && S_ISREG(old_stat.st_mode)) {
    ::fchmod(fd, old_stat.st_mode & 07777);
  }
  bool ok = write_all(fd, static_cast<const unsigned char*>(data), size);
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  // Make the rename itself durable; a failure here cannot undo anything any more.
  std::filesystem::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  const int dir_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir_fd >= 0) {
    ::fsync(dir_fd);
    ::close(dir_fd);
  }
  return true;
}

PlatformRead platform_read_file(const std::filesystem::path& path, BlockConsumer consume,
                                void* context) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return errno == ENOENT || errno == ENOTDIR ? PlatformRead::NotFound : PlatformRead::Failed;
  unsigned char block[4096];
  PlatformRead result = PlatformRead::Ok;
  for (;;) {
    const ssize_t n = ::read(fd, block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      result = PlatformRead::Failed;
      break;
    }
    if (n == 0 || !consume(context, block, static_cast<std::size_t>(n))) break;
  }
  ::close(fd);
  return result;
}

int platform_catch_end_signals() {
  if (g_end_signal_fd.load() >= 0) return -1;  // once per process
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
  g_end_signal_fd.store(fds[1]);
  struct sigaction action {};
  action.sa_handler = on_end_signal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (int sig : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(sig, &action, nullptr);
  return fds[0];
}

int platform_take_end_signal(int fd) {
  int sig = 0;
  unsigned char codes[16];
  for (;;) {
    const ssize_t n = ::read(fd, codes, sizeof codes);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return sig;
    sig = codes[n - 1];
  }
}

MessageHook platform_set_message_hook(MessageHook hook) {
  return g_message_hook.exchange(hook != nullptr ? hook : stderr_message);
}

void platform_show_message(const char16_t* caption, const char16_t* text, int icon) {
  g_message_hook.load()(caption, text, icon);
}
