// UPDATE [DISTINCTROW] with Jet's meaning: each row of the updated table at
// most once, rows whose new values break a rule left as they were. Over a
// join the join only chooses the rows: by their partners, as a condition on
// the table itself where it can (partner_rows.h), otherwise by the row ids
// the join yields.
#include "db/partner_rows.h"
#include "db/sql_expr.h"
#include "db/sql_writer.h"
#include "invariant/invariant.h"
#include "sqlite/sql_text.h"

namespace korvane::db {

using sqlite::appendToList;
using sqlite::qualifiedName;
using sqlite::quoteName;

SqlSteps writeUpdate(const BoundUpdate& s) {
  KORVANE_ASSERT(s.target.table != nullptr && !s.assignments.empty());
  std::string sets;
  for (const auto& a : s.assignments)
    appendToList(sets, quoteName(a.field->name) + " = " + sqlValueFor(*a.value, a.field->type));
  const std::string table =
      qualifiedName(s.schema, s.target.table->name) + " AS " + quoteName(s.target.exposedName);
  const std::string where = s.where ? " WHERE " + sqlOfExpr(*s.where) : "";
  if (!s.source.isJoin()) return {"UPDATE OR IGNORE " + table + " SET " + sets + where};
  if (auto chosen = partnerCondition(s.source, s.where.get(), s.target, s.schema))
    return {"UPDATE OR IGNORE " + table + " SET " + sets + " WHERE " + *chosen};
  return {"UPDATE OR IGNORE " + table + " SET " + sets + " WHERE rowid IN (SELECT " +
          quoteName(s.target.exposedName) + ".rowid FROM " + sqlOfSource(s.source, s.schema) +
          where + ")"};
}

}  // namespace korvane::db
