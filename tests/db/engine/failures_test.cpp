// The engine's failures: Jet's numbers and texts, and that a statement which
// cannot run changes nothing.
#include <gtest/gtest.h>

#include <fstream>

#include "fs/file_hold.h"
#include "lab.h"

namespace korvane::db::test {
namespace {

class Failures : public ::testing::Test {
 protected:
  void SetUp() override {
    lab_.buildSample(kTemplate, "template.sql");
    lab_.copy(kTemplate, kWorking);
  }
  Caught execute(const std::string& database, const std::string& sql) {
    return failureOf([&] {
      auto db = lab_.engine().openDatabase(database);
      db->execute(sql);
    });
  }
  std::string count(const std::string& database, const std::string& table) {
    return lab_.value(database, "SELECT count(*) FROM [" + table + "]");
  }
  Lab lab_;
};

TEST_F(Failures, SourceWithoutUsersFailsWith3078AndOtherTransfersStillRun) {
  lab_.buildSample(kSystem, "old_system.sql", "DROP TABLE Users;");
  auto db = lab_.engine().openDatabase(kSystem);
  const std::string w = jetQuoted(kWorking);
  Caught users = failureOf([&] { db->execute(transfer(kTransferUsers, w)); });
  EXPECT_EQ(users.number, 3078);
  EXPECT_EQ(users.text,
            "The Microsoft Jet database engine cannot find the input table or query 'Users'.  "
            "Make sure it exists and that its name is spelled correctly.");
  db->execute(transfer(kTransferMaterials, w));
  EXPECT_EQ(count(kWorking, "Users"), "1");
  EXPECT_EQ(count(kWorking, "Materials"), "5");
}

TEST_F(Failures, MissingTablesAndFieldsFailWithJetNumbersAndWriteNothing) {
  lab_.buildSample(kSystem, "old_system.sql",
                   "CREATE TABLE Extras (Name TEXT(10));\n"
                   "INSERT INTO Extras (Name) VALUES ('x');\n");
  const std::string w = jetQuoted(kWorking);
  struct Case {
    std::string sql;
    int number;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"INSERT INTO Extras IN '" + w + "' SELECT Extras.* FROM Extras;", 3192,
       "Could not find output table 'Extras'."},
      {"INSERT INTO Materials IN '" + w + "' SELECT Samples.* FROM Samples;", 3127,
       "The INSERT INTO statement contains the following unknown field name: 'Sample Date'.  "
       "Make sure you have typed the name correctly, and try the operation again."},
      {"INSERT INTO Users ([User Name], Nickname) IN '" + w +
           "' SELECT [User Name], [Full Name] FROM Users;",
       3127,
       "The INSERT INTO statement contains the following unknown field name: 'Nickname'.  Make "
       "sure you have typed the name correctly, and try the operation again."},
      {"INSERT INTO Users IN '" + w + "' SELECT Users.* FROM Users WHERE Nickname = 'x';", 3061,
       "Too few parameters. Expected 1."},
      {"INSERT INTO Users IN '" + w + "' SELECT [User Name], Login, Pass FROM Users;", 3061,
       "Too few parameters. Expected 2."},
      {"INSERT INTO Users ([User Name]) IN '" + w + "' SELECT [User Name], [Full Name] FROM Users;",
       3346, "Number of query values and destination fields are not the same."},
  };
  for (const auto& c : cases) {
    Caught caught = execute(kSystem, c.sql);
    EXPECT_EQ(caught.number, c.number) << c.sql << "\n" << caught.text;
    EXPECT_EQ(caught.text, c.text) << c.sql;
  }
  EXPECT_EQ(count(kWorking, "Users"), "1");
  EXPECT_EQ(count(kWorking, "Materials"), "0");
}

TEST_F(Failures, FilesThatAreMissingOrNoDatabasesFailWithoutCreatingAnything) {
  std::ofstream(lab_.host("C:\\data_aco\\notes.mdb")) << "just text, no database";
  std::ofstream(lab_.host("C:\\data_aco\\empty.mdb"));
  struct Case {
    std::string path;
    int number;
  };
  const std::vector<Case> cases = {
      {"C:\\data_aco\\missing.mdb", 3024}, {"C:\\no_such_folder\\QX_aco.mdb", 3044},
      {"Q:\\unmapped\\QX_aco.mdb", 3044},  {"C:\\data_aco\\notes.mdb", 3343},
      {"C:\\data_aco\\empty.mdb", 3343},   {"C:\\data_aco", 3051},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(failureOf([&] { lab_.engine().openDatabase(c.path); }).number, c.number) << c.path;
    EXPECT_EQ(failureOf([&] {
                auto db = lab_.engine().openDatabase(kWorking);
                db->execute("INSERT INTO Users IN '" + c.path + "' SELECT Users.* FROM Users;");
              }).number,
              c.number)
        << "IN " << c.path;
  }
  EXPECT_EQ(failureOf([&] { lab_.engine().openDatabase("C:\\data_aco\\missing.mdb"); }).text,
            "Could not find file 'C:\\data_aco\\missing.mdb'.");
  EXPECT_FALSE(std::filesystem::exists(lab_.host("C:\\data_aco\\missing.mdb")));
  EXPECT_EQ(std::filesystem::file_size(lab_.host("C:\\data_aco\\empty.mdb")), 0u);
}

// A real Jet file opens (read-only, see jet_source_test.cpp); one cut short
// is not a database.
TEST_F(Failures, CutRealJetFileIsNotADatabase) {
  const std::filesystem::path jet =
      std::filesystem::path(KORVANE_JET_FIXTURES_DIR) / "testV1997.mdb";
  ASSERT_TRUE(std::filesystem::exists(jet)) << "the Jet fixtures are missing: " << jet;
  std::filesystem::copy_file(jet, lab_.host("C:\\data_aco\\jet.mdb"));
  EXPECT_EQ(lab_.engine().openDatabase("C:\\data_aco\\jet.mdb")->tableNames().size(), 4u);
  std::filesystem::resize_file(lab_.host("C:\\data_aco\\jet.mdb"), 8192);
  Caught caught = failureOf([&] { lab_.engine().openDatabase("C:\\data_aco\\jet.mdb"); });
  EXPECT_EQ(caught.number, 3343);
  EXPECT_EQ(caught.text.rfind("Unrecognized database format 'C:\\data_aco\\jet.mdb'.", 0), 0u)
      << caught.text;
}

TEST_F(Failures, TableDefsDeleteOfMissingTableFailsWith3265) {
  auto db = lab_.engine().openDatabaseInWorkspace(kWorking, false);
  db->deleteTableDef("Standard Materials");
  Caught again = failureOf([&] { db->deleteTableDef("Standard Materials"); });
  EXPECT_EQ(again.number, 3265);
  EXPECT_EQ(again.text, "Item not found in this collection.");
  EXPECT_EQ(failureOf([&] { db->execute("DROP TABLE [Standard Materials]"); }).number, 3376);
}

TEST_F(Failures, StatementsThatCannotRunFailWithTheirNumber) {
  struct Case {
    std::string sql;
    int number;
  };
  const std::vector<Case> cases = {
      {"SELECT * FROM Samples", 3065},
      {"DELETE FROM Materials INNER JOIN Users ON Materials.Name = Users.[User Name]", 3128},
      {"DELETE Materials.*, Users.* FROM Materials INNER JOIN Users ON Materials.Name = "
       "Users.[User Name]",
       3086},
      {"DELETE FROM Nowhere", 3078},
      {"UPDATE Nowhere SET x = 1", 3078},
      {"UPDATE Users SET Nickname = 'x'", 3061},
      {"DELETE FROM Samples, Experiments", 3131},
      {"CREATE TABLE Users (Name TEXT(10))", 3010},
      {"CREATE INDEX ExperimentDate ON Measurements (C1)", 3284},
      {"INSERT INTO Users ([User Name]) VALUES (Bogus)", 3061},
      {"INSERT INTO Users ([User Name]) VALUES ('a', 'b')", 3346},
      {"INSERT INTO Users ([User Name], [Full Name]) VALUES ('a')", 3346},
      {"SELECT * FROM Samples WHERE Mid(Notes, 1) = 'x'", 3085},
  };
  for (const auto& c : cases) EXPECT_EQ(execute(kWorking, c.sql).number, c.number) << c.sql;
}

TEST_F(Failures, PartlyCollidingTransferWritesTheOthersAndKeepsTemplateRows) {
  lab_.buildSample(kSystem, "old_system.sql");
  auto db = lab_.engine().openDatabase(kSystem);
  db->execute(transfer(kTransferUsers, jetQuoted(kWorking)));
  EXPECT_EQ(lab_.rows(kWorking,
                      "SELECT [User Name], [Full Name], [Access Level] FROM Users "
                      "ORDER BY [User Name]"),
            (Rows{{"amueller", "Anna Müller", "<null>"},
                  {"jsmith", "John Smith", "2"},
                  {"Tutorial", "Tutorial user", "1"}}));
}

// A file named by IN is attached for its one statement, which a transaction
// around it would stop from ending cleanly.
TEST_F(Failures, TransferIntoAFileInsideATransactionFailsWith3246AndLeavesNothingBehind) {
  lab_.buildSample(kSystem, "old_system.sql");
  auto db = lab_.engine().openDatabase(kSystem);
  const Caught inside = failureOf([&] {
    db->inTransaction([&] { db->execute(transfer(kTransferUsers, jetQuoted(kWorking))); });
  });
  EXPECT_EQ(inside.number, 3246);
  EXPECT_EQ(inside.text, "Operation not supported in transactions.");
  EXPECT_EQ(count(kWorking, "Users"), "1");

  db->execute(transfer(kTransferUsers, jetQuoted(kWorking)));
  db->execute(transfer(kTransferMaterials, jetQuoted(kWorking)));
  EXPECT_EQ(count(kWorking, "Users"), "3");
  EXPECT_EQ(count(kWorking, "Materials"), "5");
}

TEST_F(Failures, ReadOnlyHandleRefusesWritesAndKeepsRows) {
  auto db = lab_.engine().openDatabaseInWorkspace(kWorking, true);
  EXPECT_EQ(failureOf([&] { db->execute("DELETE FROM [Standard Materials]"); }).number, 3027);
  EXPECT_EQ(count(kWorking, "Standard Materials"), "5");
}

TEST_F(Failures, OpenHandleHoldsItsFileUntilClosedOrReplaced) {
  const auto host = lab_.host(kWorking);
  auto db = lab_.engine().openDatabase(kWorking);
  EXPECT_TRUE(fs::isHeld(host));
  db->close();
  EXPECT_FALSE(fs::isHeld(host));
  EXPECT_EQ(failureOf([&] { db->execute("DELETE FROM Users"); }).number, 3420);
  db = lab_.engine().openDatabase(kWorking);
  EXPECT_TRUE(fs::isHeld(host));
  db = lab_.engine().openDatabase(kTemplate);  // replaced, not closed
  EXPECT_FALSE(fs::isHeld(host));
  EXPECT_TRUE(fs::isHeld(lab_.host(kTemplate)));
}

TEST_F(Failures, CreatingNeverReplacesAFile) {
  EXPECT_EQ(failureOf([&] { lab_.engine().createDatabase(kWorking); }).number, 3204);
  EXPECT_EQ(count(kWorking, "Standard Materials"), "5");
  auto created = lab_.engine().createDatabase("C:\\data_aco\\new.mdb");
  created->execute("CREATE TABLE T (A LONG)");
  created->close();
  EXPECT_EQ(lab_.engine().openDatabase("C:\\data_aco\\new.mdb")->tableNames(),
            std::vector<std::string>{"T"});
}

}  // namespace
}  // namespace korvane::db::test
