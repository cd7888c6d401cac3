// SQLite text the program writes: quoted names and literals, schema-qualified
// names, comma-separated lists.
#pragma once

#include <string>
#include <string_view>

namespace korvane::sqlite {

// `name` quoted as an SQLite identifier: "a ""b""".
std::string quoteName(std::string_view name);

// `text` quoted as an SQLite string literal: 'it''s'.
std::string quoteText(std::string_view text);

// `name` after `qualifier` (a schema, or a table as a statement exposes it),
// both quoted: "main"."Standard Materials".
std::string qualifiedName(std::string_view qualifier, std::string_view name);

// Appends `item` to the comma-separated `list`, with ", " unless it is the
// first.
void appendToList(std::string& list, std::string_view item);

}  // namespace korvane::sqlite
