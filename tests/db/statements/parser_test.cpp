// The parser's subset as a table: statements it accepts (any case and
// spacing, Access's parentheses, the quirks the program's statements have)
// and statements it rejects, with Jet's syntax-error number.
#include <gtest/gtest.h>

#include "db/statements/parser.h"
#include "db/statements/tokenizer.h"
#include "lab.h"

namespace korvane::db::test {
namespace {

enum Kind { kSelect, kInsert, kDelete, kUpdate, kCreateTable, kCreateIndex, kDropTable };

struct Accepted {
  std::string sql;
  Kind kind;
};

TEST(Parser, AcceptsTheSubsetInAnySpellingAndRejectsTheRest) {
  const std::string w = jetQuoted("C:\\data_aco\\Backup\\O'Neil.mdb");
  const std::vector<Accepted> accepted = {
      {transfer(kTransferSamples, w), kInsert},
      {transfer(kTransferExperiments, w), kInsert},
      {transfer(kTransferMeasurements, w), kInsert},
      {transfer(kTransferMaterials, w), kInsert},
      {transfer(kTransferUsers, w), kInsert},
      {kDropUsersStandardCopies, kDelete},
      {kAppendStandardMaterials, kInsert},
      {kDeleteOrphanExperiments, kDelete},
      {kDeleteOrphanSamples, kDelete},
      {kNullGroupC, kUpdate},
      {kNullGroupK, kUpdate},
      {kNullGroupA, kUpdate},
      {"select all * from t", kSelect},
      {"SELECT DISTINCT a AS x, t.b, 1.5E3, .5, -2, 'it''s', \"say \"\"hi\"\"\" FROM t", kSelect},
      {"SELECT * FROM t WHERE d = #2019-03-05 14:30# OR d < #3/5/19# OR d > #2:30 PM#", kSelect},
      {"SELECT * FROM t WHERE a Is Not Null And Not b Like 'x*' Or c In (1, 2, 3)", kSelect},
      {"SELECT * FROM t WHERE a Not Between 1 And 2 AND b NOT IN ('x') AND c NOT LIKE '[!a-c]#'",
       kSelect},
      {"SELECT a & b, a + b * c - d / e FROM t WHERE (a = True) = (b <> False)", kSelect},
      {"SELECT * FROM (a INNER JOIN b ON a.x = b.x) LEFT JOIN c ON b.y = c.y ORDER BY a.x DESC, "
       "b.y",
       kSelect},
      {"SELECT * FROM a RIGHT OUTER JOIN (b INNER JOIN c ON b.k = c.k) ON a.k = b.k", kSelect},
      {"INSERT INTO t (a, [b c]) VALUES (1, Null);", kInsert},
      {"INSERT INTO t IN 'x.mdb' VALUES (1)", kInsert},
      {"insert into [Standard Materials] select * from Materials where Name='x'", kInsert},
      {"DELETE * FROM t WHERE a = 1", kDelete},
      {"DELETE FROM t", kDelete},
      {"UPDATE t INNER JOIN u ON t.k = u.k SET t.a = 1, b = 'x' WHERE u.z Is Null", kUpdate},
      {"CREATE TABLE [My Table] (ID COUNTER CONSTRAINT pk PRIMARY KEY, Name TEXT(50) NOT NULL "
       "UNIQUE, Note MEMO, Amount CURRENCY DEFAULT 0, Flag YESNO DEFAULT True, D DATETIME, "
       "N DECIMAL(12, 3), CONSTRAINT u UNIQUE (Name, D))",
       kCreateTable},
      {"CREATE UNIQUE INDEX ix ON t (a ASC, b DESC) WITH DISALLOW NULL", kCreateIndex},
      {"drop table [Standard Materials];", kDropTable},
      {"SELECT Key, Index, Table.Unique FROM Table", kSelect},
  };
  for (const auto& a : accepted) {
    Caught caught = failureOf([&] {
      Statement s = parseStatement(a.sql);
      EXPECT_EQ(static_cast<int>(s.index()), a.kind) << a.sql;
    });
    EXPECT_EQ(caught.number, 0) << a.sql << "\n" << caught.text;
  }

  struct Rejected {
    std::string sql;
    int number;
  };
  const std::vector<Rejected> rejected = {
      {"", 3129},
      {"MERGE INTO t", 3129},
      {"SELECT s.* FROM Samples AS s, Other", 3131},
      {"SELECT * FROM t INNER JOIN u", 3131},
      {"SELECT * FROM t INNER JOIN u ON", 3075},
      {"SELECT * FROM", 3131},
      {"SELECT a b FROM t", 3141},
      {"SELECT * FROM t WHERE a = = 1", 3075},
      {"SELECT * FROM t WHERE a = 'open", 3075},
      {"SELECT * FROM [t WHERE a = 1", 3075},
      {"SELECT * FROM t WHERE d = #2019-02-30#", 3075},
      {"SELECT * FROM t WHERE a = 1 GROUP BY a", 3142},
      {"SELECT * FROM t ORDER a", 3138},
      {"SELECT * FROM t; SELECT * FROM u", 3142},
      {"INSERT t VALUES (1)", 3134},
      {"INSERT INTO t IN x SELECT * FROM u", 3134},
      {"INSERT INTO t (a VALUES (1)", 3134},
      {"DELETE t.* Samples", 3130},
      {"UPDATE t a = 1", 3144},
      {"UPDATE t SET a 1", 3144},
      {"CREATE TABLE t (a WIDGET)", 3292},
      {"CREATE TABLE t a TEXT", 3290},
      {"CREATE INDEX ON t (a)", 3291},
      {"DROP t", 3295},
      {"SELECT * FROM t WHERE a @ 1", 3075},
  };
  for (const auto& r : rejected) {
    Caught caught = failureOf([&] { parseStatement(r.sql); });
    EXPECT_EQ(caught.number, r.number) << r.sql << "\n" << caught.text;
  }
}

TEST(Parser, SyntaxErrorsQuoteTheTextNearTheFault) {
  EXPECT_EQ(failureOf([] { parseStatement("SELECT * FROM t WHERE a = = 1"); }).text,
            "Syntax error (missing operator) in query expression 'a = ='.");
  EXPECT_EQ(failureOf([] { parseStatement("UPDATE t SET a 1"); }).text,
            "Syntax error in UPDATE statement.  (near '1')");
}

TEST(Tokenizer, ReadsJetQuirks) {
  auto tokens = tokenize("[Sample Date]FROM 'it''s'SELECT #1/2/2003#.5 t.[x]");
  std::vector<std::pair<TokenKind, std::string>> got;
  for (const auto& t : tokens) got.emplace_back(t.kind, t.text);
  EXPECT_EQ(got, (std::vector<std::pair<TokenKind, std::string>>{{TokenKind::kName, "Sample Date"},
                                                                 {TokenKind::kWord, "FROM"},
                                                                 {TokenKind::kText, "it's"},
                                                                 {TokenKind::kWord, "SELECT"},
                                                                 {TokenKind::kDate, "1/2/2003"},
                                                                 {TokenKind::kNumber, ".5"},
                                                                 {TokenKind::kWord, "t"},
                                                                 {TokenKind::kSymbol, "."},
                                                                 {TokenKind::kName, "x"},
                                                                 {TokenKind::kEnd, ""}}));
}

TEST(Tokenizer, GivesKeywordsTheirCodesInAnyLetterCase) {
  std::vector<Keyword> got;
  for (const auto& t : tokenize("select DistinctRow Selection [From] 'from' Key"))
    got.push_back(t.keyword);
  EXPECT_EQ(got,
            (std::vector<Keyword>{Keyword::kSelect, Keyword::kDistinctRow, Keyword::kNone,
                                  Keyword::kNone, Keyword::kNone, Keyword::kKey, Keyword::kNone}));
  EXPECT_TRUE(isReserved(Keyword::kFrom));
  EXPECT_FALSE(isReserved(Keyword::kKey));
}

}  // namespace
}  // namespace korvane::db::test
