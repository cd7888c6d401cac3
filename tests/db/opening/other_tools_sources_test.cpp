// Tables of databases written by other SQLite tools, read as Jet reads its
// own: generated columns, virtual tables, names with trailing spaces, views
// standing where Jet's saved queries stand.
#include <gtest/gtest.h>

#include <string>

#include "lab.h"
#include "sqlite/jet_errors.h"

namespace korvane::db::test {
namespace {

const std::string kSource = "C:\\data_aco\\other.mdb";
const std::string kTarget = "C:\\data_aco\\target.mdb";

std::string transfer(const std::string& table) {
  return "INSERT INTO " + table + " IN '" + jetQuoted(kTarget) + "' SELECT " + table + ".* FROM " +
         table + ";";
}

TEST(OtherToolsSources, GeneratedColumnsAreCarriedAndHiddenColumnsAreNot) {
  Lab lab;
  support::runSql(lab.host(kSource),
                  "CREATE TABLE Samples (Name TEXT, Weight REAL, "
                  "Grams REAL GENERATED ALWAYS AS (Weight * 1000) STORED, "
                  "Label TEXT GENERATED ALWAYS AS (upper(Name)) VIRTUAL);"
                  "INSERT INTO Samples (Name, Weight) VALUES ('sand', 0.5);"
                  "CREATE VIRTUAL TABLE Notes USING fts5(Body);"
                  "INSERT INTO Notes VALUES ('dry');");
  lab.build(kTarget,
            "CREATE TABLE Samples (Name TEXT(20), Weight DOUBLE, Grams DOUBLE, Label TEXT(20));\n"
            "CREATE TABLE Notes (Body MEMO);\n");
  auto db = lab.engine().openDatabase(kSource);
  db->execute(transfer("Samples"));
  // An FTS table's hidden columns (its own name, rank) are no fields.
  db->execute(transfer("Notes"));
  db->close();
  EXPECT_EQ(lab.rows(kTarget, "SELECT Name, Weight, Grams, Label FROM Samples"),
            (Rows{{"sand", "0.5", "500.0", "SAND"}}));
  EXPECT_EQ(lab.rows(kTarget, "SELECT Body FROM Notes"), (Rows{{"dry"}}));
}

TEST(OtherToolsSources, AGeneratedFieldOfTheTargetComputesItsOwnValue) {
  Lab lab;
  lab.build(kSource,
            "CREATE TABLE Samples (Name TEXT(20), Weight DOUBLE, Grams DOUBLE);\n"
            "INSERT INTO Samples VALUES ('sand', 0.5, 1);\n");
  support::runSql(lab.host(kTarget),
                  "CREATE TABLE Samples (Name TEXT, Weight REAL, "
                  "Grams REAL GENERATED ALWAYS AS (Weight * 1000) STORED);");
  auto db = lab.engine().openDatabase(kSource);
  // Paired by name, the source's value is left out.
  db->execute(transfer("Samples"));
  // Named in a field list or set, it cannot be written.
  EXPECT_EQ(failureOf([&] {
              db->execute("INSERT INTO Samples (Name, Grams) IN '" + jetQuoted(kTarget) +
                          "' SELECT Name, Grams FROM Samples");
            }).number,
            jeterr::kFieldNotUpdatable.number);
  db->close();
  auto target = lab.engine().openDatabase(kTarget);
  EXPECT_EQ(failureOf([&] { target->execute("UPDATE Samples SET Grams = 3"); }).number,
            jeterr::kFieldNotUpdatable.number);
  EXPECT_EQ(failureOf([&] { target->execute("INSERT INTO Samples VALUES ('clay', 2)"); }).number,
            0);
  target->close();
  EXPECT_EQ(lab.rows(kTarget, "SELECT Name, Grams FROM Samples ORDER BY Name"),
            (Rows{{"clay", "2000.0"}, {"sand", "500.0"}}));
}

TEST(OtherToolsSources, ATableNameIsWrittenAsTheFileSpellsIt) {
  Lab lab;
  support::runSql(lab.host(kSource),
                  "CREATE TABLE \"Samples \" (Name TEXT);"
                  "INSERT INTO \"Samples \" VALUES ('trailing');"
                  "CREATE TABLE \"users\" (Name TEXT);"
                  "INSERT INTO users VALUES ('lower');"
                  "CREATE TABLE \"Users \" (Name TEXT);"
                  "INSERT INTO \"Users \" VALUES ('spaced');");
  lab.build(kTarget,
            "CREATE TABLE Samples (Name TEXT(20));\nCREATE TABLE Users (Name TEXT(20));\n");
  auto db = lab.engine().openDatabase(kSource);
  db->execute(transfer("Samples"));
  // Of two names Jet takes for the same, the one spelled exactly wins.
  db->execute("INSERT INTO Users IN '" + jetQuoted(kTarget) + "' SELECT * FROM [Users ];");
  db->execute("DELETE FROM [samples] WHERE Name = 'trailing'");
  db->close();
  EXPECT_EQ(lab.rows(kTarget, "SELECT Name FROM Samples"), (Rows{{"trailing"}}));
  EXPECT_EQ(lab.rows(kTarget, "SELECT Name FROM Users"), (Rows{{"spaced"}}));
  EXPECT_EQ(lab.rows(kSource, "SELECT count(*) FROM \"Samples \""), (Rows{{"0"}}));
}

TEST(OtherToolsSources, AViewStandsWhereATableStandsAndIsOnlyRead) {
  Lab lab;
  support::runSql(lab.host(kSource),
                  "CREATE TABLE samples_2019 (Name TEXT, Weight REAL);"
                  "INSERT INTO samples_2019 VALUES ('sand', 0.5), ('clay', 'n/a');"
                  "CREATE VIEW Samples AS SELECT Name, Weight FROM samples_2019;");
  lab.build(kTarget, "CREATE TABLE Samples (Name TEXT(20), Weight DOUBLE);\n");
  auto db = lab.engine().openDatabase(kSource);
  db->execute(transfer("Samples"));
  db->execute("INSERT INTO samples_2019 SELECT Samples.* FROM Samples WHERE Name = 'sand'");
  EXPECT_EQ(failureOf([&] { db->execute("INSERT INTO Samples VALUES ('x', 1)"); }).number,
            jeterr::kNotUpdatable.number);
  EXPECT_EQ(failureOf([&] { db->execute("UPDATE Samples SET Weight = 1"); }).number,
            jeterr::kNotUpdatable.number);
  EXPECT_EQ(failureOf([&] { db->execute("DELETE FROM Samples"); }).number,
            jeterr::kCannotDeleteFromTables.number);
  EXPECT_EQ(failureOf([&] { db->execute("DROP TABLE Samples"); }).number,
            jeterr::kTableDoesNotExist.number);
  // A saved query is no table definition.
  EXPECT_EQ(db->tableNames(), (std::vector<std::string>{"samples_2019"}));
  db->close();
  EXPECT_EQ(lab.rows(kTarget, "SELECT Name, Weight FROM Samples ORDER BY Name"),
            (Rows{{"clay", "<null>"}, {"sand", "0.5"}}));
  EXPECT_EQ(lab.rows(kSource, "SELECT count(*) FROM samples_2019"), (Rows{{"3"}}));
}

TEST(OtherToolsSources, AUtf16SourceTransfersLikeAUtf8One) {
  Lab lab;
  // As SQLite's UTF-16 open call makes a new database, written by another
  // tool.
  support::runSql(lab.host(kSource),
                  "PRAGMA encoding = 'UTF-16le';"
                  "CREATE TABLE Samples (Name TEXT, Taken DATETIME, Weight REAL, "
                  "Grams REAL GENERATED ALWAYS AS (Weight * 1000) VIRTUAL);"
                  "INSERT INTO Samples (Name, Taken, Weight) VALUES "
                  "('Ærger Łódź', 'Jan 6, 2024 10:30', 0.5), ('Ёж', '2024-01-07', 'n/a');"
                  "CREATE VIEW Heavy AS SELECT Name FROM Samples WHERE Weight > 0.1;");
  ASSERT_EQ(lab.rows(kSource, "PRAGMA encoding"), (Rows{{"UTF-16le"}}));
  lab.build(kTarget,
            "CREATE TABLE Samples (Name TEXT(20), Taken DATETIME, Weight DOUBLE, Grams DOUBLE);\n"
            "CREATE TABLE Heavy (Name TEXT(20));\n");
  auto db = lab.engine().openDatabase(kSource);
  db->execute(transfer("Samples"));
  db->execute(transfer("Heavy"));
  db->execute("INSERT INTO Heavy (Name) IN '" + jetQuoted(kTarget) + "' VALUES ('Ünal')");
  EXPECT_EQ(failureOf([&] { db->execute(transfer("Missing")); }).number,
            jeterr::kInputTableNotFound.number);
  db->close();
  EXPECT_EQ(lab.rows(kTarget, "SELECT Name, Taken, Weight, Grams FROM Samples ORDER BY Taken"),
            (Rows{{"Ærger Łódź", "45297.4375", "0.5", "500.0"}, {"Ёж", "45298", "<null>", "0.0"}}));
  EXPECT_EQ(lab.rows(kTarget, "SELECT Name FROM Heavy ORDER BY rowid"),
            (Rows{{"Ærger Łódź"}, {"Ёж"}, {"Ünal"}}));

  // And the other way: our UTF-8 file into a UTF-16 one.
  auto back = lab.engine().openDatabase(kTarget);
  back->execute("INSERT INTO Samples IN '" + jetQuoted(kSource) +
                "' SELECT Samples.* FROM Samples");
  back->close();
  EXPECT_EQ(lab.rows(kSource, "SELECT count(*), count(DISTINCT Name), sum(Grams) FROM Samples"),
            (Rows{{"4", "2", "1000.0"}}));
}

}  // namespace
}  // namespace korvane::db::test
