// Jet's meaning where SQLite's differs: text comparison, Like, dates, append
// order and AutoNumber, DISTINCTROW, deletes over joins, rows that break a
// rule, conversions, and files made by other SQLite tools.
#include <gtest/gtest.h>

#include <cmath>

#include "db/values/jet_collation.h"
#include "db/values/jet_date.h"
#include "lab.h"

namespace korvane::db::test {
namespace {

TEST(JetText, ComparesWithoutCaseBeyondAsciiAndIgnoresTrailingSpaces) {
  struct Case {
    std::string a, b;
    int sign;
  };
  const std::vector<Case> cases = {
      {"Quartz", "quartz", 0}, {"quartz  ", "QUARTZ", 0}, {"Ärger", "äRGER", 0},
      {"ŁÓDŹ", "łódź", 0},     {"ΣΊΣΥΦΟΣ", "σίσυφοσ", 0}, {"МОСКВА", "москва", 0},
      {"Ёж", "ёЖ", 0},         {"abc", "abd", -1},        {"b", "A", 1},
      {"abc", "ab", 1},        {" a", "a", -1},           {"e", "é", -1},
  };
  for (const auto& c : cases) {
    const int got = jetCompare(c.a, c.b);
    EXPECT_EQ((got > 0) - (got < 0), c.sign) << c.a << " vs " << c.b;
  }
}

// A folder on disk and a table in a file follow the one case fold: whatever
// names Jet calls the same, the path map finds under either spelling.
TEST(JetText, NamesJetCallsTheSameAreTheSamePathOnDisk) {
  Lab lab;
  const std::pair<std::string, std::string> pairs[] = {
      {"Quartz", "QUARTZ"},
      {"\xC3\x84rger", "\xC3\xA4RGER"},
      {"\xCE\xA3\xCE\x8A\xCE\xA3", "\xCF\x83\xCE\xAF\xCF\x82"},  // ΣΊΣ, σίς
      {"\xD0\x81\xD0\xB6", "\xD1\x91\xD0\x96"},                  // Ёж, ёЖ
      {"cafe", "caf\xC3\xA9"},
      {"Stra\xC3\x9F"
       "e",
       "STRASSE"},
      {"\xC4\xB1"
       "d",
       "ID"},
      {"lab\xC3", "lab\xC3\x83"},  // malformed byte, Ã
  };
  for (const auto& [onDisk, asked] : pairs) {
    const std::filesystem::path folder = lab.host("C:\\data_aco") / onDisk;
    std::filesystem::create_directory(folder);
    const bool found = lab.host("C:\\data_aco\\" + asked).filename() == onDisk;
    EXPECT_EQ(found, sameName(onDisk, asked)) << onDisk << " asked as " << asked;
    std::filesystem::remove(folder);
  }
}

TEST(JetText, LikeUsesJetWildcards) {
  struct Case {
    std::string text, pattern;
    bool matches;
  };
  const std::vector<Case> cases = {
      {"Quartz", "q*", true},     {"Quartz", "*RT*", true}, {"Quartz", "Qu?rtz", true},
      {"Quartz", "Qu?tz", false}, {"K18", "K##", true},     {"K1", "K##", false},
      {"b", "[a-c]", true},       {"d", "[a-c]", false},    {"d", "[!a-c]", true},
      {"50%", "50%", true},       {"a_b", "a_b", true},     {"axb", "a_b", false},
      {"Ärger", "ä*", true},      {"", "*", true},          {"abc", "", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(jetLike(c.text, c.pattern), c.matches) << c.text << " " << c.pattern;
}

TEST(JetDate, LiteralsBecomeTheJetDouble) {
  struct Case {
    std::string text;
    std::optional<double> value;
  };
  const std::vector<Case> cases = {
      {"1899-12-30", 0.0},
      {"1900-01-01", 2.0},
      {"2019-03-05", 43529.0},
      {"3/5/2019", 43529.0},
      {"3/5/19", 43529.0},
      {"2019-03-05 06:00", 43529.25},
      {"3/5/2019 6:00:00 PM", 43529.75},
      {"12:00", 0.5},
      {"12:00 AM", 0.0},
      {"1899-12-29 06:00", -1.25},
      {"2019-02-30", std::nullopt},
      {"13/1/2019", 43478.0},  // day first where month first cannot be
      {"25:00", std::nullopt},
      {"yesterday", std::nullopt},
  };
  for (const auto& c : cases) {
    auto got = parseJetDate(c.text);
    ASSERT_EQ(got.has_value(), c.value.has_value()) << c.text;
    if (got) {
      EXPECT_NEAR(*got, *c.value, 1e-9) << c.text;
    }
  }
}

class JetMeaning : public ::testing::Test {
 protected:
  static constexpr const char* kDb = "C:\\data_aco\\meaning.mdb";
  void SetUp() override {
    lab_.build(kDb,
               "CREATE TABLE Src (Name TEXT(20), Code MEMO, Amount TEXT(20), Day TEXT(20), "
               "Flag LONG, Seq LONG);\n"
               "INSERT INTO Src VALUES ('b', '0012', '12.5', '2019-03-05', 5, 2);\n"
               "INSERT INTO Src VALUES ('a', '0012', 'lots', 'someday', 0, 3);\n"
               "INSERT INTO Src VALUES ('c', Null, Null, Null, Null, 1);\n"
               "INSERT INTO Src VALUES ('c', Null, Null, Null, Null, 1);\n"
               "CREATE TABLE Dst (ID COUNTER CONSTRAINT pk PRIMARY KEY, Name TEXT(20) NOT NULL, "
               "Code MEMO, Amount DOUBLE, Day DATETIME, Flag BIT, Seq LONG, "
               "Note TEXT(20) DEFAULT 'new');\n");
    db_ = lab_.engine().openDatabase(kDb);
  }
  Rows rows(const std::string& sql) { return lab_.rows(kDb, sql); }

  Lab lab_;
  std::unique_ptr<Database> db_;
};

TEST_F(JetMeaning, AppendFollowsOrderByAndAutoNumbersFollowIt) {
  db_->execute("INSERT INTO Dst (Name, Seq) SELECT Name, Seq FROM Src ORDER BY Seq DESC, Name");
  EXPECT_EQ(rows("SELECT ID, Name, Seq, Note FROM Dst ORDER BY ID"),
            (Rows{{"1", "a", "3", "new"},
                  {"2", "b", "2", "new"},
                  {"3", "c", "1", "new"},
                  {"4", "c", "1", "new"}}));
  // An explicit AutoNumber is kept; the next one continues after the largest.
  db_->execute("INSERT INTO Dst (ID, Name) VALUES (40, 'x')");
  db_->execute("INSERT INTO Dst (Name) VALUES ('y')");
  EXPECT_EQ(rows("SELECT ID FROM Dst WHERE Name IN ('x', 'y') ORDER BY ID"),
            (Rows{{"40"}, {"41"}}));
}

TEST_F(JetMeaning, DistinctRowOnOneTableKeepsDuplicatesUnlikeDistinct) {
  db_->execute("INSERT INTO Dst (Name) SELECT DISTINCTROW Name FROM Src");
  EXPECT_EQ(rows("SELECT count(*) FROM Dst"), (Rows{{"4"}}));
  db_->execute("DELETE FROM Dst");
  db_->execute("INSERT INTO Dst (Name) SELECT DISTINCT Name FROM Src");
  EXPECT_EQ(rows("SELECT count(*) FROM Dst"), (Rows{{"3"}}));
}

TEST_F(JetMeaning, ValuesConvertToTheTargetTypeOrBecomeNull) {
  db_->execute(
      "INSERT INTO Dst (Name, Code, Amount, Day, Flag) "
      "SELECT Name, Code, Amount, Day, Flag FROM Src WHERE Name <> 'c'");
  EXPECT_EQ(rows("SELECT Name, Code, typeof(Code), Amount, Day, Flag FROM Dst ORDER BY Name"),
            (Rows{{"a", "0012", "text", "<null>", "<null>", "0"},
                  {"b", "0012", "text", "12.5", "43529", "-1"}}));
}

TEST_F(JetMeaning, RowsBreakingARuleAreSkippedAndTheRestWritten) {
  // Name is required: the two rows without one are left out.
  db_->execute("INSERT INTO Dst (Name, Seq) SELECT Null, Seq FROM Src WHERE Seq = 1");
  db_->execute("INSERT INTO Dst (Name, Seq) SELECT Name, Seq FROM Src");
  db_->execute("INSERT INTO Dst (ID, Name) SELECT 1, Name FROM Src");  // ID 1 is taken
  const Rows written = {{"1", "b"}, {"2", "a"}, {"3", "c"}, {"4", "c"}};
  EXPECT_EQ(rows("SELECT ID, Name FROM Dst ORDER BY ID"), written);
  // Updates that would break the key or a required field leave rows as they were.
  db_->execute("UPDATE Dst SET ID = 3 WHERE Name = 'a'");
  db_->execute("UPDATE Dst SET Name = Null");
  EXPECT_EQ(rows("SELECT ID, Name FROM Dst ORDER BY ID"), written);
}

TEST_F(JetMeaning, NamesAndTextCompareWithoutCase) {
  db_->execute("insert into DST (name) select NAME from src where name = 'B  ' or NAME like 'A*'");
  EXPECT_EQ(rows("SELECT Name FROM Dst ORDER BY Name"), (Rows{{"a"}, {"b"}}));
  db_->execute("UPDATE dst SET note = name & '-' & Null & seq WHERE name In ('A', 'x')");
  EXPECT_EQ(rows("SELECT Note FROM Dst ORDER BY Name"), (Rows{{"a-"}, {"new"}}));
}

TEST_F(JetMeaning, DeleteOverAJoinRemovesRowsOfTheStarTableOnly) {
  db_->execute("INSERT INTO Dst (Name, Seq) SELECT Name, Seq FROM Src");
  db_->execute(
      "DELETE DISTINCTROW Src.*, Dst.Seq FROM Src INNER JOIN Dst ON Src.Seq = Dst.Seq "
      "WHERE Dst.Name = 'C'");
  EXPECT_EQ(rows("SELECT Name FROM Src ORDER BY Name"), (Rows{{"a"}, {"b"}}));
  EXPECT_EQ(rows("SELECT count(*) FROM Dst"), (Rows{{"4"}}));
  // The same through a RIGHT JOIN, written the other way round.
  db_->execute("DELETE Dst.* FROM Src RIGHT JOIN Dst ON Src.Seq = Dst.Seq WHERE Src.Seq Is Null");
  EXPECT_EQ(rows("SELECT Name FROM Dst ORDER BY Name"), (Rows{{"a"}, {"b"}}));
}

TEST_F(JetMeaning, DeleteOfRowsWithoutPartnerKeepsJetMeaning) {
  db_->execute("CREATE TABLE P (Name TEXT(20), Code LONG)");
  db_->execute("CREATE TABLE C (Name TEXT(20), Code LONG, Note TEXT(20))");
  for (const char* row : {"('A  ', 1, 'x')", "('a', 1, Null)", "('B', 9, 'y')", "(Null, Null, 'z')",
                          "('e', 5, Null)"})
    db_->execute(std::string("INSERT INTO C VALUES ") + row);
  struct Case {
    std::string statement;
    Rows kept;
  };
  const std::vector<Case> cases = {
      // As Delete orphans writes it: partners by text, compared as Jet compares.
      {"DELETE DISTINCTROW P.*, P.Name, C.Name FROM P LEFT JOIN C ON P.Name = C.Name "
       "WHERE ((C.Name Is Null));",
       {{"a"}, {"b"}, {"e"}}},
      // Written the other way round, two terms in ON; a Null code has no partner.
      {"DELETE P.* FROM C RIGHT JOIN P ON (C.Code = P.Code And C.Code > 0) WHERE C.Code Is Null",
       {{"a"}, {"e"}}},
      // Not a missing partner: a partner whose Note is Null counts too.
      {"DELETE P.* FROM P LEFT JOIN C ON P.Name = C.Name WHERE C.Note Is Null", {{"b"}}},
      // The table joined to itself.
      {"DELETE P.* FROM P LEFT JOIN P AS Q ON P.Code = Q.Code WHERE Q.Code Is Null",
       {{"a"}, {"b"}, {"d"}, {"e"}}},
  };
  for (const auto& c : cases) {
    db_->execute("DELETE FROM P");
    for (const char* row : {"('a', 1)", "('b', 2)", "('c', Null)", "('d', 4)", "('e', 5)"})
      db_->execute(std::string("INSERT INTO P VALUES ") + row);
    db_->execute(c.statement);
    EXPECT_EQ(rows("SELECT Name FROM P ORDER BY Name"), c.kept) << c.statement;
  }
  EXPECT_EQ(rows("SELECT count(*) FROM C"), (Rows{{"5"}}));
}

TEST_F(JetMeaning, StatementThatFailsHalfwayChangesNothing) {
  db_->execute("INSERT INTO Dst (Name) VALUES ('keep')");
  // A trigger made by another tool stops the append at its third row.
  support::runSql(lab_.host(kDb),
                  "CREATE TRIGGER stop BEFORE INSERT ON Dst WHEN NEW.Seq = 3 "
                  "BEGIN SELECT RAISE(ABORT, 'stopped'); END;");
  Caught caught = failureOf(
      [&] { db_->execute("INSERT INTO Dst (Name, Seq) SELECT Name, Seq FROM Src ORDER BY Seq"); });
  EXPECT_NE(caught.number, 0);
  EXPECT_NE(caught.number, 3078);
  EXPECT_EQ(rows("SELECT Name FROM Dst"), (Rows{{"keep"}}));
  // The handle is usable afterwards: nothing of the failed statement is left.
  db_->execute("INSERT INTO Dst (Name, Seq) SELECT Name, Seq FROM Src WHERE Seq < 3");
  EXPECT_EQ(rows("SELECT count(*) FROM Dst"), (Rows{{"4"}}));
}

TEST(AnySqliteFile, DatabasesOfOtherToolsRunTheSameStatements) {
  Lab lab;
  const std::string path = "C:\\data_aco\\other.mdb";
  support::runSql(lab.host(path),
                  "CREATE TABLE Materials (Name TEXT PRIMARY KEY, Density REAL, Note TEXT);"
                  "CREATE TABLE \"Standard Materials\" (Name TEXT, Density REAL, Note TEXT);"
                  "INSERT INTO Materials VALUES ('QUARTZ', 1, '0012'), ('Mine', 2, NULL);"
                  "INSERT INTO \"Standard Materials\" VALUES ('Quartz', 2.65, 'std');");
  auto db = lab.engine().openDatabase(path);
  db->execute(
      "DELETE DISTINCTROW Materials.* FROM Materials INNER JOIN [Standard Materials] ON "
      "Materials.Name = [Standard Materials].Name;");
  db->execute(
      "INSERT INTO Materials SELECT DISTINCTROW [Standard Materials].* FROM "
      "[Standard Materials];");
  // Its key declares no NOT NULL; Jet requires a key field all the same.
  db->execute("INSERT INTO Materials (Name, Density) VALUES (Null, 3)");
  db->execute("INSERT INTO Materials (Name) SELECT Note FROM Materials WHERE Name = 'Mine'");
  db->execute("UPDATE Materials SET Name = Note WHERE Name = 'Mine'");
  // Left out, with nothing to fill it, the key would be Null in every row.
  db->execute("INSERT INTO Materials (Density) VALUES (4)");
  db->execute("INSERT INTO Materials (Density) SELECT Density FROM [Standard Materials]");
  // An INTEGER key of its own that SQLite numbers is filled all the same.
  support::runSql(lab.host(path), "CREATE TABLE Log (Id INTEGER PRIMARY KEY, What TEXT);");
  db->execute("INSERT INTO Log (What) SELECT Name FROM [Standard Materials]");
  db->close();
  EXPECT_EQ(lab.rows(path, "SELECT Name, Density, Note FROM Materials ORDER BY Name"),
            (Rows{{"Mine", "2.0", "<null>"}, {"Quartz", "2.65", "std"}}));
  EXPECT_EQ(lab.rows(path, "SELECT Id, What FROM Log"), (Rows{{"1", "Quartz"}}));
}

}  // namespace
}  // namespace korvane::db::test
