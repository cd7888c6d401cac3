// A child process under limits: fork, limits and exec in the child; poll of
// its two pipes and of its pidfd against the deadline in the parent.
//
// Between fork and exec the child (a copy of a process that may run several
// threads) makes only system calls: prctl, setrlimit, sigaction, dup2,
// close_range, execv, write, _exit. Every descriptor the parent makes is close-on-exec,
// and the child marks all others close-on-exec before exec, so the helper
// sees only its three standard streams.
#include "fs/child_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>

#include "fs/posix_file.h"

namespace korvane::fs {

namespace {

using Clock = std::chrono::steady_clock;
using detail::UniqueFd;

struct Pipe {
  UniqueFd read;
  UniqueFd write;
  bool open() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    read.reset(fds[0]);
    write.reset(fds[1]);
    return true;
  }
};

// Only system calls from here to exec: the parent may run other threads.
[[noreturn]] void startChild(const char* program, char* const* argv, const ChildLimits& limits,
                             int in, int out, int err, int report, pid_t parent) {
  // Killed with its parent: no one else would enforce its wall-clock limit.
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != parent) ::_exit(127);
  const auto limit = [](int resource, std::uint64_t soft, std::uint64_t hard) {
    const struct rlimit value { soft, hard };
    ::setrlimit(resource, &value);
  };
  if (limits.memoryBytes) limit(RLIMIT_AS, limits.memoryBytes, limits.memoryBytes);
  if (limits.fileBytes) limit(RLIMIT_FSIZE, limits.fileBytes, limits.fileBytes);
  // SIGXCPU at the soft limit, SIGKILL a second later.
  if (limits.cpu.count() > 0)
    limit(RLIMIT_CPU, static_cast<rlim_t>(limits.cpu.count()),
          static_cast<rlim_t>(limits.cpu.count()) + 1);
  limit(RLIMIT_CORE, 0, 0);  // a crash leaves no core file behind
  // Ignored signals stay ignored across exec: the limits must be able to kill it.
  struct sigaction byDefault {};
  byDefault.sa_handler = SIG_DFL;
  for (int signal : {SIGPIPE, SIGXFSZ, SIGXCPU, SIGSEGV, SIGABRT, SIGBUS, SIGTERM})
    ::sigaction(signal, &byDefault, nullptr);
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);

  if (::dup2(in, STDIN_FILENO) < 0 || ::dup2(out, STDOUT_FILENO) < 0 ||
      ::dup2(err, STDERR_FILENO) < 0) {
    const int error = errno;
    (void)!::write(report, &error, sizeof error);
    ::_exit(127);
  }
  if (::syscall(SYS_close_range, 3U, ~0U, 4U /* CLOSE_RANGE_CLOEXEC */) != 0) {
    // Kernels before 5.11: mark them one by one.
    const long most = ::sysconf(_SC_OPEN_MAX);
    for (int fd = 3; fd < (most > 0 && most < 65536 ? most : 65536); ++fd)
      ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  }
  ::execv(program, argv);
  const int error = errno;
  (void)!::write(report, &error, sizeof error);
  ::_exit(127);
}

// Reads what is waiting on `fd`; false at end of file.
bool drain(int fd, std::string& into, bool keepLast) {
  char buffer[8192];
  const ssize_t n = ::read(fd, buffer, sizeof buffer);
  if (n < 0) return errno == EINTR || errno == EAGAIN;
  if (n == 0) return false;
  into.append(buffer, static_cast<size_t>(n));
  if (into.size() > kOutputLimit) {
    if (keepLast) {
      into.erase(0, into.size() - kOutputLimit);
    } else {
      into.resize(kOutputLimit);
    }
  }
  return true;
}

// Waits for `pid` to end. False when it cannot be waited for (SIGCHLD
// ignored, so the system reaped it): its status is then unknown.
bool reap(pid_t pid, int& status, int options = 0) {
  pid_t done;
  while ((done = ::waitpid(pid, &status, options)) < 0 && errno == EINTR) {
  }
  if (done < 0) status = -1;
  return done == pid || done < 0;
}

}  // namespace

