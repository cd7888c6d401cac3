// The SQLite statements that carry out one resolved Jet statement.
//
// Each writer resolves its statement's names (failing with Jet's numbers)
// and returns the SQLite statements to run, in order, inside one savepoint.
// Rows that break a key, a required field or a check are skipped with
// OR IGNORE, as Jet's Execute without options skips them. One file per
// statement kind: write_insert.cpp, write_delete.cpp, write_update.cpp,
// write_ddl.cpp.
#pragma once

#include <string>
#include <vector>

#include "db/ast.h"
#include "db/catalog.h"
#include "sqlite/jet_errors.h"

namespace korvane::db {

using SqlSteps = std::vector<std::string>;

// INSERT INTO: sources from `source`, the target table from `target` (the
// same catalog, or the IN 'file' target's).
SqlSteps writeInsert(InsertStmt& s, Catalog& source, Catalog& target);
SqlSteps writeDelete(DeleteStmt& s, Catalog& catalog);
SqlSteps writeUpdate(UpdateStmt& s, Catalog& catalog);
SqlSteps writeCreateTable(const CreateTableStmt& s, Catalog& catalog);
SqlSteps writeCreateIndex(const CreateIndexStmt& s, Catalog& catalog);
// DROP TABLE: the table and its field properties. `missingError` is the
// number for a table that is not there (3376 for DROP TABLE, 3265 for
// TableDefs.Delete).
SqlSteps writeDropTable(const std::string& table, Catalog& catalog, const JetError& missingError);

}  // namespace korvane::db
