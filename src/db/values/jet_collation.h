// Text compared as Jet compares it, for names and for values.
//
// Jet ignores letter case (beyond ASCII too, by the program's one case fold,
// text/case_fold.h) and, comparing values, trailing spaces. The same
// rule is registered on every connection as the collation "JETTEXT" and used
// in the SQL the engine writes; it never goes into a stored schema, so the
// files stay readable by any SQLite tool. Also registered: the functions the
// generated SQL calls for Jet's Like and '&' (and, through jet_convert.h,
// the conversions).
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "sqlite/connection.h"

struct sqlite3;

namespace korvane::db {

inline constexpr std::string_view kJetCollation = "JETTEXT";

// <0, 0, >0 as Jet orders `a` and `b` (UTF-8): case folded, trailing spaces
// ignored.
int jetCompare(std::string_view a, std::string_view b);

// True when two names (of tables or fields) are the same name to Jet.
bool sameName(std::string_view a, std::string_view b);

// Jet's Like: '*' any run, '?' one character, '#' one digit, [abc] [a-z] [!abc]
// one character of (not of) a set; letter case ignored.
bool jetLike(std::string_view text, std::string_view pattern);

// Registers JETTEXT, the functions jet_like(text, pattern) and
// jet_concat(a, b), and the conversions of jet_convert.h on `db`.
// Returns an SQLite result code.
int registerJetFunctions(sqlite3* db);

// A connection on `hostPath` (`displayName` in failures) with all of them
// registered.
std::unique_ptr<sqlite::Connection> openJetConnection(const std::filesystem::path& hostPath,
                                                      const std::string& displayName,
                                                      sqlite::OpenMode mode);

}  // namespace korvane::db
