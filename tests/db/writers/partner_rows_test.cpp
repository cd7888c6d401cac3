// DELETE and UPDATE over two joined tables remove or change exactly the rows
// Jet's join chooses, in every shape: several equalities, terms on either
// table in ON or WHERE, Null keys, text compared as Jet compares it, and
// joins that relate the tables other than by equality.
#include <gtest/gtest.h>

#include "lab.h"

namespace korvane::db::test {
namespace {

TEST(PartnerRows, DeleteAndUpdateOverAJoinChooseJetsRows) {
  Lab lab;
  const std::string file = "C:\\data_aco\\partners.mdb";
  lab.build(file,
            "CREATE TABLE P (Name TEXT(20), Code LONG);\n"
            "CREATE TABLE Seed (Name TEXT(20), Code LONG);\n"
            "INSERT INTO Seed VALUES ('a', 1);\n"
            "INSERT INTO Seed VALUES ('b', 2);\n"
            "INSERT INTO Seed VALUES ('c', Null);\n"
            "INSERT INTO Seed VALUES ('d', 4);\n"
            "INSERT INTO Seed VALUES ('e', 5);\n"
            "INSERT INTO Seed VALUES (Null, 6);\n"
            "CREATE TABLE C (Name TEXT(20), Code LONG, Note TEXT(20));\n"
            "INSERT INTO C VALUES ('A  ', 1, 'x');\n"
            "INSERT INTO C VALUES ('a', 1, Null);\n"
            "INSERT INTO C VALUES ('B', 9, 'y');\n"
            "INSERT INTO C VALUES (Null, Null, 'z');\n"
            "INSERT INTO C VALUES ('e', 5, Null);\n"
            "INSERT INTO C VALUES ('f', 6, 'w');\n");
  struct Case {
    std::string statement;
    Rows names;  // of P afterwards
  };
  const std::vector<Case> cases = {
      // Two equalities, text and number.
      {"DELETE P.* FROM P INNER JOIN C ON P.Name = C.Name AND P.Code = C.Code",
       {{"<null>"}, {"b"}, {"c"}, {"d"}}},
      // The other table's field written first.
      {"DELETE P.* FROM P INNER JOIN C ON C.Name = P.Name", {{"<null>"}, {"c"}, {"d"}}},
      // A term on P in ON: a row it rules out has no partner.
      {"DELETE P.* FROM P LEFT JOIN C ON P.Name = C.Name AND P.Code > 1 WHERE C.Name Is Null",
       {{"b"}, {"e"}}},
      // WHERE's terms on either table; Null <> 'e' is not true.
      {"DELETE P.* FROM P INNER JOIN C ON P.Code = C.Code "
       "WHERE C.Note Is Not Null And P.Name <> 'e'",
       {{"<null>"}, {"b"}, {"c"}, {"d"}, {"e"}}},
      // Rows without a partner, a Null code among them.
      {"UPDATE P LEFT JOIN C ON P.Code = C.Code SET P.Name = 'orphan' WHERE C.Code Is Null",
       {{"<null>"}, {"a"}, {"e"}, {"orphan"}, {"orphan"}, {"orphan"}}},
      // Rows with a partner, chosen through a term on C.
      {"UPDATE P INNER JOIN C ON P.Code = C.Code SET P.Name = 'seen' WHERE C.Note = 'W'",
       {{"a"}, {"b"}, {"c"}, {"d"}, {"e"}, {"seen"}}},
      // No equality at all.
      {"DELETE P.* FROM P INNER JOIN C ON P.Code < C.Code", {{"c"}}},
  };
  for (const auto& c : cases) {
    auto db = lab.engine().openDatabase(file);
    db->execute("DELETE FROM P");
    for (const char* row :
         {"('a', 1)", "('b', 2)", "('c', Null)", "('d', 4)", "('e', 5)", "(Null, 6)"})
      db->execute(std::string("INSERT INTO P VALUES ") + row);
    db->execute(c.statement);
    db->close();
    EXPECT_EQ(lab.rows(file, "SELECT Name FROM P ORDER BY Name"), c.names) << c.statement;
  }
  EXPECT_EQ(lab.value(file, "SELECT count(*) FROM C"), "6");
}

}  // namespace
}  // namespace korvane::db::test
