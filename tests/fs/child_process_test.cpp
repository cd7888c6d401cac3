// A helper process under limits: every way it can end comes back as an
// outcome, within its wall-clock limit, and the parent is left with no child
// and no descriptor more than before.
#include "fs/child_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/temp_prefix.h"

namespace korvane::fs {
namespace {

namespace stdfs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using End = ChildOutcome::End;

const stdfs::path kProbe = KORVANE_CHILD_PROBE;

size_t openDescriptors() {
  size_t count = 0;
  for (const auto& entry : stdfs::directory_iterator("/proc/self/fd")) {
    (void)entry;
    ++count;
  }
  return count;
}

struct EndCase {
  const char* name;
  std::vector<std::string> arguments;
  ChildLimits limits;
  End end;
  int code;            // exit status or signal
  const char* saying;  // part of describeEnd's text
};

void PrintTo(const EndCase& c, std::ostream* out) {
  *out << c.name;
}

ChildLimits wallOf(std::chrono::milliseconds wall) {
  ChildLimits limits;
  limits.wall = wall;
  return limits;
}

const EndCase kEnds[] = {
    {"ExitStatus", {"exit", "3"}, wallOf(10s), End::kExited, 3, "exited with status 3"},
    {"Crash", {"crash"}, wallOf(10s), End::kSignalled, SIGSEGV, "crashed (signal 11"},
    {"Hang", {"hang"}, wallOf(300ms), End::kTimedOut, 0, "was stopped after 0.3 s"},
    {"HangWithItsOutputClosed",
     {"silent-hang"},
     wallOf(300ms),
     End::kTimedOut,
     0,
     "was stopped after"},
    {"ProcessorTime",
     {"spin"},
     {0, 0, 1s, 10s},
     End::kSignalled,
     SIGXCPU,
     "limit of 1 s of processor time"},
    {"FileSize",
     {"write", "", "8388608"},
     {0, 1 << 20, 0s, 10s},
     End::kSignalled,
     SIGXFSZ,
     "limit of 1 MB on the file it writes"},
    {"Memory", {"eat"}, {256 << 20, 0, 0s, 10s}, End::kExited, 4, "exited with status 4"},
};

class ChildEnd : public ::testing::TestWithParam<EndCase> {};

TEST_P(ChildEnd, ComesBackAsItsOutcomeWithNothingLeftBehind) {
  const EndCase& c = GetParam();
  const support::TempFolder temp;
  std::vector<std::string> arguments = c.arguments;
  if (arguments[0] == "write") arguments[1] = (temp.path() / "big").string();
  const size_t descriptors = openDescriptors();
  const auto start = Clock::now();
  const ChildOutcome outcome = runChild(kProbe, arguments, c.limits);
  const auto took = Clock::now() - start;

  EXPECT_EQ(outcome.end, c.end);
  if (c.end != End::kTimedOut) {
    EXPECT_EQ(outcome.code, c.code);
  }
  EXPECT_NE(describeEnd(outcome, c.limits).find(c.saying), std::string::npos)
      << describeEnd(outcome, c.limits);
  EXPECT_LT(took, c.limits.wall + 2s) << "the wall-clock limit did not hold";
  EXPECT_EQ(openDescriptors(), descriptors) << "a descriptor of the child's was left open";
  int status;
  EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1) << "a child was left unreaped";
  EXPECT_EQ(errno, ECHILD);
  if (arguments[0] == "write") {
    EXPECT_LE(stdfs::file_size(arguments[1]), 1u << 20);
  }
}

INSTANTIATE_TEST_SUITE_P(Ends, ChildEnd, ::testing::ValuesIn(kEnds),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ChildProcess, HandsBackItsOutputSeparatelyAndBounded) {
  const ChildOutcome printed =
      runChild(kProbe, {"print", "3343\nits text", "a warning"}, wallOf(10s));
  EXPECT_EQ(printed.end, End::kExited);
  EXPECT_EQ(printed.out, "3343\nits text");
  EXPECT_EQ(printed.err, "a warning");

  // 1.1 MB on each stream: stdout keeps its start, stderr its end, and the
  // child is never blocked on a full pipe.
  const ChildOutcome flooded = runChild(kProbe, {"flood"}, wallOf(10s));
  EXPECT_EQ(flooded.end, End::kExited);
  EXPECT_EQ(flooded.code, 0);
  EXPECT_EQ(flooded.out.size(), kOutputLimit);
  EXPECT_EQ(flooded.out.substr(0, 11), "out 000000\n");
  EXPECT_EQ(flooded.err.size(), kOutputLimit);
  EXPECT_EQ(flooded.err.substr(flooded.err.size() - 11), "err 099999\n");
}

TEST(ChildProcess, SeesOnlyItsStandardStreams) {
  // A descriptor of ours that is not close-on-exec, as a library might leave one.
  const int leaky = ::open("/dev/null", O_RDONLY);
  ASSERT_GE(leaky, 3);
  const ChildOutcome outcome = runChild(kProbe, {"fds"}, wallOf(10s));
  ::close(leaky);
  EXPECT_EQ(outcome.out, "0\n1\n2\n");
}

TEST(ChildProcess, AProgramThatCannotRunIsNotStarted) {
  const support::TempFolder temp;
  const size_t descriptors = openDescriptors();
  for (const stdfs::path& program : {temp.path() / "missing", temp.path()}) {
    const ChildOutcome outcome = runChild(program, {}, wallOf(10s));
    EXPECT_EQ(outcome.end, End::kNotStarted) << program;
    EXPECT_NE(outcome.error.find(program.string()), std::string::npos) << outcome.error;
  }
  EXPECT_EQ(openDescriptors(), descriptors);
}

// A child that ignores SIGPIPE, SIGXFSZ and the rest of its parent's
// dispositions would outlive its limits.
TEST(ChildProcess, LimitsHoldWhenTheParentIgnoresTheirSignals) {
  struct sigaction ignore {
  }, oldPipe{}, oldFile{};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGPIPE, &ignore, &oldPipe);
  ::sigaction(SIGXFSZ, &ignore, &oldFile);
  const support::TempFolder temp;
  const ChildLimits limits{0, 1 << 20, 0s, 10s};
  const ChildOutcome outcome =
      runChild(kProbe, {"write", (temp.path() / "big").string(), "8388608"}, limits);
  ::sigaction(SIGPIPE, &oldPipe, nullptr);
  ::sigaction(SIGXFSZ, &oldFile, nullptr);
  EXPECT_EQ(outcome.end, End::kSignalled);
  EXPECT_EQ(outcome.code, SIGXFSZ);
}

