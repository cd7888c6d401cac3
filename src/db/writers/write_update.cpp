// UPDATE [DISTINCTROW] with Jet's meaning: each row of the updated table at
// most once, rows whose new values break a rule left as they were, a row
// whose key field would become Null too, whatever the file declares. Over a
// join the join only chooses the rows: by their partners, as a condition on
// the table itself where it can (partner_rows.h), otherwise by the row ids
// the join yields.
#include "db/writers/partner_rows.h"
#include "db/writers/sql_expr.h"
#include "db/writers/sql_writer.h"
#include "invariant/invariant.h"
#include "sqlite/sql_text.h"

namespace korvane::db {

using sqlite::appendToList;
using sqlite::qualifiedName;
using sqlite::quoteName;

SqlSteps writeUpdate(const BoundUpdate& s) {
  KORVANE_ASSERT(s.target.table != nullptr && !s.assignments.empty());
  std::string sets;
  std::vector<std::string> values;
  for (const auto& a : s.assignments) {
    values.push_back(sqlValueFor(*a.value, a.field->fieldType()));
    appendToList(sets, quoteName(a.field->name) + " = " + values.back());
  }
  const std::string required = sqlKeysPresent(s.assignments, values);
  const std::string keysPresent = required.empty() ? "" : " AND " + required;
  const std::string table =
      qualifiedName(s.schema, s.target.table->name) + " AS " + quoteName(s.target.exposedName);
  const std::string update = "UPDATE OR IGNORE " + table + " SET " + sets;
  const std::string where = s.where ? " WHERE " + sqlOfExpr(*s.where) : "";
  if (!s.source.isJoin()) {
    if (keysPresent.empty()) return {update + where};
    return {update + " WHERE " + (s.where ? "(" + sqlOfExpr(*s.where) + ")" : "1") + keysPresent};
  }
  if (auto chosen = partnerCondition(s.source, s.where.get(), s.target, s.schema))
    return {update + " WHERE " + (keysPresent.empty() ? *chosen : "(" + *chosen + ")") +
            keysPresent};
  return {update + " WHERE rowid IN (SELECT " + quoteName(s.target.exposedName) + ".rowid FROM " +
          sqlOfSource(s.source, s.schema) + where + ")" + keysPresent};
}

}  // namespace korvane::db
