// The SQLite text the program writes: names and literals stay one token
// whatever quotes they hold.
#include "sqlite/sql_text.h"

#include <gtest/gtest.h>

namespace korvane::sqlite {
namespace {

TEST(SqlText, QuotesDoubleInsideAndListsTakeCommasBetween) {
  EXPECT_EQ(quoteName("Standard Materials"), "\"Standard Materials\"");
  EXPECT_EQ(quoteName("a\"b"), "\"a\"\"b\"");
  EXPECT_EQ(quoteText("O'Brien's"), "'O''Brien''s'");
  EXPECT_EQ(qualifiedName("korvane_in", "Lab \"7\""), "\"korvane_in\".\"Lab \"\"7\"\"\"");
  std::string list;
  for (const char* item : {"a", "b", "c"}) appendToList(list, item);
  EXPECT_EQ(list, "a, b, c");
}

}  // namespace
}  // namespace korvane::sqlite
