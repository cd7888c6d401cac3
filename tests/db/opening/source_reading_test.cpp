// A database opened read-only is never written, whatever state other
// programs left it in or keep it in, and every committed row is read from
// it: the file's bytes and the files beside it are the same before and
// after, and a transfer out of it carries exactly the committed rows.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "db/engine/database_engine.h"
#include "fs/temp_folder.h"
#include "lab.h"
#include "support/files.h"
#include "support/other_program.h"
#include "support/scoped_process.h"
#include "support/sqlite_file.h"

namespace korvane::db::test {
namespace {

namespace stdfs = std::filesystem;
using support::bytesIn;
using support::changesIn;
using support::FolderBytes;
using support::goneAfter;
using support::keptOpenAfter;
using support::OtherProgram;
using support::runSql;
using support::untouched;
using support::WithoutPermissionOverride;

const std::string kSource = "C:\\data_aco\\Lab7\\QX_aco.mdb";
const std::string kTarget = "C:\\data_aco\\target.mdb";
const std::string kTransfer = "INSERT INTO t IN '" + kTarget + "' SELECT t.* FROM t;";

struct SourceCase {
  const char* name;
  const char* journalMode;       // of the source as made with its ten rows
  support::Arrangement arrange;  // what others did or still do with it
  int committedRows;             // what a transfer out of it must carry
  mode_t fileBits = 0644;
  mode_t folderBits = 0755;
};

std::ostream& operator<<(std::ostream& out, const SourceCase& c) {
  return out << c.name;
}

void twoRowsLeftInTheLog(const stdfs::path& file) {
  support::leaveRowsInTheLog(file, "INSERT INTO t VALUES (11), (12);");
}

const SourceCase kSources[] = {
    {"RollbackJournal", "DELETE", untouched, 10},
    {"RollbackJournalWithAHotJournal", "DELETE",
     goneAfter([](const stdfs::path& f) { support::leaveAHotJournal(f, "t"); }), 10},
    {"RollbackJournalReadElsewhere", "DELETE", keptOpenAfter("BEGIN; SELECT count(*) FROM t;"), 10},
    {"WriteAheadLog", "WAL", untouched, 10},
    {"WriteAheadLogWithRowsInTheLog", "WAL", goneAfter(twoRowsLeftInTheLog), 12},
    {"WriteAheadLogWithRowsInTheLogAndNoIndex", "WAL", goneAfter([](const stdfs::path& f) {
       twoRowsLeftInTheLog(f);
       stdfs::remove(f.native() + "-shm");
     }),
     12},
    {"WriteAheadLogWithAnEmptyLogLeftBehind", "WAL",
     goneAfter([](const stdfs::path& f) { OtherProgram(f, "SELECT 1 FROM t;").crash(); }), 10},
    {"WriteAheadLogReadElsewhere", "WAL", keptOpenAfter("BEGIN; SELECT count(*) FROM t;"), 10},
    {"WriteAheadLogWithRowsInTheLogOpenElsewhere", "WAL",
     keptOpenAfter("PRAGMA wal_autocheckpoint=0; INSERT INTO t VALUES (11), (12);"), 12},
    {"RollbackJournalFileWithoutWritePermission", "DELETE", untouched, 10, 0444},
    {"WriteAheadLogFileWithoutWritePermission", "WAL", untouched, 10, 0444},
    {"RollbackJournalInAFolderWithoutWritePermission", "DELETE", untouched, 10, 0644, 0555},
    {"WriteAheadLogInAFolderWithoutWritePermission", "WAL", untouched, 10, 0644, 0555},
    {"WriteAheadLogWithRowsInTheLogInAFolderWithoutWritePermission", "WAL",
     goneAfter(twoRowsLeftInTheLog), 12, 0644, 0555},
};

class ReadOnlyOpen : public ::testing::TestWithParam<SourceCase> {
 protected:
  ReadOnlyOpen() {
    stdfs::create_directories(lab_.host(kSource).parent_path());
    stdfs::create_directories(lab_.host("C:\\tmp"));
    runSql(lab_.host(kSource),
           std::string("PRAGMA journal_mode=") + GetParam().journalMode +
               "; CREATE TABLE t(x); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
               "FROM n WHERE i < 10) INSERT INTO t SELECT i FROM n;");
    runSql(lab_.host(kTarget), "CREATE TABLE t(x);");
  }

