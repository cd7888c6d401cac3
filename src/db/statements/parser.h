// The parser of Jet SQL: statement text in, a syntax tree (ast.h) out.
//
// It accepts the subset the program uses (SELECT, INSERT INTO, DELETE,
// UPDATE, CREATE TABLE, CREATE INDEX, DROP TABLE) in any letter case and
// spacing, with an optional ';' at the end. Anything else fails with Jet's
// syntax-error number for the clause at fault (3129 statement, 3131 FROM,
// 3130 DELETE, 3134 INSERT INTO, 3144 UPDATE, 3075 expression, 3138 ORDER BY,
// 3141 SELECT, 3290/3291/3292/3295 DDL, 3142 text after the end) and the text
// near the fault. Nothing is handed on unparsed.
#pragma once

#include <string_view>

#include "db/statements/ast.h"

namespace korvane::db {

Statement parseStatement(std::string_view sql);

}  // namespace korvane::db
