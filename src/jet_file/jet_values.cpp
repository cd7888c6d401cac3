// Decoding of Jet's stored values: see jet_values.h.
#include "jet_file/jet_values.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <limits>

#include "sqlite/jet_errors.h"
#include "text/utf8.h"

namespace korvane::jetfile {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

std::uint64_t littleEndianBits(Bytes bytes) {
  std::uint64_t bits = 0;
  for (size_t i = bytes.size(); i > 0; --i) bits = (bits << 8) | bytes[i - 1];
  return bits;
}

// UTF-16 code units to UTF-8, pairing surrogates.
std::string utf8OfUtf16(const std::vector<char16_t>& units) {
  std::string out;
  out.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    const char16_t u = units[i];
    const bool high = u >= 0xD800 && u <= 0xDBFF;
    const bool low = u >= 0xDC00 && u <= 0xDFFF;
    if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      text::appendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else {
      text::appendUtf8(out, high || low ? kReplacement : char32_t(u));
    }
  }
  return out;
}

// Jet's compressed text: after FF FE, one-byte characters until a 0x00, then
// two-byte characters until the next 0x00, and so on.
std::vector<char16_t> unitsOfCompressedText(Bytes bytes) {
  std::vector<char16_t> units;
  bool oneByte = true;
  size_t i = 2;
  while (i < bytes.size()) {
    if (bytes[i] == 0) {
      oneByte = !oneByte;
      ++i;
    } else if (oneByte) {
      units.push_back(bytes[i++]);
    } else if (i + 1 < bytes.size()) {
      units.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
      i += 2;
    } else {
      break;  // a lone trailing byte carries no character
    }
  }
  return units;
}

std::vector<char16_t> unitsOfUcs2(Bytes bytes) {
  std::vector<char16_t> units;
  units.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    units.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
  return units;
}

// Decimal digits of a magnitude held as 32-bit words, most significant first.
std::string digitsOf(std::array<std::uint32_t, 4> words) {
  std::string digits;
  auto isZero = [&] { return std::all_of(words.begin(), words.end(), [](auto w) { return !w; }); };
  while (!isZero()) {
    std::uint64_t remainder = 0;
    for (auto& w : words) {
      const std::uint64_t current = (remainder << 32) | w;
      w = static_cast<std::uint32_t>(current / 10);
      remainder = current % 10;
    }
    digits += static_cast<char>('0' + remainder);
  }
  if (digits.empty()) digits = "0";
  std::reverse(digits.begin(), digits.end());
  return digits;
}

// "12345", scale 3, negative: "-12.345"; trailing fraction zeros dropped.
std::string withScale(std::string digits, int scale, bool negative) {
  if (scale > 0) {
    if (digits.size() <= static_cast<size_t>(scale))
      digits.insert(0, static_cast<size_t>(scale) - digits.size() + 1, '0');
    digits.insert(digits.size() - static_cast<size_t>(scale), ".");
    while (digits.back() == '0') digits.pop_back();
    if (digits.back() == '.') digits.pop_back();
  }
  if (negative && digits != "0") digits.insert(0, "-");
  return digits;
}

}  // namespace

std::int64_t littleEndianInteger(Bytes bytes) {
  const std::uint64_t bits = littleEndianBits(bytes);
  if (bytes.size() <= 1 || bytes.size() >= 8) return static_cast<std::int64_t>(bits);
  const unsigned width = static_cast<unsigned>(bytes.size()) * 8;
  const std::uint64_t sign = std::uint64_t{1} << (width - 1);
  return static_cast<std::int64_t>((bits ^ sign) - sign);
}

std::uint32_t littleEndianUnsigned32(Bytes bytes) {
  return static_cast<std::uint32_t>(littleEndianBits(bytes.first(4)));
}

std::uint16_t unsigned16At(const unsigned char* at) {
  return static_cast<std::uint16_t>(littleEndianBits(Bytes(at, 2)));
}

std::uint32_t unsigned32At(const unsigned char* at) {
  return littleEndianUnsigned32(Bytes(at, 4));
}

float littleEndianSingle(Bytes bytes) {
  return std::bit_cast<float>(static_cast<std::uint32_t>(littleEndianBits(bytes.first(4))));
}

double littleEndianDouble(Bytes bytes) {
  return std::bit_cast<double>(littleEndianBits(bytes.first(8)));
}

std::string currencyText(Bytes bytes) {
  const std::int64_t value = littleEndianInteger(bytes.first(8));
  const bool negative = value < 0;
  const std::uint64_t magnitude =
      negative ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
  return withScale(digitsOf({0, 0, static_cast<std::uint32_t>(magnitude >> 32),
                             static_cast<std::uint32_t>(magnitude)}),
                   4, negative);
}

std::string decimalText(Bytes bytes, int scale) {
  std::array<std::uint32_t, 4> words{};
  for (size_t w = 0; w < 4; ++w) words[w] = littleEndianUnsigned32(bytes.subspan(1 + 4 * w, 4));
  return withScale(digitsOf(words), scale, (bytes[0] & 0x80) != 0);
}

JetValue numberOfDecimalText(std::string_view text) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (text.find('.') == std::string_view::npos) {
    std::int64_t whole = 0;
    auto [ptr, ec] = std::from_chars(begin, end, whole);
    if (ec == std::errc() && ptr == end) return whole;
  }
  double nearest = 0;
  std::from_chars(begin, end, nearest);
  return nearest;
}

std::string guidText(Bytes bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  // The first three groups are little-endian numbers, the last two bytes as stored.
  static constexpr int kOrder[] = {3,  2, 1, 0,  -1, 5,  4,  -1, 7,  6,
                                   -1, 8, 9, -1, 10, 11, 12, 13, 14, 15};
  std::string text = "{";
  for (int i : kOrder) {
    if (i < 0) {
      text += '-';
      continue;
    }
    text += kHex[bytes[static_cast<size_t>(i)] >> 4];
    text += kHex[bytes[static_cast<size_t>(i)] & 0xF];
  }
  return text + "}";
}

std::string utf8OfJet4Text(Bytes bytes) {
  const bool compressed = bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
  return utf8OfUtf16(compressed ? unitsOfCompressedText(bytes) : unitsOfUcs2(bytes));
}

SingleByteText::SingleByteText(const std::string& charset)
    : converter_(iconv_open("UTF-8", charset.c_str())) {
  if (converter_ == reinterpret_cast<void*>(-1))
    raiseJet(jeterr::kNotADatabase, charset, "unknown Jet 3 character set");
}

SingleByteText::~SingleByteText() {
  iconv_close(static_cast<iconv_t>(converter_));
}

std::string SingleByteText::toUtf8(Bytes bytes) const {
  auto cd = static_cast<iconv_t>(converter_);
  std::string out;
  std::array<char, 4096> buffer;
  // iconv takes non-const input; it does not write to it.
  char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
  size_t inLeft = bytes.size();
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  while (inLeft > 0) {
    char* outPtr = buffer.data();
    size_t outLeft = buffer.size();
    const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer.data(), buffer.size() - outLeft);
    if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
      text::appendUtf8(out, kReplacement);  // a byte the code page leaves undefined
      ++in;
      --inLeft;
    }
  }
  return out;
}

}  // namespace korvane::jetfile
