// UTF-8 read and written as the whole program reads and writes it: every
// well-formed length, each kind of malformed byte read as itself, and the
// count of characters from the end that names a working copy.
#include "text/utf8.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace korvane::text {
namespace {

std::vector<char32_t> charsOf(std::string_view text) {
  std::vector<char32_t> chars;
  for (std::size_t at = 0; at < text.size();) chars.push_back(nextChar(text, at));
  return chars;
}

constexpr char32_t bad(unsigned char b) {
  return kMalformedByte + b;
}

struct DecodeCase {
  const char* name;
  std::string bytes;
  std::vector<char32_t> chars;
};

void PrintTo(const DecodeCase& c, std::ostream* out) {
  *out << c.name;
}

class Decoding : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Decoding, ReadsEachCharacterOrEachMalformedByteAsItself) {
  EXPECT_EQ(charsOf(GetParam().bytes), GetParam().chars);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, Decoding,
    ::testing::Values(
        DecodeCase{"Ascii", "Ab1", {U'A', U'b', U'1'}},
        DecodeCase{"EveryLength", "\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80", {0xE4, 0x20AC, 0x1F600}},
        DecodeCase{"HighestScalar", "\xF4\x8F\xBF\xBF", {0x10FFFF}},
        DecodeCase{"StrayContinuation", "a\x80z", {U'a', bad(0x80), U'z'}},
        DecodeCase{"LeadWithoutContinuation", "\xC3z", {bad(0xC3), U'z'}},
        DecodeCase{"CutAtTheEnd", "a\xE2\x82", {U'a', bad(0xE2), bad(0x82)}},
        DecodeCase{"Overlong",
                   "\xC0\xAF\xE0\x80\xAF",
                   {bad(0xC0), bad(0xAF), bad(0xE0), bad(0x80), bad(0xAF)}},
        DecodeCase{"Surrogate", "\xED\xA0\x80", {bad(0xED), bad(0xA0), bad(0x80)}},
        DecodeCase{"BeyondUnicode",
                   "\xF4\x90\x80\x80\xF8",
                   {bad(0xF4), bad(0x90), bad(0x80), bad(0x80), bad(0xF8)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Encoding, WritesWhatIsReadBack) {
  for (char32_t c : {char32_t{0x41}, char32_t{0x7F}, char32_t{0x80}, char32_t{0x7FF},
                     char32_t{0x800}, char32_t{0xFFFD}, char32_t{0x10000}, char32_t{0x10FFFF}}) {
    std::string bytes;
    appendUtf8(bytes, c);
    EXPECT_EQ(charsOf(bytes), std::vector<char32_t>{c}) << std::hex << std::uint32_t{c};
  }
  std::string euro;
  appendUtf8(euro, 0x20AC);
  EXPECT_EQ(euro, "\xE2\x82\xAC");
}

TEST(LastCharacters, CountCharactersNotBytes) {
  EXPECT_EQ(startOfLastCharacters("D:\\Lab7\\QX_aco.mdb", 11), 7u);
  // "Prüfung.mdb" is 11 characters in 12 bytes: the cut keeps the ü whole.
  EXPECT_EQ(startOfLastCharacters("D:\\Pr\xC3\xBC"
                                  "fung.mdb",
                                  11),
            3u);
  EXPECT_EQ(startOfLastCharacters("abc", 3), 0u);
  EXPECT_EQ(startOfLastCharacters("abc", 4), std::string_view::npos);
  EXPECT_EQ(startOfLastCharacters("abc", 0), 3u);
  // A malformed byte is one character, as the decoder reads it.
  EXPECT_EQ(startOfLastCharacters("ab\xC3z", 2), 2u);
}

}  // namespace
}  // namespace korvane::text
