// Where the program waits for the disk: SQLite never flushes the working
// copy or its journal inside an action, each action that reports a result
// flushes it once at its end, and a copy still flushes what it makes.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench.h"
#include "support/forwarding_files.h"
#include "workflow/naming.h"
#include "wrapped_vfs.h"

namespace korvane::reliability {
namespace {

using workflow::testing::kWorking;

// Counts SQLite's flushes, by the name of the file flushed.
class FlushCounter : private FileHooks {
 public:
  FlushCounter() : vfs_(*this) {}
  std::map<std::string, int> flushes;

 private:
  int sync(WrappedFile& file, int flags) override {
    ++flushes[std::filesystem::path(file.path).filename().string()];
    return FileHooks::sync(file, flags);
  }
  WrappedVfs vfs_;
};

// Counts the file services' calls by kind, and passes them on.
class CallCounter : public support::ForwardingFileServices {
 public:
  using ForwardingFileServices::ForwardingFileServices;
  std::vector<std::string> calls;

  void copyFile(const std::string& from, const std::string& to, fs::Overwrite mode) override {
    calls.push_back("copy to " + to);
    real_.copyFile(from, to, mode);
  }
  void deleteFile(const std::string& path) override {
    calls.push_back("delete " + path);
    real_.deleteFile(path);
  }
  void flush(const std::string& path) override {
    calls.push_back("flush " + path);
    real_.flush(path);
  }
};

TEST(WorkingCopyFlushes, OnlyOnceAtTheEndOfEachActionThatReportsIt) {
  Lab lab;
  lab.installSystemFiles();
  CallCounter files(lab.files());
  const fs::PathMap paths(lab.prefix());
  FlushCounter sqlite;
  workflow::CommandFrame frame(workflow::Services{files, lab.clock(), paths});
  workflow::testing::chooseSystemDatabase(frame.context());
  const std::string flushWorking = std::string("flush ") + kWorking;

  struct Action {
    int index;
    std::vector<std::string> calls;
  };
  const Action actions[] = {
      {workflow::kUpdate,
       {std::string("copy to ") + workflow::testing::kBackup, std::string("copy to ") + kWorking,
        flushWorking}},
      {workflow::kDeleteOrphans, {flushWorking}},
      {workflow::kSetNull, {flushWorking}},
      {workflow::kClose,
       {flushWorking, std::string("copy to ") + workflow::kSystemDatabase,
        std::string("delete ") + kWorking}},
  };
  for (const Action& action : actions) {
    SCOPED_TRACE(action.index);
    files.calls.clear();
    sqlite.flushes.clear();
    frame.commandClick(action.index);
    EXPECT_EQ(files.calls, action.calls);
    // SQLite writes only the working copy (the backup and the template are
    // only read), and never waits for the disk.
    EXPECT_EQ(sqlite.flushes, (std::map<std::string, int>{}));
  }
  EXPECT_TRUE(frame.closed());
}

}  // namespace
}  // namespace korvane::reliability
