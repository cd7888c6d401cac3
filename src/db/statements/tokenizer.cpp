// Splits Jet SQL text into tokens (see tokenizer.h for the kinds and quirks).
#include "db/statements/tokenizer.h"

#include <cctype>
#include <iterator>

#include "sqlite/jet_errors.h"
#include "text/case_fold.h"

namespace korvane::db {

namespace {

struct KeywordSpelling {
  Keyword code;
  std::string_view word;
  bool reserved;
};

// The one list of Jet SQL's keywords, in the order of their codes; a
// reserved one ends a name or an expression.
// clang-format off
constexpr KeywordSpelling kKeywords[] = {
    {Keyword::kNone, "", false}, {Keyword::kAll, "ALL", true},
    {Keyword::kAnd, "AND", true}, {Keyword::kAs, "AS", true},
    {Keyword::kAsc, "ASC", true}, {Keyword::kBetween, "BETWEEN", true},
    {Keyword::kBy, "BY", true}, {Keyword::kConstraint, "CONSTRAINT", false},
    {Keyword::kCreate, "CREATE", false}, {Keyword::kDefault, "DEFAULT", false},
    {Keyword::kDelete, "DELETE", true}, {Keyword::kDesc, "DESC", true},
    {Keyword::kDisallow, "DISALLOW", false}, {Keyword::kDistinct, "DISTINCT", true},
    {Keyword::kDistinctRow, "DISTINCTROW", true}, {Keyword::kDrop, "DROP", false},
    {Keyword::kFalse, "FALSE", true}, {Keyword::kFrom, "FROM", true},
    {Keyword::kGroup, "GROUP", true}, {Keyword::kHaving, "HAVING", true},
    {Keyword::kIgnore, "IGNORE", false}, {Keyword::kIn, "IN", true},
    {Keyword::kIndex, "INDEX", false}, {Keyword::kInner, "INNER", true},
    {Keyword::kInsert, "INSERT", true}, {Keyword::kInto, "INTO", true},
    {Keyword::kIs, "IS", true}, {Keyword::kJoin, "JOIN", true},
    {Keyword::kKey, "KEY", false}, {Keyword::kLeft, "LEFT", true},
    {Keyword::kLike, "LIKE", true}, {Keyword::kNot, "NOT", true},
    {Keyword::kNull, "NULL", true}, {Keyword::kOn, "ON", true},
    {Keyword::kOr, "OR", true}, {Keyword::kOrder, "ORDER", true},
    {Keyword::kOuter, "OUTER", true}, {Keyword::kPrimary, "PRIMARY", false},
    {Keyword::kRight, "RIGHT", true}, {Keyword::kSelect, "SELECT", true},
    {Keyword::kSet, "SET", true}, {Keyword::kTable, "TABLE", false},
    {Keyword::kTrue, "TRUE", true}, {Keyword::kUnion, "UNION", true},
    {Keyword::kUnique, "UNIQUE", false}, {Keyword::kUpdate, "UPDATE", true},
    {Keyword::kValues, "VALUES", true}, {Keyword::kWhere, "WHERE", true},
    {Keyword::kWith, "WITH", false},
};
// clang-format on

// Each spelling sits at its code's place, and every code has one.
constexpr bool inCodeOrder() {
  for (size_t i = 0; i < std::size(kKeywords); ++i)
    if (static_cast<size_t>(kKeywords[i].code) != i) return false;
  return kKeywords[std::size(kKeywords) - 1].code == Keyword::kWith;
}
static_assert(inCodeOrder());

// The keywords are ASCII and no other letter folds to one, so only a word
// of a keyword's length can be that keyword.
Keyword keywordOf(std::string_view word) {
  for (const auto& k : kKeywords)
    if (k.word.size() == word.size() && text::compareIgnoringCase(word, k.word) == 0) return k.code;
  return Keyword::kNone;
}

bool isWordStart(unsigned char c) {
  return std::isalpha(c) || c == '_' || c >= 0x80;
}
bool isWordPart(unsigned char c) {
  return std::isalnum(c) || c == '_' || c >= 0x80;
}
bool isSpace(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

[[noreturn]] void failAt(std::string_view sql, size_t at) {
  raiseSyntax(jeterr::kSyntaxExpression, sql.substr(at, 40));
}

// Reads a quoted text starting at sql[at] (the opening quote); a doubled
// quote stands for one. Returns the length covered, stores the value.
size_t scanQuoted(std::string_view sql, size_t at, char close, bool doubledEscapes,
                  std::string& value) {
  size_t i = at + 1;
  for (;;) {
    if (i >= sql.size()) failAt(sql, at);
    if (sql[i] == close) {
      if (doubledEscapes && i + 1 < sql.size() && sql[i + 1] == close) {
        value += close;
        i += 2;
        continue;
      }
      return i + 1 - at;
    }
    value += sql[i++];
  }
}

// Returns the length of the number that begins at sql[at].
size_t scanNumber(std::string_view sql, size_t at) {
  size_t i = at;
  while (i < sql.size() && std::isdigit(static_cast<unsigned char>(sql[i]))) ++i;
  if (i < sql.size() && sql[i] == '.') {
    ++i;
    while (i < sql.size() && std::isdigit(static_cast<unsigned char>(sql[i]))) ++i;
  }
  if (i < sql.size() && (sql[i] == 'e' || sql[i] == 'E')) {
    size_t j = i + 1;
    if (j < sql.size() && (sql[j] == '+' || sql[j] == '-')) ++j;
    if (j < sql.size() && std::isdigit(static_cast<unsigned char>(sql[j]))) {
      while (j < sql.size() && std::isdigit(static_cast<unsigned char>(sql[j]))) ++j;
      i = j;
    }
  }
  return i - at;
}

// Returns the length of the symbol at sql[at], 0 when none starts there.
size_t symbolLength(std::string_view sql, size_t at) {
  static constexpr std::string_view kTwo[] = {"<>", "<=", ">="};
  for (auto two : kTwo)
    if (sql.substr(at, 2) == two) return 2;
  static constexpr std::string_view kOne = "(),.;*=<>+-/&";
  return kOne.find(sql[at]) != std::string_view::npos ? 1 : 0;
}

}  // namespace

bool isReserved(Keyword keyword) {
  return kKeywords[static_cast<size_t>(keyword)].reserved;
}

bool Token::isSymbol(std::string_view symbol) const {
  return kind == TokenKind::kSymbol && text == symbol;
}

std::vector<Token> tokenize(std::string_view sql) {
  std::vector<Token> tokens;
  size_t i = 0;
  while (i < sql.size()) {
    const auto c = static_cast<unsigned char>(sql[i]);
    if (isSpace(c)) {
      ++i;
      continue;
    }
    Token t;
    t.offset = i;
    if (isWordStart(c)) {
      size_t j = i;
      while (j < sql.size() && isWordPart(static_cast<unsigned char>(sql[j]))) ++j;
      t.kind = TokenKind::kWord;
      t.text = std::string(sql.substr(i, j - i));
      t.keyword = keywordOf(t.text);
      t.length = j - i;
    } else if (c == '[') {
      t.kind = TokenKind::kName;
      t.length = scanQuoted(sql, i, ']', false, t.text);
    } else if (c == '\'' || c == '"') {
      t.kind = TokenKind::kText;
      t.length = scanQuoted(sql, i, static_cast<char>(c), true, t.text);
    } else if (c == '#') {
      t.kind = TokenKind::kDate;
      t.length = scanQuoted(sql, i, '#', false, t.text);
    } else if (std::isdigit(c) || (c == '.' && i + 1 < sql.size() &&
                                   std::isdigit(static_cast<unsigned char>(sql[i + 1])) &&
                                   (tokens.empty() || !(tokens.back().kind == TokenKind::kWord ||
                                                        tokens.back().kind == TokenKind::kName)))) {
      t.kind = TokenKind::kNumber;
      t.length = scanNumber(sql, i);
      t.text = std::string(sql.substr(i, t.length));
    } else if (size_t n = symbolLength(sql, i); n > 0) {
      t.kind = TokenKind::kSymbol;
      t.length = n;
      t.text = std::string(sql.substr(i, n));
    } else {
      failAt(sql, i);
    }
    i += t.length;
    tokens.push_back(std::move(t));
  }
  Token end;
  end.offset = sql.size();
  tokens.push_back(end);
  return tokens;
}

}  // namespace korvane::db
