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

void set_nonblocking(int fd) {
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

// Writes filler into a non-blocking pipe until it takes no more; returns
// how many bytes it took.
std::size_t fill(int fd) {
  static const std::string filler(4096, '#');
  std::size_t filled = 0;
  ssize_t n;
  while ((n = ::write(fd, filler.data(), filler.size())) > 0)
    filled += static_cast<std::size_t>(n);
  return filled;
}

// Milliseconds from now until when, rounded up; -1 (wait for ever) once
// it has passed.
int poll_timeout(std::chrono::steady_clock::time_point when) {
  auto left = when - std::chrono::steady_clock::now();
  if (left <= left.zero()) return -1;
  return static_cast<int>(
      std::chrono::ceil<std::chrono::milliseconds>(left).count());
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
    case Stdout::full: {
      int full = ::open("/dev/full", O_WRONLY);
      if (full < 0) ::_exit(126);
      ::dup2(full, 1);
      ::close(full);
      break;
    }
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
  if (run.stdin_nonblocking) set_nonblocking(in.read_end);
  if (run.stdout_nonblocking) set_nonblocking(out.write_end);
  std::size_t filler[2] = {0, 0};
  if (run.outputs_full_nonblocking) {
    set_nonblocking(out.write_end);
    set_nonblocking(err.write_end);
    filler[0] = fill(out.write_end);
    filler[1] = fill(err.write_end);
  }
  const auto resume = std::chrono::steady_clock::now() + run.pause;
  pid_t pid = ::fork();
  if (pid == 0) exec_child(run, in, out, err);

  close_fd(in.read_end);
  close_fd(out.write_end);
  close_fd(err.write_end);
  if (run.stdout_mode != Stdout::captured) close_fd(out.read_end);
  set_nonblocking(in.write_end);
  std::signal(SIGPIPE, SIG_IGN);

  ProgramResult result;
  std::string input = run.input;
  bool input_held_back = !run.late_input.empty();
  std::size_t fed = 0;
  if (input.empty() && !input_held_back) close_fd(in.write_end);
  while (in.write_end >= 0 || out.read_end >= 0 || err.read_end >= 0) {
    bool paused = poll_timeout(resume) >= 0;
    if (!paused && input_held_back) {
      input += run.late_input;
      input_held_back = false;
    }
    bool feeding = fed < input.size();
    pollfd fds[3] = {{feeding ? in.write_end : -1, POLLOUT, 0},
                     {paused ? -1 : out.read_end, POLLIN, 0},
                     {paused ? -1 : err.read_end, POLLIN, 0}};
    if (::poll(fds, 3, poll_timeout(resume)) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[0].revents != 0) {
      ssize_t n = ::write(in.write_end, input.data() + fed, input.size() - fed);
      if (n > 0) fed += static_cast<std::size_t>(n);
      if (n < 0 && errno != EAGAIN) {
        fed = input.size();
        input_held_back = false;
      }
      if (fed == input.size() && !input_held_back) close_fd(in.write_end);
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
  result.out.erase(0, filler[0]);
  result.err.erase(0, filler[1]);
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
