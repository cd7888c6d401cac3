// The one case fold: the letters it folds, the characters it leaves alone,
// and the order it gives (the engine sorts text by it).
#include "text/case_fold.h"

#include <gtest/gtest.h>

#include <string>

namespace korvane::text {
namespace {

struct FoldCase {
  std::string a, b;
  int sign;
};

TEST(CaseFold, FoldsTheScriptsJetUsersWriteInAndNothingElse) {
  const FoldCase cases[] = {
      {"QUARTZ", "quartz", 0},
      {"\xC3\x84rger", "\xC3\xA4RGER", 0},                                  // Ärger
      {"\xC5\x81\xC3\x93\x44\xC5\xB9", "\xC5\x82\xC3\xB3\x64\xC5\xBA", 0},  // ŁÓDŹ, łódź
      {"\xC5\xB8", "\xC3\xBF", 0},                                          // Ÿ, ÿ
      {"\xCE\xA3", "\xCF\x82", 0},                                          // Σ, final ς
      {"\xCE\x86", "\xCE\xAC", 0},                                          // Ά, ά
      {"\xD0\x81\xD0\xB6", "\xD1\x91\xD0\x96", 0},                          // Ёж, ёЖ
      {"\xD1\xA0", "\xD1\xA1", 0},                                          // Ѡ, ѡ
      {"e", "\xC3\xA9", -1},                                                // e before é
      {"\xC3\x97", "\xC3\xB7", -1},                                         // × and ÷ stay
      {"\xC3\x9F", "ss", 1},                                                // ß stays ß
      {"\xC4\xB1", "i", 1},                                                 // dotless ı stays
      {"_", "a", -1},                                                       // folded to lower case
      {"_", "A", -1},
      {"abc", "ab", 1},
      {"\xC3", "\xC3\x84", 1},  // a malformed byte is no letter and sorts last
  };
  for (const FoldCase& c : cases) {
    const int got = compareIgnoringCase(c.a, c.b);
    EXPECT_EQ((got > 0) - (got < 0), c.sign) << c.a << " vs " << c.b;
  }
}

TEST(CaseFold, JetLeavesOutTrailingSpacesOnly) {
  EXPECT_EQ(compareAsJet("Glass Beads ", "GLASS BEADS"), 0);
  EXPECT_EQ(compareAsJet("A", "a   "), 0);
  EXPECT_LT(compareAsJet(" a", "a"), 0);         // leading spaces count
  EXPECT_NE(compareAsJet("a b", "a  b"), 0);     // so do inner ones
  EXPECT_GT(compareAsJet("a\t", "a"), 0);        // only spaces are trailing spaces
  EXPECT_NE(compareIgnoringCase("a ", "A"), 0);  // the plain fold keeps them
}

TEST(CaseFold, FoldedTextIsTheFoldOfEachCharacter) {
  EXPECT_EQ(folded("A\xC3\x84z"), (std::u32string{U'a', 0xE4, U'z'}));
  EXPECT_EQ(foldCase(0x1E9E), char32_t{0x1E9E});  // beyond the scripts folded: itself
}

}  // namespace
}  // namespace korvane::text
