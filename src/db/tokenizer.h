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
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvane::db {

enum class TokenKind { kWord, kName, kText, kNumber, kDate, kSymbol, kEnd };

struct Token {
  TokenKind kind = TokenKind::kEnd;
  std::string text;   // the value: a name without brackets, a text without quotes
  size_t offset = 0;  // where the token starts in the statement
  size_t length = 0;  // how many characters of the statement it covers

  // True for a word equal to `keyword` without regard to case.
  bool is(std::string_view keyword) const;
  bool isSymbol(std::string_view symbol) const;
};

// Splits `sql` into tokens, ending with one kEnd token. An unterminated [name],
// 'text', "text" or #date#, or a character that starts no token, fails with
// 3075 naming the text from there on.
std::vector<Token> tokenize(std::string_view sql);

// True when `a` and `b` are equal without regard to ASCII case.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace korvane::db