// The window's process killed (SIGKILL, power) while its helper hangs: the
// helper goes with it, so nothing outlives the limit that no one enforces.
TEST(ChildProcess, DiesWithItsParent) {
  const support::TempFolder temp;
  const stdfs::path pidFile = temp.path() / "pid";
  const pid_t parent = ::fork();
  ASSERT_GE(parent, 0);
  if (parent == 0) {
    runChild(kProbe, {"hang-as", pidFile.string()}, wallOf(60s));
    ::_exit(0);
  }
  pid_t child = 0;
  for (int i = 0; i < 500 && child == 0; ++i) {
    std::ifstream in(pidFile);
    if (!(in >> child)) child = 0;
    if (child == 0) ::usleep(10000);
  }
  ASSERT_GT(child, 0) << "the helper never started";
  ::kill(parent, SIGKILL);
  int status;
  ::waitpid(parent, &status, 0);
  bool gone = false;
  for (int i = 0; i < 200 && !gone; ++i) {
    // Gone, or a zombie waiting for init to reap it.
    std::ifstream stat("/proc/" + std::to_string(child) + "/stat");
    std::string pid, name, state;
    gone = !(stat >> pid >> name >> state) || state == "Z";
    if (!gone) ::usleep(10000);
  }
  EXPECT_TRUE(gone) << "the helper outlived its parent";
  if (!gone) ::kill(child, SIGKILL);
}

}  // namespace
}  // namespace korvane::fs
