// What the file layer reads from a database's own files and from the locks
// other programs' SQLite connections hold, and copying a database aside with
// the journal or log that completes it.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "fs/database_files.h"
#include "fs/failure.h"
#include "support/failure_of.h"
#include "support/files.h"
#include "support/other_program.h"
#include "support/sqlite_file.h"
#include "support/temp_prefix.h"

namespace korvane::fs {

std::ostream& operator<<(std::ostream& out, const DatabaseState& s) {
  return out << "writing " << s.writing << ", connected " << s.connected << ", hot journal "
             << s.hotJournal << ", -wal " << s.walFile << " with frames " << s.walFrames
             << ", -shm " << s.shmFile << ", WAL header " << s.walMode;
}

namespace {

namespace stdfs = std::filesystem;
using support::entriesOf;
using support::failureOf;
using support::goneAfter;
using support::keptOpenAfter;
using support::OtherProgram;
using support::readFile;
using support::readValue;
using support::runSql;
using support::TempFolder;
using support::untouched;

constexpr const char* kTenRows =
    "CREATE TABLE t(x); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
    "WHERE i < 10) INSERT INTO t SELECT i FROM n;";

struct StateCase {
  const char* name;
  const char* journalMode;  // of the database as made
  // Puts the database in its state; what it returns keeps it there.
  support::Arrangement arrange;
  DatabaseState expected;
};

std::ostream& operator<<(std::ostream& out, const StateCase& c) {
  return out << c.name;
}

// {writing, connected, hotJournal, walFile, walFrames, shmFile, walMode}
const StateCase kStates[] = {
    {"RollbackJournalAtRest", "DELETE", untouched, {}},
    {"RollbackJournalReader",
     "DELETE",
     keptOpenAfter("BEGIN; SELECT count(*) FROM t;"),
     {false, true, false, false, false, false, false}},
    {"RollbackJournalWriter",
     "DELETE",
     keptOpenAfter("BEGIN IMMEDIATE; INSERT INTO t VALUES (11);"),
     {true, true, false, false, false, false, false}},
    {"RollbackJournalLeftByACrash",
     "DELETE",
     goneAfter([](const stdfs::path& file) { support::leaveAHotJournal(file, "t"); }),
     {false, false, true, false, false, false, false}},
    {"WriteAheadLogAtRest", "WAL", untouched, {false, false, false, false, false, false, true}},
    {"WriteAheadLogIdleConnection",
     "WAL",
     keptOpenAfter("SELECT count(*) FROM t;"),
     {false, true, false, true, false, true, true}},
    {"WriteAheadLogWriter",
     "WAL",
     keptOpenAfter("BEGIN IMMEDIATE; INSERT INTO t VALUES (11);"),
     {true, true, false, true, false, true, true}},
    {"WriteAheadLogLeftByACrash",
     "WAL",
     goneAfter([](const stdfs::path& file) {
       support::leaveRowsInTheLog(file, "INSERT INTO t VALUES (11);");
     }),
     {false, false, false, true, true, true, true}},
};

class DatabaseStates : public ::testing::TestWithParam<StateCase> {};

TEST_P(DatabaseStates, AreReadFromTheFilesAndLocksWithoutChangingThem) {
  const TempFolder folder;
  const stdfs::path file = folder.path() / "data.mdb";
  runSql(file, std::string("PRAGMA journal_mode=") + GetParam().journalMode + "; " + kTenRows);
  const std::unique_ptr<OtherProgram> program = GetParam().arrange(file);
  const std::vector<std::string> neighbours = entriesOf(folder.path());
  const std::string bytes = readFile(file);

  EXPECT_EQ(inspectDatabase(file), GetParam().expected);
  EXPECT_EQ(entriesOf(folder.path()), neighbours);
  EXPECT_EQ(readFile(file), bytes);
}

INSTANTIATE_TEST_SUITE_P(Cases, DatabaseStates, ::testing::ValuesIn(kStates),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DatabaseFiles, AFileThatIsNotThereHasOnlyWhatLiesBesideIt) {
  const TempFolder folder;
  const stdfs::path file = folder.path() / "gone.mdb";
  EXPECT_EQ(inspectDatabase(file), DatabaseState{});
  support::writeFile(folder.path() / "gone.mdb-wal", "frames");
  DatabaseState expected;
  expected.walFile = expected.walFrames = true;
  EXPECT_EQ(inspectDatabase(file), expected);
}

TEST(DatabaseFiles, ACopyAsideSettlesToTheCommittedRowsAndLeavesTheFileAlone) {
  const TempFolder folder;
  const stdfs::path journalled = folder.path() / "journalled.mdb";
  runSql(journalled, std::string("PRAGMA journal_mode=DELETE; ") + kTenRows);
  support::leaveAHotJournal(journalled, "t");
  const stdfs::path logged = folder.path() / "logged.mdb";
  runSql(logged, std::string("PRAGMA journal_mode=WAL; ") + kTenRows);
  support::leaveRowsInTheLog(logged, "INSERT INTO t VALUES (11), (12);");
  const std::vector<std::string> before = entriesOf(folder.path());
  const std::string journalledBytes = readFile(journalled);
  const std::string loggedBytes = readFile(logged);

  const TempFolder aside;
  copyDatabaseAside(journalled, aside.path() / "j.sqlite");
  copyDatabaseAside(logged, aside.path() / "l.sqlite");
  EXPECT_EQ(entriesOf(aside.path()),
            (std::vector<std::string>{"j.sqlite", "j.sqlite-journal", "l.sqlite", "l.sqlite-wal"}));
  // SQLite settles the copies as it would have settled the files, once a
  // program opens them for writing.
  runSql(aside.path() / "j.sqlite", "PRAGMA journal_mode=DELETE");
  runSql(aside.path() / "l.sqlite", "PRAGMA journal_mode=DELETE");
  EXPECT_EQ(readValue(aside.path() / "j.sqlite", "SELECT count(*) FROM t"), "10");
  EXPECT_EQ(readValue(aside.path() / "j.sqlite",
                      "SELECT count(*) FROM sqlite_master WHERE name = 'spill'"),
            "0");
  EXPECT_EQ(readValue(aside.path() / "l.sqlite", "SELECT count(*) FROM t"), "12");

  EXPECT_EQ(entriesOf(folder.path()), before);
  EXPECT_EQ(readFile(journalled), journalledBytes);
  EXPECT_EQ(readFile(logged), loggedBytes);
}

TEST(DatabaseFiles, ACopyAsideOfADatabaseBeingWrittenIsRefused) {
  const TempFolder folder;
  for (const char* mode : {"DELETE", "WAL"}) {
    const stdfs::path file = folder.path() / (std::string(mode) + ".mdb");
    runSql(file, std::string("PRAGMA journal_mode=") + mode + "; " + kTenRows);
    OtherProgram writer(file, "BEGIN IMMEDIATE; INSERT INTO t VALUES (11);");
    const stdfs::path copy = folder.path() / (std::string(mode) + "-copy.sqlite");
    EXPECT_EQ(failureOf([&] { copyDatabaseAside(file, copy); }).number, fserr::kPermissionDenied)
        << mode;
    EXPECT_FALSE(stdfs::exists(copy)) << mode;
  }
}

}  // namespace
}  // namespace korvane::fs
