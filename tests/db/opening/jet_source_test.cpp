// Real Jet files opened through the engine: every table of every fixture in
// tests/fixtures/jet transferred into one of our files with Update's
// statement and compared value by value with the reader's own import; writes
// refused with 3027; damaged copies refused with 3343, leaving no copy behind.
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "fs/file_hold.h"
#include "jet_file/jet_file.h"
#include "lab.h"
#include "sqlite/sql_text.h"
#include "support/files.h"
#include "support/scoped_process.h"

namespace korvane::db {
namespace {

namespace stdfs = std::filesystem;
using support::Caught;
using support::failureOf;
using support::readColumn;
using support::readFile;
using support::readRows;
using support::Rows;
using support::runSql;
using test::jetQuoted;
using test::Lab;
using test::transfers;

const stdfs::path kFixtures = KORVANE_JET_FIXTURES_DIR;
const std::vector<std::string> kFixtureNames = {"testV1997.mdb",
                                                "test2V2000.mdb",
                                                "indexTestV2000.mdb",
                                                "testIndexPropertiesV2000.mdb",
                                                "testUnicodeCompV2003.mdb",
                                                "functionsV2000.mdb"};
const std::string kJetFolder = "C:\\jet";
const std::string kOurs = "C:\\data_aco\\ours.mdb";
const std::string kReadOnlyText = "Cannot update.  Database or object is read-only.";

// Every value of `table` in `file` in row order, as "typeof:quote": each
// value's storage class and exact SQLite literal (a REAL with 20 significant
// digits, a BLOB in full hex).
Rows everyValue(const stdfs::path& file, const std::string& table) {
  std::string fields;
  for (const auto& column : readColumn(file, "SELECT name FROM pragma_table_info(" +
                                                 sqlite::quoteName(table) + ") ORDER BY cid")) {
    const std::string c = sqlite::quoteName(column);
    fields += (fields.empty() ? "" : ", ") + ("typeof(" + c + ") || ':' || quote(" + c + ")");
  }
  return readRows(file,
                  "SELECT " + fields + " FROM " + sqlite::quoteName(table) + " ORDER BY rowid");
}

class JetSource : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(stdfs::is_directory(kFixtures)) << "the Jet fixtures are missing: " << kFixtures;
    // The engine's temporary copies go to a folder of this test alone, so
    // that what is left behind can be seen.
    temp_ = lab_.host("C:\\tmp");
    stdfs::create_directories(temp_);
    tmpdir_.emplace("TMPDIR", temp_.c_str());
    // Copies of the test's own: another test may hold the shared fixtures.
    stdfs::create_directories(lab_.host(kJetFolder));
    for (const auto& name : kFixtureNames) {
      stdfs::copy_file(kFixtures / name, lab_.host(jetPath(name)));
      original_[name] = readFile(kFixtures / name);
    }
  }
  void TearDown() override {
    if (temp_.empty()) return;
    tmpdir_.reset();
    for (const auto& [name, bytes] : original_)
      EXPECT_TRUE(readFile(lab_.host(jetPath(name))) == bytes) << name << " was changed";
  }

  static std::string jetPath(const std::string& name) { return kJetFolder + "\\" + name; }

  // The reader's own import of fixture `name`, the reference for values.
  stdfs::path reference(const std::string& name) {
    const stdfs::path file = lab_.host("C:\\reference") / (name + ".sqlite");
    stdfs::create_directories(file.parent_path());
    jetfile::importJetFileToNewDatabase(lab_.host(jetPath(name)), file);
    return file;
  }

  // Our file with the reference's tables, same fields and declared types, empty.
  void makeMatchingFile(const stdfs::path& referenceFile) {
    stdfs::remove(lab_.host(kOurs));
    lab_.engine().createDatabase(kOurs)->close();
    for (const auto& sql :
         readColumn(referenceFile, "SELECT sql FROM sqlite_master WHERE type = 'table'"))
      runSql(lab_.host(kOurs), sql);
  }

