// The SQLite statements that carry out one bound Jet statement.
//
// Each writer takes a bound statement (bound_statement.h: every name
// resolved and every check passed, so writing cannot fail) and returns the
// SQLite statements to run, in order, inside one savepoint. Rows that break
// a key, a required field or a check are skipped with OR IGNORE, as Jet's
// Execute without options skips them. One file per statement kind:
// write_insert.cpp, write_delete.cpp, write_update.cpp, write_ddl.cpp.
#pragma once

#include <string>
#include <vector>

#include "db/statements/bound_statement.h"

namespace korvane::db {

using SqlSteps = std::vector<std::string>;

SqlSteps writeInsert(const BoundInsert& s);
SqlSteps writeDelete(const BoundDelete& s);
SqlSteps writeUpdate(const BoundUpdate& s);
SqlSteps writeCreateTable(const BoundCreateTable& s);
SqlSteps writeCreateIndex(const BoundCreateIndex& s);
// DROP TABLE: the table and its field properties.
SqlSteps writeDropTable(const BoundDropTable& s);

}  // namespace korvane::db