  Lab lab_;
};

TEST_P(ReadOnlyOpen, WritesNothingOfTheSourceAndReadsEveryCommittedRow) {
  const SourceCase& c = GetParam();
  const stdfs::path folder = lab_.host(kSource).parent_path();
  const stdfs::path temp = lab_.host("C:\\tmp");
  const support::ScopedEnv tmpdir("TMPDIR", temp.c_str());
  std::unique_ptr<OtherProgram> other = c.arrange(lab_.host(kSource));
  ::chmod(lab_.host(kSource).c_str(), c.fileBits);
  ::chmod(folder.c_str(), c.folderBits);
  const FolderBytes before = bytesIn(folder);

  {
    const WithoutPermissionOverride asAnyUser;
    std::unique_ptr<Database> source = lab_.engine().openDatabaseInWorkspace(kSource, true);
    source->execute(kTransfer);
    // Still a handle that only reads.
    EXPECT_EQ(failureOf([&] { source->execute("DELETE FROM t;"); }).number, 3027);
    source->close();
  }

  EXPECT_EQ(changesIn(folder, before), "");
  EXPECT_EQ(lab_.value(kTarget, "SELECT count(*) FROM t"), std::to_string(c.committedRows));
  EXPECT_TRUE(stdfs::is_empty(temp)) << "a private copy was left behind";
}

INSTANTIATE_TEST_SUITE_P(Sources, ReadOnlyOpen, ::testing::ValuesIn(kSources),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadOnlyOpenOfADatabaseBeingWritten, FailsAsInUseAndChangesNothing) {
  for (const char* mode : {"DELETE", "WAL"}) {
    Lab lab;
    stdfs::create_directories(lab.host(kSource).parent_path());
    runSql(lab.host(kSource), std::string("PRAGMA journal_mode=") + mode +
                                  "; CREATE TABLE t(x); INSERT INTO t VALUES (1);");
    OtherProgram writer(lab.host(kSource), "BEGIN IMMEDIATE; INSERT INTO t VALUES (2);");
    const FolderBytes before = bytesIn(lab.host(kSource).parent_path());
    EXPECT_EQ(failureOf([&] { lab.engine().openDatabaseInWorkspace(kSource, true); }).number, 3045)
        << mode;
    EXPECT_EQ(changesIn(lab.host(kSource).parent_path(), before), "") << mode;
  }
}

// A run killed while it reads a copy settled aside leaves the copy's folder
// behind; the next open that settles a copy removes it, and keeps a folder a
// live run still holds.
TEST(SettledCopyOfAKilledRun, IsRemovedByTheNextOpenAndALiveOneIsKept) {
  Lab lab;
  const stdfs::path temp = lab.host("C:\\tmp");
  stdfs::create_directories(temp);
  stdfs::create_directories(lab.host(kSource).parent_path());
  const support::ScopedEnv tmpdir("TMPDIR", temp.c_str());
  runSql(lab.host(kSource), "CREATE TABLE t(x); INSERT INTO t VALUES (1), (2), (3);");
  support::leaveAHotJournal(lab.host(kSource), "t");

  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t run = ::fork();
  ASSERT_GE(run, 0);
  if (run == 0) {
    // The killed run: it opens the source (settled aside) and is killed
    // while it reads it. Whatever happens, the child never returns to the
    // test program; the parent sees no byte and fails.
    try {
      const auto source = lab.engine().openDatabaseInWorkspace(kSource, true);
      (void)!::write(ready[1], "x", 1);
      for (;;) ::pause();
    } catch (const std::exception&) {
      ::_exit(1);
    }
  }
  ::close(ready[1]);
  char byte = 0;
  const bool opened = ::read(ready[0], &byte, 1) == 1;
  ::close(ready[0]);
  ::kill(run, SIGKILL);
  int status;
  ::waitpid(run, &status, 0);
  ASSERT_TRUE(opened) << "the run to be killed could not open the source";
  const std::vector<std::string> leftBehind = support::entriesOf(temp);
  ASSERT_EQ(leftBehind.size(), 1u);
  EXPECT_EQ(leftBehind[0].rfind("korvane-source-", 0), 0u) << leftBehind[0];

  std::string why;
  const auto live = fs::TempFolder::make("korvane-source-", why);
  ASSERT_TRUE(live) << why;
  {
    const auto source = lab.engine().openDatabaseInWorkspace(kSource, true);
    const std::vector<std::string> during = support::entriesOf(temp);
    EXPECT_EQ(during.size(), 2u) << "the live run's folder and the new copy's";
    EXPECT_EQ(std::count(during.begin(), during.end(), leftBehind[0]), 0);
    source->close();
  }
  EXPECT_EQ(support::entriesOf(temp), std::vector{live->path().filename().string()});
}

}  // namespace
}  // namespace korvane::db::test
