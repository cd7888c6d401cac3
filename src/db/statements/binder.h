// The binder: a parsed statement (ast.h) against the catalogs of the files
// it reads and writes, into the bound statement the SQLite writers take
// (bound_statement.h). One file per statement kind: bind_insert.cpp,
// bind_delete.cpp, bind_update.cpp, bind_ddl.cpp.
//
// Every failure is Jet's number, and the first one Jet would report: names
// resolve as resolver.h says (3078 for a missing input table, 3079 for a
// name in two tables, 3061 for names found nowhere), then the statement's
// own checks follow.
#pragma once

#include <string>

#include "db/statements/ast.h"
#include "db/statements/bound_statement.h"
#include "db/statements/catalog.h"
#include "sqlite/jet_errors.h"

namespace korvane::db {

// INSERT INTO: the tables it reads from `source`, the target from `target`
// (the same catalog, or the IN 'file' target's). 3192 for a missing target
// (after the input tables), 3073 for a view; without a field list the
// values pair with the target's fields by name (3127 for a field it
// lacks), with one by position (3346 when the counts differ); 3164 for a
// generated field named, 3191 for a field given twice.
BoundInsert bindInsert(const InsertStmt& s, Catalog& source, Catalog& target);

// DELETE: the table written as t.* loses its rows, or the only one; 3128
// for several tables and none named, 3086 for two named or a view.
BoundDelete bindDelete(const DeleteStmt& s, Catalog& catalog);

// UPDATE: the fields set must belong to one table, a table and not a view,
// and over a join take their values from it or from constants (3073);
// 3164 for a generated field.
BoundUpdate bindUpdate(const UpdateStmt& s, Catalog& catalog);

// CREATE TABLE: 3010 for a table that is there, 3191 for a field named
// twice, 3283 for two primary keys, 3371 for a key on a field not there.
BoundCreateTable bindCreateTable(const CreateTableStmt& s, Catalog& catalog);

// CREATE INDEX: 3371 for a table or field not there, 3284 for an index name
// taken.
BoundCreateIndex bindCreateIndex(const CreateIndexStmt& s, Catalog& catalog);

// DROP TABLE (and TableDefs.Delete): `missingError` for a table that is not
// there (3376 for DROP TABLE, 3265 for TableDefs.Delete).
BoundDropTable bindDropTable(const std::string& table, Catalog& catalog,
                             const JetError& missingError);

}  // namespace korvane::db
