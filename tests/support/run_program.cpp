#include "tests/support/run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

namespace test_support {
namespace {

struct Pipe {
  int read_end = -1;
  int write_end = -1;
  Pipe() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) == 0) {
      read_end = fds[0];
      write_end = fds[1];
    }
  }
};

void close_fd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

[[noreturn]] void exec_child(const ProgramRun& run, Pipe& in, Pipe& out,
                             Pipe& err) {
  if (run.stdin_closed) {
    ::close(0);
  } else {
    ::dup2(in.read_end, 0);
  }
  switch (run.stdout_mode) {
    case Stdout::captured:
    case Stdout::broken_pipe:
      ::dup2(out.write_end, 1);
      break;
    case Stdout::merged:
      ::dup2(err.write_end, 1);
      break;
    case Stdout::closed:
      ::close(1);
      break;
  }
  ::dup2(err.write_end, 2);
  if (!run.working_directory.empty() &&
      ::chdir(run.working_directory.c_str()) != 0) {
    ::_exit(126);
  }
  std::vector<char*> argv;
  for (const std::string& word : run.argv) {
    argv.push_back(const_cast<char*>(word.c_str()));
  }
  argv.push_back(nullptr);
  // The test process may ignore SIGPIPE; the program starts with defaults.
  std::signal(SIGPIPE, SIG_DFL);
  ::execvp(argv[0], argv.data());
  ::_exit(127);
}

}  // namespace

ProgramResult run_program(const ProgramRun& run) {
  Pipe in, out, err;
  // Closed before the child starts, so its first write already fails.
  if (run.stdout_mode == Stdout::broken_pipe) close_fd(out.read_end);
  pid_t pid = ::fork();
  if (pid == 0) exec_child(run, in, out, err);

  close_fd(in.read_end);
  close_fd(out.write_end);
  close_fd(err.write_end);
  if (run.stdout_mode != Stdout::captured) close_fd(out.read_end);
  ::fcntl(in.write_end, F_SETFL, O_NONBLOCK);
  std::signal(SIGPIPE, SIG_IGN);

  ProgramResult result;
  std::size_t fed = 0;
  if (run.input.empty()) close_fd(in.write_end);
  while (in.write_end >= 0 || out.read_end >= 0 || err.read_end >= 0) {
    pollfd fds[3] = {{in.write_end, POLLOUT, 0},
                     {out.read_end, POLLIN, 0},
                     {err.read_end, POLLIN, 0}};
    if (::poll(fds, 3, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[0].revents != 0) {
      ssize_t n =
          ::write(in.write_end, run.input.data() + fed, run.input.size() - fed);
      if (n > 0) fed += static_cast<std::size_t>(n);
      if (n < 0 && errno != EAGAIN) fed = run.input.size();
      if (fed == run.input.size()) close_fd(in.write_end);
    }
    std::string* sinks[2] = {&result.out, &result.err};
    int* ends[2] = {&out.read_end, &err.read_end};
    for (int i = 0; i < 2; ++i) {
      if (fds[i + 1].revents == 0) continue;
      char buffer[4096];
      ssize_t n = ::read(*ends[i], buffer, sizeof buffer);
      if (n > 0) {
        // In merged mode the shared pipe is the stderr pipe.
        std::string* sink =
            run.stdout_mode == Stdout::merged ? &result.out : sinks[i];
        sink->append(buffer, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        close_fd(*ends[i]);
      }
    }
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.status =
      WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

ProgramResult run_program(const std::vector<std::string>& argv,
                          const std::string& input) {
  ProgramRun run;
  run.argv = argv;
  run.input = input;
  return run_program(run);
}

std::string bracketed(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words)
    text += "[" + word + "]";
  return text;
}

}  // namespace test_support
