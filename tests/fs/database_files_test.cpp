// What the file layer reads from a database's own files and from the locks
// other programs' SQLite connections hold, and copying a database aside with
// the journal or log that completes it.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "fs/database_files.h"
#include "fs/failure.h"
#include "other_program.h"
#include "test_support.h"

namespace korvane::fs {

std::ostream& operator<<(std::ostream& out, const DatabaseState& s) {
  return out << "writing " << s.writing << ", connected " << s.connected << ", hot journal "
             << s.hotJournal << ", -wal " << s.walFile << " with frames " << s.walFrames
             << ", -shm " << s.shmFile << ", WAL header " << s.walMode;
}

namespace {

namespace stdfs = std::filesystem;
using korvane::testing::goneAfter;
using korvane::testing::keptOpenAfter;
using korvane::testing::OtherProgram;
using korvane::testing::runSql;
using korvane::testing::untouched;
using testing::entriesOf;
using testing::failureOf;
using testing::readFile;
using testing::TempFolder;

// The first value `sql` gives, on a connection that may settle the file.
std::string firstValue(const stdfs::path& file, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  sqlite3_stmt* statement = nullptr;
  std::string value = "<error>";
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
      sqlite3_step(statement) == SQLITE_ROW) {
    value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
  }
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return value;
}

constexpr const char* kTenRows =
    "CREATE TABLE t(x); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
    "WHERE i < 10) INSERT INTO t SELECT i FROM n;";

struct StateCase {
  const char* name;
  const char* journalMode;  // of the database as made
  // Puts the database in its state; what it returns keeps it there.
  korvane::testing::Arrangement arrange;
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
     goneAfter([](const stdfs::path& file) { korvane::testing::leaveAHotJournal(file, "t"); }),
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
       korvane::testing::leaveRowsInTheLog(file, "INSERT INTO t VALUES (11);");
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
  testing::writeFile(folder.path() / "gone.mdb-wal", "frames");
  DatabaseState expected;
  expected.walFile = expected.walFrames = true;
  EXPECT_EQ(inspectDatabase(file), expected);
}

TEST(DatabaseFiles, ACopyAsideSettlesToTheCommittedRowsAndLeavesTheFileAlone) {
  const TempFolder folder;
  const stdfs::path journalled = folder.path() / "journalled.mdb";
  runSql(journalled, std::string("PRAGMA journal_mode=DELETE; ") + kTenRows);
  korvane::testing::leaveAHotJournal(journalled, "t");
  const stdfs::path logged = folder.path() / "logged.mdb";
  runSql(logged, std::string("PRAGMA journal_mode=WAL; ") + kTenRows);
  korvane::testing::leaveRowsInTheLog(logged, "INSERT INTO t VALUES (11), (12);");
  const std::vector<std::string> before = entriesOf(folder.path());
  const std::string journalledBytes = readFile(journalled);
  const std::string loggedBytes = readFile(logged);

  const TempFolder aside;
  copyDatabaseAside(journalled, aside.path() / "j.sqlite");
  copyDatabaseAside(logged, aside.path() / "l.sqlite");
  EXPECT_EQ(entriesOf(aside.path()),
            (std::vector<std::string>{"j.sqlite", "j.sqlite-journal", "l.sqlite", "l.sqlite-wal"}));
  // SQLite settles the copies as it would have settled the files.
  EXPECT_EQ(firstValue(aside.path() / "j.sqlite", "SELECT count(*) FROM t"), "10");
  EXPECT_EQ(firstValue(aside.path() / "j.sqlite",
                       "SELECT count(*) FROM sqlite_master WHERE name = 'spill'"),
            "0");
  EXPECT_EQ(firstValue(aside.path() / "l.sqlite", "SELECT count(*) FROM t"), "12");

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
    EXPECT_EQ(failureOf([&] { copyDatabaseAside(file, copy); }), fserr::kPermissionDenied) << mode;
    EXPECT_FALSE(stdfs::exists(copy)) << mode;
  }
}

}  // namespace
}  // namespace korvane::fs
