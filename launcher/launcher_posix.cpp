// The launcher's platform layer on Linux.
//
// The copy is never written where another user can reach it: it goes into $XDG_RUNTIME_DIR when
// that is a folder of this user with mode 0700, otherwise into a fresh folder made by mkdtemp.
// It is created with O_EXCL | O_NOFOLLOW, so no existing file or planted link is ever written
// through, and it is started through its open descriptor (fexecve), so the program that runs is
// exactly the file that was written.
//
// A copy in use is locked with flock by its launcher, and Linux refuses to open a running
// program for writing (ETXTBSY); either marks a name as taken. A stale copy of a launcher that
// died is removed and its name reused.
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "launcher/launcher_platform.h"

extern char** environ;

struct LaunchCopy {
  int source = -1;  // the data file
  int folder = -1;  // the private folder
  std::string folder_path;
  bool folder_made = false;  // made by mkdtemp, so removed at the end
  int copy = -1;             // read-only, flock-ed descriptor of the written copy
  std::string copy_name;
};

namespace {

const char* env_value(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0' ? value : nullptr;
}

void close_fd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

bool same_file(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Only a folder of this user that nobody else may enter, list or write is used.
bool private_folder(int fd) {
  struct stat st;
  return ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
         (st.st_mode & 0777) == 0700;
}

bool open_private_folder(LaunchCopy& c) {
  if (const char* runtime = env_value("XDG_RUNTIME_DIR"); runtime != nullptr && runtime[0] == '/') {
    const int fd = ::open(runtime, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0 && private_folder(fd)) {
      c.folder = fd;
      c.folder_path = runtime;
      return true;
    }
    if (fd >= 0) ::close(fd);
  }
  const char* temp = env_value("TMPDIR");
  std::string path = temp != nullptr && temp[0] == '/' ? temp : "/tmp";
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (path != "/") path += '/';
  path += "velox-XXXXXX";
  if (::mkdtemp(path.data()) == nullptr) return false;
  c.folder_made = true;
  c.folder_path = path;
  c.folder = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  return c.folder >= 0 && private_folder(c.folder);
}

bool write_all(int fd, const unsigned char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool copy_blocks(int from, int to) {
  if (::lseek(from, 0, SEEK_SET) != 0) return false;
  unsigned char block[4096];
  for (;;) {
    const ssize_t n = ::read(from, block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (!write_all(to, block, static_cast<std::size_t>(n))) return false;
  }
}

// True while a process runs the file open as `fd`.
bool file_running(int fd) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  const int probe = ::open(self.c_str(), O_WRONLY | O_CLOEXEC);
  if (probe >= 0) {
    ::close(probe);
    return false;
  }
  return errno == ETXTBSY;
}

// Removes the entry `name` only while it is still the file open (and locked) as `fd`.
void unlink_if_same(int folder, const std::string& name, int fd) {
  struct stat mine, there;
  if (::fstat(fd, &mine) == 0 &&
      ::fstatat(folder, name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 && same_file(mine, there)) {
    ::unlinkat(folder, name.c_str(), 0);
  }
}

// Frees `name` when it holds a stale copy: a regular file of this user that no launcher holds
// and no process runs. False when the name is taken by anything else, which stays untouched.
bool free_name(int folder, const std::string& name) {
  const int fd = ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return true;
    struct stat st;
    return ::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT;
  }
  struct stat st;
  const bool stale = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
                     ::flock(fd, LOCK_EX | LOCK_NB) == 0 && !file_running(fd);
  if (stale) unlink_if_same(folder, name, fd);
  ::close(fd);
  return stale;
}

bool reopen_locked(LaunchCopy& c, const std::string& name, int written) {
  c.copy = ::openat(c.folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  struct stat a, b;
  return c.copy >= 0 && ::fstat(written, &a) == 0 && ::fstat(c.copy, &b) == 0 && same_file(a, b) &&
         ::flock(c.copy, LOCK_EX | LOCK_NB) == 0;
}

pid_t wait_child(pid_t pid) {
  int status = 0;
  for (;;) {
    const pid_t r = ::waitpid(pid, &status, 0);
    if (r >= 0 || errno != EINTR) return r;
  }
}

}  // namespace

std::string_view launcher_program_extension() {
  return {};
}

char launcher_path_separator() {
  return '/';
}

// The data path gets ".dat" appended and must still fit PATH_MAX with its terminator.
std::size_t launcher_max_module_path() {
  return PATH_MAX - 5;
}

std::string launcher_module_path() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.native();
}

DataKind launcher_data_kind(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return DataKind::Missing;
  return S_ISDIR(st.st_mode) ? DataKind::Directory : DataKind::File;
}

LaunchCopy* launch_copy_open(const std::string& data_path) {
  auto* c = new LaunchCopy;
  // Non-blocking, so that a FIFO of that name cannot hold the launcher; it is refused below.
  c->source = ::open(data_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  struct stat st;
  if (c->source < 0 || ::fstat(c->source, &st) != 0 || !S_ISREG(st.st_mode) ||
      !open_private_folder(*c)) {
    launch_copy_close(c);
    return nullptr;
  }
  return c;
}

CopyResult launch_copy_write(LaunchCopy* c, const std::string& name) {
  if (!free_name(c->folder, name)) return CopyResult::InUse;
  const int out =
      ::openat(c->folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0700);
  if (out < 0) return errno == EEXIST ? CopyResult::InUse : CopyResult::Failed;
  c->copy_name = name;
  // The lock marks the copy as in use before anything is written. The umask must not take away
  // the right to run it.
  bool ok = reopen_locked(*c, name, out) && ::fchmod(out, 0700) == 0 && copy_blocks(c->source, out);
  // The writing descriptor must be gone before the start: Linux refuses to run a file that is
  // open for writing.
  ok = ::close(out) == 0 && ok;
  if (!ok) {
    if (c->copy >= 0) {
      unlink_if_same(c->folder, name, c->copy);
    } else {
      ::unlinkat(c->folder, name.c_str(), 0);
    }
    close_fd(c->copy);
    c->copy_name.clear();
    return CopyResult::Failed;
  }
  return CopyResult::Written;
}

bool launch_copy_run(LaunchCopy* c, const std::string& launch_folder) {
  if (c->copy < 0) return false;
  if (::setenv(kLaunchDirVariable, launch_folder.c_str(), 1) != 0) return false;
  // Instances the program starts of itself (a language change) become our children when their
  // parent ends, so that the copy stays until the last of them has ended.
  ::prctl(PR_SET_CHILD_SUBREAPER, 1L, 0L, 0L, 0L);
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return false;
  std::string argv0 = c->folder_path + "/" + c->copy_name;
  char* argv[] = {argv0.data(), nullptr};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::fexecve(c->copy, argv, environ);
    const int error = errno;
    ssize_t ignored = ::write(report[1], &error, sizeof error);
    (void)ignored;
    ::_exit(127);
  }
  ::close(report[1]);
  if (pid < 0) {
    ::close(report[0]);
    return false;
  }
  // The pipe closes without data when the program is running; an error number means it is not.
  int error = 0;
  ssize_t n;
  do {
    n = ::read(report[0], &error, sizeof error);
  } while (n < 0 && errno == EINTR);
  ::close(report[0]);
  if (n > 0) {
    wait_child(pid);
    return false;
  }
  // A Ctrl-C or a closed terminal reaches the program itself; the launcher stays to clean up.
  ::signal(SIGINT, SIG_IGN);
  ::signal(SIGQUIT, SIG_IGN);
  ::signal(SIGHUP, SIG_IGN);
  wait_child(pid);
  // Other children are orphans handed to us; only those running the copy are waited for.
  while (file_running(c->copy)) {
    if (wait_child(-1) < 0) break;  // it runs, but not as ours: nothing to wait on
  }
  return true;
}

void launch_copy_close(LaunchCopy* c) {
  if (c->copy >= 0) unlink_if_same(c->folder, c->copy_name, c->copy);
  close_fd(c->copy);
  close_fd(c->source);
  close_fd(c->folder);
  if (c->folder_made) ::rmdir(c->folder_path.c_str());
  delete c;
}

bool launcher_display_available() {
  // The offscreen and minimal platforms show nothing, and a box there would wait forever.
  if (const char* platform = env_value("QT_QPA_PLATFORM"); platform != nullptr) {
    const std::string_view p(platform);
    return p.substr(0, 9) != "offscreen" && p.substr(0, 7) != "minimal";
  }
  return env_value("DISPLAY") != nullptr || env_value("WAYLAND_DISPLAY") != nullptr;
}
