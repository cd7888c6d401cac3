// What the binder hands the writers: every column reference resolved to its
// table, stored name and Jet type, and every literal a typed value that
// SQLite reads back as the number the statement spelled; and that a writer
// handed a column of no table stops the program instead of writing it.
#include <gtest/gtest.h>

#include <limits>

#include "db/statements/binder.h"
#include "db/statements/catalog.h"
#include "db/statements/parser.h"
#include "db/values/sql_literal.h"
#include "db/writers/sql_expr.h"
#include "lab.h"
#include "writers/written_sql.h"

namespace korvane::db::test {
namespace {

TEST(Binder, ResolvesEveryColumnAndTypesEveryLiteral) {
  Lab lab;
  const std::string file = "C:\\data_aco\\bound.mdb";
  lab.build(file, "CREATE TABLE Samples (Code TEXT(20), Weight DOUBLE, Seen BIT);\n");
  auto connection = engineConnection(lab.host(file), file);
  Catalog catalog(*connection, "main");
  const Statement parsed =
      parseStatement("UPDATE samples AS s SET SEEN = True WHERE s.weight > 1.5E3 And code = 'x'");
  const BoundUpdate bound = bindUpdate(std::get<UpdateStmt>(parsed), catalog);

  EXPECT_EQ(bound.target.exposedName, "s");
  EXPECT_EQ(bound.target.table->name, "Samples");
  ASSERT_EQ(bound.assignments.size(), 1u);
  EXPECT_EQ(bound.assignments[0].field->name, "Seen");
  EXPECT_EQ(bound.assignments[0].value->type, JetType::kYesNo);
  EXPECT_EQ(bound.assignments[0].value->value, SqlValue{std::int64_t{-1}});

  const BoundExpr& greater = *bound.where->args[0];
  EXPECT_EQ(greater.args[0]->column.source, "s");
  EXPECT_EQ(greater.args[0]->column.column, "Weight");
  EXPECT_EQ(greater.args[0]->type, JetType::kDouble);
  EXPECT_EQ(greater.args[1]->value, SqlValue{1500.0});
  const BoundExpr& equal = *bound.where->args[1];
  EXPECT_EQ(equal.args[0]->column.column, "Code");
  EXPECT_EQ(equal.args[0]->type, JetType::kText);
  EXPECT_EQ(equal.args[1]->value, SqlValue{std::string("x")});
}

// SQLite's reading of a literal, as quote() spells it, and its storage class.
std::string readBySqlite(Lab& lab, const std::string& file, const std::string& literal) {
  return lab.value(file, "SELECT quote(" + literal + ") || ' ' || typeof(" + literal + ")");
}

TEST(Literals, ANumberReadsAsSqliteReadsItsSpelling) {
  Lab lab;
  const std::string file = "C:\\data_aco\\literals.mdb";
  lab.build(file, "CREATE TABLE t (a LONG);\n");
  const std::vector<std::string> spellings = {
      "12",
      "007",
      "0.5",
      ".5",
      "1.",
      "1.5E3",
      "1e+2",
      "2.50",
      "0.1000000000000000055511151231257827",
      "9223372036854775807",
      "9223372036854775808",
      "1e999",
      "1e-999",
      "4.9e-324",
      std::string(400, '9'),
      "0." + std::string(400, '0') + "1",
  };
  for (const auto& digits : spellings)
    EXPECT_EQ(readBySqlite(lab, file, sqlLiteral(numberValue(digits))),
              readBySqlite(lab, file, digits))
        << digits;
}

TEST(Literals, AValueStoredIntoAFieldLosesTheFractionOfAWholeReal) {
  EXPECT_EQ(sqlLiteral(SqlValue{1500.0}), "1500.0");
  EXPECT_EQ(sqlFieldLiteral(SqlValue{1500.0}), "1500");
  EXPECT_EQ(sqlFieldLiteral(SqlValue{std::numeric_limits<double>::infinity()}), "9e999");
  EXPECT_EQ(sqlFieldLiteral(SqlValue{std::string("it's")}), "'it''s'");
  EXPECT_EQ(sqlFieldLiteral(SqlValue{Blob{"\x01\xAB"}}), "X'01AB'");
}

TEST(BoundStatementDeathTest, AWriterStopsAtAColumnOfNoTable) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  BoundExpr unresolved;
  unresolved.kind = ExprKind::kColumn;
  unresolved.column = {"", "Code"};
  EXPECT_DEATH(sqlOfExpr(unresolved), "invariant failed");
}

}  // namespace
}  // namespace korvane::db::test
