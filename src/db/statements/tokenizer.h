// The tokenizer of Jet SQL: statement text in, a list of tokens out.
//
// Token kinds and the Jet quirks they accept:
//   word        From, SELECT, Samples, K18, F_low   (letters, digits, '_'; any case)
//   name        [System ID]   ([...] holds any character but ']'; a ']' may run
//               straight into the next word: [Sample Date]FROM)
//   text        'it''s'  "say ""hi"""   (a doubled quote stands for one; a closing
//               quote may run into the next word: '...'SELECT)
//   number      12  0.5  .5  1E-3
//   date        #2019-03-05 14:30#  #3/5/2019#   (the text between the hashes)
//   symbol      ( ) , . ; * = <> < > <= >= + - / &
// Spaces, tabs and line breaks separate tokens and are otherwise ignored.
// A word that is one of Jet SQL's keywords, in any letter case, carries its
// code; the parser compares codes, never text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::db {

enum class TokenKind { kWord, kName, kText, kNumber, kDate, kSymbol, kEnd };

// The keywords, in alphabetical order after kNone, which is none
// (tokenizer.cpp spells them).
// clang-format off
enum class Keyword : std::uint8_t {
  kNone, kAll, kAnd, kAs, kAsc, kBetween, kBy, kConstraint, kCreate, kDefault, kDelete, kDesc,
  kDisallow, kDistinct, kDistinctRow, kDrop, kFalse, kFrom, kGroup, kHaving, kIgnore, kIn,
  kIndex, kInner, kInsert, kInto, kIs, kJoin, kKey, kLeft, kLike, kNot, kNull, kOn, kOr,
  kOrder, kOuter, kPrimary, kRight, kSelect, kSet, kTable, kTrue, kUnion, kUnique, kUpdate,
  kValues, kWhere, kWith
};
// clang-format on

// True for a keyword that ends a name or an expression, so that it cannot
// be a bare name (a field called Key can be written so; one called From
// only as [From]).
bool isReserved(Keyword keyword);

struct Token {
  TokenKind kind = TokenKind::kEnd;
  std::string text;                  // the value: a name without brackets, a text without quotes
  Keyword keyword = Keyword::kNone;  // a word: the keyword it is, if any
  size_t offset = 0;                 // where the token starts in the statement
  size_t length = 0;                 // how many characters of the statement it covers

  bool is(Keyword k) const { return keyword == k; }
  bool isSymbol(std::string_view symbol) const;
};

// Splits `sql` into tokens, ending with one kEnd token. An unterminated [name],
// 'text', "text" or #date#, or a character that starts no token, fails with
// 3075 naming the text from there on.
std::vector<Token> tokenize(std::string_view sql);

}  // namespace korvane::db
