// Quoting and lists in the SQLite text the program writes.
#include "sqlite/sql_text.h"

namespace korvane::sqlite {

namespace {

std::string quoted(std::string_view text, char quote) {
  std::string out(1, quote);
  for (char ch : text) {
    if (ch == quote) out += quote;
    out += ch;
  }
  return out + quote;
}

}  // namespace

std::string quoteName(std::string_view name) {
  return quoted(name, '"');
}

std::string quoteText(std::string_view text) {
  return quoted(text, '\'');
}

std::string qualifiedName(std::string_view qualifier, std::string_view name) {
  return quoteName(qualifier) + "." + quoteName(name);
}

void appendToList(std::string& list, std::string_view item) {
  if (!list.empty()) list += ", ";
  list += item;
}

}  // namespace korvane::sqlite
