// The no-index variant: a file's tables without keys or indexes, as a
// template made by another tool may be.
#pragma once

#include <sqlite3.h>

namespace korvane::bench {

// Rebuilds every table of `db` (but the field properties) without its keys
// and drops its indexes: the same fields, declared types, defaults, required
// fields and rows, nothing SQLite could search by.
void dropKeysAndIndexes(sqlite3* db);

}  // namespace korvane::bench
