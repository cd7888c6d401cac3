// The SQLite layer: the one mapping of SQLite's failures to Jet's numbers,
// what a connection refuses to open, that a file it only reads keeps its log
// and journal mode, and that a savepoint keeps nothing of a failed body.
#include "sqlite/connection.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "support/failure_of.h"
#include "support/files.h"
#include "support/other_program.h"
#include "support/sqlite_file.h"
#include "support/temp_prefix.h"

namespace korvane::sqlite {
namespace {

namespace stdfs = std::filesystem;
using support::failureOf;

struct MappingCase {
  int rc;
  int number;
  bool namesTheFile;
};

TEST(FailureMapping, EverySqliteResultHasOneJetNumber) {
  const MappingCase cases[] = {
      {SQLITE_READONLY, 3027, false},
      {SQLITE_READONLY_DBMOVED, 3027, false},
      {SQLITE_FULL, 3035, false},
      {SQLITE_IOERR, 3043, false},
      {SQLITE_IOERR_WRITE, 3043, false},
      {SQLITE_BUSY, 3045, true},
      {SQLITE_LOCKED, 3045, true},
      {SQLITE_CANTOPEN, 3051, true},
      {SQLITE_PERM, 3051, true},
      {SQLITE_NOTADB, 3343, true},
      {SQLITE_CORRUPT, 3343, true},
      {SQLITE_ERROR, 3000, false},
      {SQLITE_CONSTRAINT_UNIQUE, 3000, false},
  };
  for (const MappingCase& c : cases) {
    const support::Caught caught = failureOf([&] { raiseFailure(nullptr, c.rc, "C:\\x.mdb"); });
    EXPECT_EQ(caught.number, c.number) << c.rc << ": " << caught.text;
    EXPECT_EQ(caught.text.find("C:\\x.mdb") != std::string::npos, c.namesTheFile) << caught.text;
  }
}

class SqliteLayer : public ::testing::Test {
 protected:
  support::TempFolder folder_;
  const stdfs::path file_ = folder_.path() / "a.mdb";
};

TEST_F(SqliteLayer, OpensOnlyDatabasesAndCreatesOnlyWhenAsked) {
  EXPECT_EQ(failureOf([&] { Connection(file_, "C:\\a.mdb", OpenMode::kReadWrite); }).number, 3051);
  EXPECT_FALSE(stdfs::exists(file_));
  Connection(file_, "C:\\a.mdb", OpenMode::kCreate).exec("CREATE TABLE t (x)");
  EXPECT_EQ(support::readValue(file_, "PRAGMA journal_mode"), "delete");

  const stdfs::path text = folder_.path() / "notes.mdb";
  support::writeFile(text, std::string(4096, 'x'));
  const support::Caught notADatabase =
      failureOf([&] { Connection(text, "C:\\notes.mdb", OpenMode::kReadOnly); });
  EXPECT_EQ(notADatabase.number, 3343);
  EXPECT_EQ(notADatabase.text, "Unrecognized database format 'C:\\notes.mdb'.");
}

TEST_F(SqliteLayer, ReadOnlyNeverWrites) {
  support::runSql(file_, "PRAGMA journal_mode=WAL; CREATE TABLE t (x); INSERT INTO t VALUES (1)");
  Connection reader(file_, "C:\\a.mdb", OpenMode::kReadOnly);
  EXPECT_EQ(failureOf([&] { reader.exec("INSERT INTO t VALUES (2)"); }).number, 3027);
  std::vector<std::string> values;
  reader.query("SELECT x FROM t", {},
               [&](const Connection::ColumnText& column) { values.push_back(column(0)); });
  EXPECT_EQ(values, std::vector<std::string>{"1"});
  EXPECT_EQ(support::readValue(file_, "PRAGMA journal_mode"), "wal");
}

// A file opened only to be read, by the mode or by a "mode=ro" URI on a
// connection that could write, keeps its journal mode and its log: the rows
// in the log are read, and closing the last connection checkpoints nothing.
// (SQLite may still write the log's index, "-shm", for a reader.)
TEST_F(SqliteLayer, AFileOnlyReadKeepsItsLogAndJournalMode) {
  struct ReadCase {
    const char* name;
    std::string target;
    OpenMode mode;
  };
  const stdfs::path log = file_.string() + "-wal";
  const ReadCase cases[] = {
      {"read-only", file_.string(), OpenMode::kReadOnly},
      {"read-only URI", "file:" + file_.string() + "?mode=ro", OpenMode::kReadWrite},
  };
  for (const ReadCase& c : cases) {
    for (const char* suffix : {"", "-wal", "-shm"}) stdfs::remove(file_.string() + suffix);
    support::runSql(file_, "PRAGMA journal_mode=WAL; CREATE TABLE t (x); INSERT INTO t VALUES (1)");
    support::leaveRowsInTheLog(file_, "INSERT INTO t VALUES (2);");
    const std::string fileBefore = support::readFile(file_);
    const std::string logBefore = support::readFile(log);
    {
      Connection reader(stdfs::path(c.target), "C:\\a.mdb", c.mode);
      std::vector<std::string> values;
      reader.query("SELECT x FROM t ORDER BY x", {},
                   [&](const Connection::ColumnText& column) { values.push_back(column(0)); });
      EXPECT_EQ(values, (std::vector<std::string>{"1", "2"})) << c.name;
    }
    EXPECT_TRUE(support::readFile(file_) == fileBefore) << c.name << ": the file was written";
    ASSERT_TRUE(stdfs::exists(log)) << c.name << ": the log was checkpointed away";
    EXPECT_TRUE(support::readFile(log) == logBefore) << c.name << ": the log was written";
  }
}

TEST_F(SqliteLayer, ASavepointKeepsNothingOfAFailedBody) {
  Connection c(file_, "C:\\a.mdb", OpenMode::kCreate);
  c.exec("CREATE TABLE t (x UNIQUE)");
  const support::Caught caught = failureOf([&] {
    inSavepoint(c, [&] {
      c.exec("INSERT INTO t VALUES (1)");
      c.exec("INSERT INTO t VALUES (1)");
    });
  });
  EXPECT_EQ(caught.number, 3000) << caught.text;
  inSavepoint(c, [&] { c.exec("INSERT INTO t VALUES (2)"); });
  EXPECT_EQ(support::readColumn(file_, "SELECT x FROM t"), std::vector<std::string>{"2"});
}

TEST_F(SqliteLayer, StatementBindsEveryKindOfValue) {
  Connection c(file_, "C:\\a.mdb", OpenMode::kCreate);
  c.exec("CREATE TABLE t (v)");
  Statement insert(c.handle(), "INSERT INTO t VALUES (?1)");
  const unsigned char bytes[] = {0, 1, 2};
  const auto bindings = std::vector<std::function<void()>>{
      [&] { insert.bind(1, std::int64_t{-7}); },
      [&] { insert.bind(1, 2.5); },
      [&] { insert.bindText(1, std::string("it's\0in", 7)); },
      [&] { insert.bindBlob(1, bytes); },
      [&] { insert.bindBlob(1, {}); },
      [&] { insert.bindNull(1); },
  };
  for (const auto& bindValue : bindings) {
    bindValue();
    EXPECT_FALSE(insert.step());
    insert.reset();
  }
  EXPECT_EQ(support::readColumn(file_, "SELECT typeof(v) || ':' || quote(v) FROM t ORDER BY rowid"),
            (std::vector<std::string>{"integer:-7", "real:2.5", "text:'it''s'", "blob:X'000102'",
                                      "blob:X''", "null:NULL"}));
  EXPECT_EQ(support::readValue(file_, "SELECT length(CAST(v AS BLOB)) FROM t WHERE rowid = 3"),
            "7");
}

TEST_F(SqliteLayer, StatementBindsAColumnOfAnotherAsItIsEvenAcrossTextEncodings) {
  support::runSql(file_,
                  "CREATE TABLE t (v); INSERT INTO t VALUES (-7), (2.5), ('Łódź ''x'''), "
                  "(X'00FF'), (X''), (NULL), ('12');");
  const stdfs::path wide = folder_.path() / "wide.mdb";
  support::runSql(wide, "PRAGMA encoding = 'UTF-16le'; CREATE TABLE t (v)");
  Connection from(file_, "C:\\a.mdb", OpenMode::kReadOnly);
  Connection to(wide, "C:\\wide.mdb", OpenMode::kReadWrite);
  Statement read(from.handle(), "SELECT v FROM t ORDER BY rowid");
  Statement write(to.handle(), "INSERT INTO t VALUES (?1)");
  while (read.step()) {
    write.bindColumn(1, read, 0);
    EXPECT_FALSE(write.step());
    write.reset();
  }
  const std::string picture = "SELECT typeof(v) || ':' || quote(v) FROM t ORDER BY rowid";
  EXPECT_EQ(support::readValue(wide, "PRAGMA encoding"), "UTF-16le");
  EXPECT_EQ(support::readColumn(wide, picture),
            (std::vector<std::string>{"integer:-7", "real:2.5", "text:'Łódź ''x'''", "blob:X'00FF'",
                                      "blob:X''", "null:NULL", "text:'12'"}));
}

}  // namespace
}  // namespace korvane::sqlite
