#include "tests/cli/cli_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>

CliRun run_cli(const CliRequest& request) {
  CliRun run;
  int in[2], out[2], err[2];
  if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return run;
  const pid_t pid = fork();
  if (pid < 0) return run;
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
    if (!request.home.empty()) {
      setenv("HOME", request.home.c_str(), 1);
      setenv("XDG_CONFIG_HOME", request.home.c_str(), 1);
      setenv("APPDATA", request.home.c_str(), 1);
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(NUMERION_CLI));
    for (const std::string& a : request.args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(NUMERION_CLI, argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  signal(SIGPIPE, SIG_IGN);
  fcntl(in[1], F_SETFL, O_NONBLOCK);

  std::size_t written = 0;
  bool input_open = true;
  if (request.input.empty() && request.close_input) {
    close(in[1]);
    input_open = false;
  }
  const auto start = std::chrono::steady_clock::now();
  bool interrupted = false;
  bool out_open = true, err_open = true;
  char buffer[65536];
  while (out_open || err_open) {
    pollfd fds[3];
    int n = 0;
    if (out_open) fds[n++] = {out[0], POLLIN, 0};
    if (err_open) fds[n++] = {err[0], POLLIN, 0};
    const bool want_write = input_open && written < request.input.size();
    if (want_write) fds[n++] = {in[1], POLLOUT, 0};
    poll(fds, static_cast<nfds_t>(n), 20);
    for (int i = 0; i < n; ++i) {
      if (fds[i].revents == 0) continue;
      if (fds[i].fd == in[1]) {
        const ssize_t w =
            write(in[1], request.input.data() + written, request.input.size() - written);
        if (w > 0) written += static_cast<std::size_t>(w);
        if (w < 0 && errno != EAGAIN) written = request.input.size();
        continue;
      }
      const ssize_t r = read(fds[i].fd, buffer, sizeof buffer);
      if (r <= 0) {
        (fds[i].fd == out[0] ? out_open : err_open) = false;
      } else {
        (fds[i].fd == out[0] ? run.out : run.err).append(buffer, static_cast<std::size_t>(r));
      }
    }
    if (input_open && written >= request.input.size() && request.close_input) {
      close(in[1]);
      input_open = false;
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    if (!interrupted && request.interrupt_after_ms >= 0 && ms >= request.interrupt_after_ms) {
      kill(pid, SIGINT);
      interrupted = true;
    }
  }
  if (input_open) close(in[1]);
  close(out[0]);
  close(err[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}