  bool tempIsEmpty() const { return stdfs::is_empty(temp_); }

  Lab lab_;
  stdfs::path temp_;
  std::optional<support::ScopedEnv> tmpdir_;
  std::map<std::string, std::string> original_;
};

TEST_F(JetSource, TransferCopiesEveryTableOfEveryFixtureExactly) {
  size_t valuesCompared = 0;
  for (const auto& name : kFixtureNames) {
    SCOPED_TRACE(name);
    const stdfs::path referenceFile = reference(name);
    makeMatchingFile(referenceFile);
    const auto tables = readColumn(
        referenceFile, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid");
    ASSERT_FALSE(tables.empty());

    auto jet = lab_.engine().openDatabase(jetPath(name));
    EXPECT_EQ(jet->tableNames(), tables) << "user tables only, in the file's order";
    EXPECT_TRUE(fs::isHeld(lab_.host(jetPath(name))));
    for (const auto& table : tables) {
      SCOPED_TRACE(table);
      const Caught caught = failureOf([&] {
        jet->execute("INSERT INTO [" + table + "] IN '" + jetQuoted(kOurs) + "' SELECT [" + table +
                     "].* FROM [" + table + "];");
      });
      EXPECT_EQ(caught.number, 0) << caught.text;
    }
    jet->close();
    EXPECT_FALSE(fs::isHeld(lab_.host(jetPath(name))));
    EXPECT_TRUE(tempIsEmpty()) << "the temporary copy outlived the handle";

    for (const auto& table : tables) {
      SCOPED_TRACE(table);
      const Rows expected = everyValue(referenceFile, table);
      EXPECT_EQ(everyValue(lab_.host(kOurs), table), expected);
      for (const auto& row : expected) valuesCompared += row.size();
    }
  }
  // The fixtures hold, among others, a 74-field row and a 22 KB OLE value.
  EXPECT_GT(valuesCompared, 100u);
}

TEST_F(JetSource, UpdatesTransfersFromAJetFileWithoutTheTablesAreSkippedWith3078) {
  lab_.build(kOurs, "CREATE TABLE Samples ([Sample Name] TEXT(50));");
  auto jet = lab_.engine().openDatabase(jetPath("testV1997.mdb"));
  const std::string w = jetQuoted(kOurs);
  for (const std::string& statement : transfers(w)) {
    SCOPED_TRACE(statement);
    EXPECT_EQ(failureOf([&] { jet->execute(statement); }).number, 3078);
  }
}

TEST_F(JetSource, WritesToAJetFileFailWith3027AndChangeNothing) {
  // A copy, since writes are attempted.
  const std::string file = "C:\\data_aco\\copy.mdb";
  stdfs::copy_file(kFixtures / "testV1997.mdb", lab_.host(file));
  stdfs::permissions(lab_.host(file), stdfs::perms::owner_write, stdfs::perm_options::add);
  const std::string before = readFile(lab_.host(file));
  auto jet = lab_.engine().openDatabase(file);
  const std::vector<std::string> statements = {
      "INSERT INTO Table1 SELECT Table1.* FROM Table1;",
      "INSERT INTO Table3 ( b ) VALUES ( 'x' );",
      "UPDATE Table1 SET Table1.A = 'changed';",
      "DELETE FROM Table1;",
      "DELETE FROM Table3;",
      "CREATE TABLE Extra (X LONG);",
      "CREATE INDEX ByA ON Table1 (A);",
      "DROP TABLE Table3;",
  };
  for (const auto& statement : statements) {
    SCOPED_TRACE(statement);
    const Caught caught = failureOf([&] { jet->execute(statement); });
    EXPECT_EQ(caught.number, 3027) << caught.text;
    EXPECT_EQ(caught.text, kReadOnlyText);
  }
  EXPECT_EQ(failureOf([&] { jet->deleteTableDef("Table4"); }).number, 3027);
  EXPECT_EQ(failureOf([&] { jet->setFieldProperty("Table1", "A", "Caption", "a"); }).number, 3027);

  EXPECT_EQ(jet->tableNames(), (std::vector<std::string>{"Table1", "Table2", "Table3", "Table4"}));
  lab_.build(kOurs, "CREATE TABLE Table1 (A TEXT(50));");
  jet->execute("INSERT INTO Table1 ( A ) IN '" + jetQuoted(kOurs) + "' SELECT A FROM Table1;");
  EXPECT_EQ(lab_.rows(kOurs, "SELECT count(*) FROM Table1"), (Rows{{"2"}}));
  jet.reset();
  EXPECT_TRUE(readFile(lab_.host(file)) == before);
  EXPECT_TRUE(tempIsEmpty());
}

TEST_F(JetSource, AJetFileAsATransferTargetFailsWith3027BeforeAnythingIsAttached) {
  lab_.build(kOurs, "CREATE TABLE Table1 (A TEXT(50));\nINSERT INTO Table1 ( A ) VALUES ('x');");
  const std::string target = "C:\\data_aco\\target.mdb";
  stdfs::copy_file(kFixtures / "testV1997.mdb", lab_.host(target));
  const std::string before = readFile(lab_.host(target));
  auto ours = lab_.engine().openDatabase(kOurs);
  const Caught caught = failureOf([&] {
    ours->execute("INSERT INTO Table1 IN '" + jetQuoted(target) + "' SELECT Table1.* FROM Table1;");
  });
  EXPECT_EQ(caught.number, 3027);
  EXPECT_EQ(caught.text, kReadOnlyText);
  EXPECT_FALSE(fs::isHeld(lab_.host(target)));
  // Nothing stayed attached: a transfer to one of our files still runs.
  lab_.build("C:\\data_aco\\other.mdb", "CREATE TABLE Table1 (A TEXT(50));");
  ours->execute("INSERT INTO Table1 IN 'C:\\data_aco\\other.mdb' SELECT Table1.* FROM Table1;");
  EXPECT_EQ(lab_.rows("C:\\data_aco\\other.mdb", "SELECT A FROM Table1"), (Rows{{"x"}}));
  EXPECT_TRUE(readFile(lab_.host(target)) == before);
}

TEST_F(JetSource, DamagedCopiesFailWith3343AndLeaveNoCopyBehind) {
  struct Cut {
    const char* fixture;
    size_t size;
  };
  const Cut cuts[] = {{"testV1997.mdb", 0},       {"testV1997.mdb", 100},
                      {"testV1997.mdb", 8192},    {"test2V2000.mdb", 4096},
                      {"test2V2000.mdb", 131072}, {"functionsV2000.mdb", 102400}};
  for (const auto& cut : cuts) {
    SCOPED_TRACE(std::string(cut.fixture) + " cut to " + std::to_string(cut.size));
    const std::string file = "C:\\data_aco\\cut.mdb";
    support::writeFile(lab_.host(file), readFile(kFixtures / cut.fixture).substr(0, cut.size));
    const Caught caught = failureOf([&] { lab_.engine().openDatabase(file); });
    EXPECT_EQ(caught.number, 3343) << caught.text;
    EXPECT_EQ(caught.text.rfind("Unrecognized database format 'C:\\data_aco\\cut.mdb'.", 0), 0u)
        << caught.text;
    EXPECT_TRUE(tempIsEmpty());
    EXPECT_FALSE(fs::isHeld(lab_.host(file)));
  }
}

TEST_F(JetSource, DestroyingTheHandleWithoutCloseRemovesTheCopy) {
  {
    auto jet = lab_.engine().openDatabase(jetPath("functionsV2000.mdb"));
    EXPECT_FALSE(tempIsEmpty());
  }
  EXPECT_TRUE(tempIsEmpty());
  EXPECT_FALSE(fs::isHeld(lab_.host(jetPath("functionsV2000.mdb"))));
}

}  // namespace
}  // namespace korvane::db
