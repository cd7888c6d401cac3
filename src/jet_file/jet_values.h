// Jet's stored value layouts, decoded into the values our file format keeps.
//
// Pure functions over the bytes of one field, independent of libmdb, so that
// every layout is decoded (and tested) in one place: integers and floats are
// little-endian, Currency a count of ten-thousandths, Decimal a sign byte and
// a 128-bit magnitude, text UCS-2 (Jet 4, maybe compressed) or a single-byte
// code page (Jet 3).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace korvane::jetfile {

using Bytes = std::span<const unsigned char>;

struct Blob {
  std::vector<unsigned char> bytes;
  bool operator==(const Blob&) const = default;
};

// One imported value: Null, INTEGER, REAL, TEXT (UTF-8) or BLOB.
using JetValue = std::variant<std::monostate, std::int64_t, double, std::string, Blob>;

// Two's complement little-endian integer of 1 to 8 bytes (1 byte: unsigned).
std::int64_t littleEndianInteger(Bytes bytes);
std::uint32_t littleEndianUnsigned32(Bytes bytes);
// The unsigned little-endian integer of 2 or 4 bytes starting at `at`, in a
// page libmdb has read.
std::uint16_t unsigned16At(const unsigned char* at);
std::uint32_t unsigned32At(const unsigned char* at);
float littleEndianSingle(Bytes bytes);
double littleEndianDouble(Bytes bytes);

// Exact decimal text of a Currency (8 bytes): "-1234.5" for -12345000.
std::string currencyText(Bytes bytes);

// Exact decimal text of a Decimal: 17 bytes (sign byte, 0x80 when negative,
// then four little-endian 32-bit words, most significant first) and the
// column's scale. "-1110.554" for scale 3.
std::string decimalText(Bytes bytes, int scale);

// The number our format keeps for an exact decimal text: an INTEGER when it
// is whole and fits 64 bits, otherwise the nearest REAL (exact up to 15
// significant digits, which is what SQLite keeps of any number).
JetValue numberOfDecimalText(std::string_view text);

// A GUID (16 bytes) as Jet shows it: {6B29FC40-CA47-1067-B31D-00DD010662DA}.
std::string guidText(Bytes bytes);

// Jet 4 text to UTF-8: UCS-2 little-endian, or Jet's compressed form (FF FE,
// then runs of one-byte characters switched with 0x00 to two-byte runs).
// Unpaired surrogates become U+FFFD.
std::string utf8OfJet4Text(Bytes bytes);

// Jet 3 text, in a single-byte code page, to UTF-8.
class SingleByteText {
 public:
  // `charset` is an iconv name (CP1252). Fails with 3343 when iconv does not
  // know it.
  explicit SingleByteText(const std::string& charset);
  ~SingleByteText();
  SingleByteText(const SingleByteText&) = delete;
  SingleByteText& operator=(const SingleByteText&) = delete;

  // Bytes the code page does not define become U+FFFD.
  std::string toUtf8(Bytes bytes) const;

 private:
  void* converter_;  // iconv_t
};

}  // namespace korvane::jetfile
