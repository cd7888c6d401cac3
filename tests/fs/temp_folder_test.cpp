// Held temporary folders: a live run's folder is never swept, a killed
// run's folder is, and nothing that is not ours is touched.
#include "fs/temp_folder.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include "support/files.h"
#include "support/scoped_process.h"
#include "support/temp_prefix.h"

namespace korvane::fs {
namespace {

namespace stdfs = std::filesystem;

constexpr char kPrefix[] = "korvane-jet-";

using support::writeFile;

// A private $TMPDIR for one test.
class TempFolders : public ::testing::Test {
 protected:
  std::vector<std::string> names() const { return support::entriesOf(tmp_.path()); }

  const support::TempFolder tmp_;
  const support::ScopedEnv tmpdir_{"TMPDIR", tmp_.path().c_str()};
};

TEST_F(TempFolders, ALiveFolderIsKeptAndRemovedWithEverythingInItWhenLetGo) {
  std::string why;
  auto folder = TempFolder::make(kPrefix, why);
  ASSERT_TRUE(folder) << why;
  EXPECT_EQ(folder->path().parent_path(), tmp_.path());
  EXPECT_EQ(folder->path().filename().string().rfind(kPrefix, 0), 0u);
  writeFile(folder->path() / "copy.sqlite", "data");
  EXPECT_EQ(removeAbandonedTempFolders(kPrefix), 0u);
  EXPECT_TRUE(stdfs::exists(folder->path() / "copy.sqlite"));
  folder.reset();
  EXPECT_TRUE(names().empty());
}

// The run that made the folder is killed with SIGKILL: its folder stays
// until the next sweep, which takes it and nothing else.
TEST_F(TempFolders, AKilledRunsFolderIsRemovedByTheNextSweepAndNothingElse) {
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t run = ::fork();
  ASSERT_GE(run, 0);
  if (run == 0) {
    try {
      std::string why;
      auto folder = TempFolder::make(kPrefix, why);
      if (!folder) ::_exit(1);
      writeFile(folder->path() / "copy.sqlite", "data");
      (void)!::write(ready[1], "x", 1);
      for (;;) ::pause();
    } catch (const std::exception&) {
      ::_exit(1);
    }
  }
  // Killed and reaped however the test ends, so no run outlives it.
  struct KilledRun {
    pid_t pid;
    void kill() {
      if (pid <= 0) return;
      ::kill(pid, SIGKILL);
      int status;
      ::waitpid(pid, &status, 0);
      pid = 0;
    }
    ~KilledRun() { kill(); }
  } killedRun{run};
  ::close(ready[1]);
  char byte;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1) << "the run to be killed could not make its folder";
  ::close(ready[0]);

  // What is not ours, or not a folder, stays whatever its name.
  stdfs::create_directory(tmp_.path() / "korvane-test-other");
  writeFile(tmp_.path() / "korvane-jet-file", "a file");
  const support::TempFolder elsewhere(tmp_.path().parent_path());
  stdfs::create_directory_symlink(elsewhere.path(), tmp_.path() / "korvane-jet-link");
  const bool root = ::geteuid() == 0;
  if (root) {
    stdfs::create_directory(tmp_.path() / "korvane-jet-nobody");
    ASSERT_EQ(::chown((tmp_.path() / "korvane-jet-nobody").c_str(), 65534, 65534), 0);
  }
  // A folder of an earlier run that took no lock, or whose run is gone.
  stdfs::create_directory(tmp_.path() / "korvane-jet-left1");

  const auto before = names();
  EXPECT_EQ(removeAbandonedTempFolders(kPrefix), 1u) << "only the unheld folder goes";
  killedRun.kill();
  EXPECT_EQ(removeAbandonedTempFolders(kPrefix), 1u) << "the killed run's folder goes";

  std::vector<std::string> expected{"korvane-jet-file", "korvane-jet-link", "korvane-test-other"};
  if (root) expected.push_back("korvane-jet-nobody");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(names(), expected);
  EXPECT_EQ(before.size(), expected.size() + 2);
  EXPECT_TRUE(stdfs::is_directory(elsewhere.path())) << "a link was followed";
}

}  // namespace
}  // namespace korvane::fs
