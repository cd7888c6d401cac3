// Decoding of Jet's stored value layouts, byte by byte.
#include <gtest/gtest.h>

#include "fs/failure.h"
#include "jet_file/jet_values.h"

namespace korvane::jetfile {
namespace {

using ByteList = std::vector<unsigned char>;

ByteList littleEndian64(std::int64_t v) {
  ByteList b(8);
  for (int i = 0; i < 8; ++i)
    b[i] = static_cast<unsigned char>(static_cast<std::uint64_t>(v) >> (8 * i));
  return b;
}

TEST(JetValues, IntegersAreSignExtendedExceptByte) {
  EXPECT_EQ(littleEndianInteger(ByteList{0xFF}), 255);
  EXPECT_EQ(littleEndianInteger(ByteList{0xFE, 0xFF}), -2);
  EXPECT_EQ(littleEndianInteger(ByteList{0x00, 0x80}), -32768);
  EXPECT_EQ(littleEndianInteger(ByteList{0x15, 0xCD, 0x5B, 0x07}), 123456789);
  EXPECT_EQ(littleEndianInteger(ByteList{0xFF, 0xFF, 0xFF, 0xFF}), -1);
}

TEST(JetValues, CurrencyIsExactDecimalOfTenThousandths) {
  struct Case {
    std::int64_t stored;
    const char* text;
  };
  const Case cases[] = {
      {0, "0"},
      {35000, "3.5"},
      {-12345000, "-1234.5"},
      {1, "0.0001"},
      {-1, "-0.0001"},
      {std::numeric_limits<std::int64_t>::max(), "922337203685477.5807"},
      {std::numeric_limits<std::int64_t>::min(), "-922337203685477.5808"},
  };
  for (const auto& c : cases) EXPECT_EQ(currencyText(littleEndian64(c.stored)), c.text);
}

TEST(JetValues, DecimalReadsSignAndWordsMostSignificantFirst) {
  // 1110554 = 0x10F21A in the last (least significant) word; sign byte 0x80.
  ByteList negative(17, 0);
  negative[0] = 0x80;
  negative[13] = 0x1A;
  negative[14] = 0xF2;
  negative[15] = 0x10;
  EXPECT_EQ(decimalText(negative, 3), "-1110.554");
  EXPECT_EQ(decimalText(negative, 0), "-1110554");
  EXPECT_EQ(decimalText(negative, 9), "-0.001110554");
  ByteList big(17, 0);
  big[1] = 0x01;  // 2^96
  EXPECT_EQ(decimalText(big, 0), "79228162514264337593543950336");
  EXPECT_EQ(decimalText(ByteList(17, 0), 2), "0");
}

TEST(JetValues, NumbersOfDecimalTextPreferIntegers) {
  EXPECT_EQ(numberOfDecimalText("42"), JetValue(std::int64_t{42}));
  EXPECT_EQ(numberOfDecimalText("-922337203685477"), JetValue(std::int64_t{-922337203685477}));
  EXPECT_EQ(numberOfDecimalText("3.5"), JetValue(3.5));
  EXPECT_EQ(numberOfDecimalText("-1110.554"), JetValue(-1110.554));
  EXPECT_EQ(numberOfDecimalText("79228162514264337593543950336"), JetValue(7.922816251426434e28));
}

TEST(JetValues, GuidShowsFirstGroupsLittleEndian) {
  const ByteList stored = {0x40, 0xFC, 0x29, 0x6B, 0x47, 0xCA, 0x67, 0x10,
                           0xB3, 0x1D, 0x00, 0xDD, 0x01, 0x06, 0x62, 0xDA};
  EXPECT_EQ(guidText(stored), "{6B29FC40-CA47-1067-B31D-00DD010662DA}");
}

TEST(JetValues, Jet4TextPlainAndCompressed) {
  struct Case {
    const char* what;
    ByteList stored;
    std::string utf8;
  };
  const Case cases[] = {
      {"empty", {}, ""},
      {"UCS-2", {'A', 0, 0xE4, 0, 0x1C, 0x04}, "A\xC3\xA4\xD0\x9C"},
      {"compressed", {0xFF, 0xFE, 'a', 'b', 0x09}, "ab\t"},
      {"compressed, switching to two bytes and back",
       {0xFF, 0xFE, 'x', 0x00, 0x1C, 0x04, 0x00, 'y'},
       "x\xD0\x9Cy"},
      {"surrogate pair", {0x3D, 0xD8, 0x00, 0xDE}, "\xF0\x9F\x98\x80"},
      {"lone surrogate",
       {0x3D, 0xD8, 'b', 0},
       "\xEF\xBF\xBD"
       "b"},
  };
  for (const auto& c : cases) EXPECT_EQ(utf8OfJet4Text(c.stored), c.utf8) << c.what;
}

TEST(JetValues, Jet3TextThroughItsCodePage) {
  SingleByteText cp1252("CP1252");
  EXPECT_EQ(cp1252.toUtf8(ByteList{'a', 0x80, 0xE4}), "a\xE2\x82\xAC\xC3\xA4");
  EXPECT_EQ(cp1252.toUtf8(ByteList{0x81, 'z'}), "\xEF\xBF\xBDz");  // 0x81: undefined
  EXPECT_EQ(cp1252.toUtf8(ByteList(5000, 'q')), std::string(5000, 'q'));
  try {
    SingleByteText unknown("NO-SUCH-CHARSET");
    FAIL() << "an unknown character set was accepted";
  } catch (const Failure& f) {
    EXPECT_EQ(f.number(), 3343);
  }
}

}  // namespace
}  // namespace korvane::jetfile
