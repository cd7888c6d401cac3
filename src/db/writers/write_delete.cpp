// DELETE with Jet's meaning: over a join only the rows of the table written
// as t.* go (the binder chose it).
//
// A delete of the rows with a partner in another table (the standard
// materials swap) or without one (Delete orphans) is written as a condition
// on the table itself (partner_rows.h), which stays O(n log n) without any
// index; any other join goes through the row ids the join yields.
#include "db/writers/partner_rows.h"
#include "db/writers/sql_expr.h"
#include "db/writers/sql_writer.h"
#include "invariant/invariant.h"
#include "sqlite/sql_text.h"

namespace korvane::db {

using sqlite::qualifiedName;
using sqlite::quoteName;

SqlSteps writeDelete(const BoundDelete& s) {
  KORVANE_ASSERT(s.target.table != nullptr);
  const std::string table = qualifiedName(s.schema, s.target.table->name);
  const std::string as = " AS " + quoteName(s.target.exposedName);
  const std::string where = s.where ? " WHERE " + sqlOfExpr(*s.where) : "";
  if (!s.from.isJoin()) return {"DELETE FROM " + table + as + where};
  if (auto chosen = partnerCondition(s.from, s.where.get(), s.target, s.schema))
    return {"DELETE FROM " + table + as + " WHERE " + *chosen};
  return {"DELETE FROM " + table + " WHERE rowid IN (SELECT " + quoteName(s.target.exposedName) +
          ".rowid FROM " + sqlOfSource(s.from, s.schema) + where + ")"};
}

}  // namespace korvane::db
