// UTF-8 decoding and encoding (see utf8.h for the rule on malformed bytes).
#include "text/utf8.h"

#include <vector>

#include "invariant/invariant.h"

namespace korvane::text {

namespace {

bool isContinuation(unsigned char b) {
  return (b & 0xC0) == 0x80;
}

// The well-formed range of the first continuation byte after `lead`, which
// rules out overlong forms, surrogates and values beyond U+10FFFF.
void secondByteRange(unsigned char lead, unsigned char& low, unsigned char& high) {
  low = 0x80;
  high = 0xBF;
  if (lead == 0xE0) low = 0xA0;
  if (lead == 0xED) high = 0x9F;
  if (lead == 0xF0) low = 0x90;
  if (lead == 0xF4) high = 0x8F;
}

}  // namespace

char32_t nextChar(std::string_view text, std::size_t& at) {
  KORVANE_ASSERT(at < text.size());
  const auto lead = static_cast<unsigned char>(text[at]);
  std::size_t extra = 0;
  char32_t c = lead;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
    c = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
    c = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
    c = lead & 0x07;
  } else if (lead >= 0x80) {
    ++at;
    return kMalformedByte + lead;
  }
  bool wellFormed = text.size() - at > extra;
  unsigned char low, high;
  secondByteRange(lead, low, high);
  for (std::size_t k = 1; wellFormed && k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(text[at + k]);
    wellFormed = k == 1 ? b >= low && b <= high : isContinuation(b);
    c = (c << 6) | (b & 0x3F);
  }
  if (!wellFormed) {
    ++at;
    return kMalformedByte + lead;
  }
  at += extra + 1;
  return c;
}

void appendUtf8(std::string& out, char32_t c) {
  KORVANE_ASSERT(c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF));
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::size_t startOfLastCharacters(std::string_view text, std::size_t count) {
  std::vector<std::size_t> starts;
  for (std::size_t at = 0; at < text.size();) {
    starts.push_back(at);
    nextChar(text, at);
  }
  if (starts.size() < count) return std::string_view::npos;
  return count == 0 ? text.size() : starts[starts.size() - count];
}

}  // namespace korvane::text
