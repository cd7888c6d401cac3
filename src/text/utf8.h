// UTF-8, read and written the one way the program does it: names on disk,
// names and text in the engine, text read from real Jet files.
//
// A byte that starts no well-formed sequence (a stray continuation byte, a
// lead byte without its continuation, an overlong form, a surrogate, a value
// beyond U+10FFFF) is read as one character of its own, outside Unicode: it
// equals only the same byte and orders after every real character, so any
// text can be compared and nothing malformed matches a real letter.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvane::text {

// The character a malformed byte `b` reads as: kMalformedByte + b.
inline constexpr char32_t kMalformedByte = 0x110000;

// The character of `text` that starts at byte `at`; advances `at` past it.
// `at` must be before the end.
char32_t nextChar(std::string_view text, std::size_t& at);

// Appends `c` (a Unicode scalar value) to `out` as UTF-8.
void appendUtf8(std::string& out, char32_t c);

// The byte offset where the last `count` characters of `text` begin, or npos
// when `text` has fewer characters.
std::size_t startOfLastCharacters(std::string_view text, std::size_t count);

}  // namespace korvane::text