ChildOutcome runChild(const std::filesystem::path& program,
                      const std::vector<std::string>& arguments, const ChildLimits& limits) {
  ChildOutcome outcome;
  std::vector<std::string> words{program.string()};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  Pipe out, err, report;
  UniqueFd in = detail::openFd("/dev/null", O_RDONLY);
  if (!in || !out.open() || !err.open() || !report.open()) {
    outcome.error = std::string("cannot make its pipes: ") + std::strerror(errno);
    return outcome;
  }
  const auto start = Clock::now();
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid < 0) {
    outcome.error = std::string("cannot start a process: ") + std::strerror(errno);
    return outcome;
  }
  if (pid == 0)
    startChild(words[0].c_str(), argv.data(), limits, in.get(), out.write.get(), err.write.get(),
               report.write.get(), parent);

  in.reset();
  out.write.reset();
  err.write.reset();
  report.write.reset();
  // Did exec succeed? The report pipe closes on exec, or carries errno.
  int execError = 0;
  ssize_t n;
  while ((n = ::read(report.read.get(), &execError, sizeof execError)) < 0 && errno == EINTR) {
  }
  if (n == sizeof execError) {
    int ignored;
    reap(pid, ignored);
    outcome.error = "cannot run " + program.string() + ": " + std::strerror(execError);
    return outcome;
  }

  // The pidfd wakes poll when the child ends; without one (kernels before
  // 5.3) poll wakes every 10 ms to ask.
  UniqueFd pidfd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
  const bool timed = limits.wall.count() > 0;
  const auto deadline = start + limits.wall;
  bool outOpen = true, errOpen = true, ended = false, timedOut = false;
  int status = 0;
  while (!ended || outOpen || errOpen) {
    int wait = -1;
    if (timed) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) {
        timedOut = !ended;
        break;
      }
      wait = static_cast<int>(left.count());
    }
    if (!ended && !pidfd) wait = wait < 0 || wait > 10 ? 10 : wait;
    pollfd fds[3];
    nfds_t count = 0;
    if (outOpen) fds[count++] = {out.read.get(), POLLIN, 0};
    if (errOpen) fds[count++] = {err.read.get(), POLLIN, 0};
    if (!ended && pidfd) fds[count++] = {pidfd.get(), POLLIN, 0};
    if (::poll(fds, count, wait) < 0 && errno != EINTR) break;
    for (nfds_t i = 0; i < count; ++i) {
      if (!fds[i].revents) continue;
      if (fds[i].fd == out.read.get()) outOpen = drain(fds[i].fd, outcome.out, false);
      if (fds[i].fd == err.read.get()) errOpen = drain(fds[i].fd, outcome.err, true);
    }
    if (!ended) ended = reap(pid, status, WNOHANG);
  }
  if (!ended) {
    ::kill(pid, SIGKILL);
    reap(pid, status);
  }
  if (timedOut) {
    outcome.end = ChildOutcome::End::kTimedOut;
  } else if (status == -1) {
    outcome.end = ChildOutcome::End::kExited;
    outcome.code = -1;  // reaped by the system: nothing is known of how it ended
  } else if (WIFSIGNALED(status)) {
    outcome.end = ChildOutcome::End::kSignalled;
    outcome.code = WTERMSIG(status);
  } else {
    outcome.end = ChildOutcome::End::kExited;
    outcome.code = WEXITSTATUS(status);
  }
  return outcome;
}

std::string describeEnd(const ChildOutcome& outcome, const ChildLimits& limits) {
  const auto size = [](std::uint64_t bytes) {
    return bytes >= (1 << 20) ? std::to_string(bytes >> 20) + " MB"
                              : std::to_string(bytes >> 10) + " KB";
  };
  switch (outcome.end) {
    case ChildOutcome::End::kExited:
      return "exited with status " + std::to_string(outcome.code);
    case ChildOutcome::End::kTimedOut: {
      char seconds[32];
      std::snprintf(seconds, sizeof seconds, "%.1f",
                    static_cast<double>(limits.wall.count()) / 1000);
      return std::string("was stopped after ") + seconds + " s";
    }
    case ChildOutcome::End::kNotStarted:
      return "could not start (" + outcome.error + ")";
    case ChildOutcome::End::kSignalled:
      break;
  }
  const int signal = outcome.code;
  if (signal == SIGXCPU)
    return "was stopped by its limit of " + std::to_string(limits.cpu.count()) +
           " s of processor time";
  if (signal == SIGKILL)
    return "was killed (by its limit of " + std::to_string(limits.cpu.count()) +
           " s of processor time, or by the system)";
  if (signal == SIGXFSZ)
    return "was stopped by its limit of " + size(limits.fileBytes) + " on the file it writes";
  const char* name = ::strsignal(signal);
  if (signal == SIGSYS)  // a helper's seccomp filter kills with it (sandbox.h)
    return "was ended by its sandbox for a forbidden system call (signal " +
           std::to_string(signal) + ", " + (name ? name : "unknown") + ")";
  return "crashed (signal " + std::to_string(signal) + ", " + (name ? name : "unknown") + ")";
}

}  // namespace korvane::fs
