// The rows of one table that a join with a second table chooses by whether
// they have a partner there, as a condition on the first table alone.
//
// `DELETE t.* FROM t INNER JOIN o ON ...` removes the rows of t that have a
// partner in o; `DELETE t.* FROM t LEFT JOIN o ON ... WHERE o.c Is Null`,
// where ON compares o.c, removes those that have none (Delete orphans);
// UPDATE over such joins sets the same rows. The condition pairs t's side
// of each equality of ON with o's:
//
//   (t's sides) IN (SELECT o's sides FROM o WHERE o's own terms)
//
// The IN is not correlated: SQLite builds its keyed set once (or reads an
// index of o), so the statement costs O((n + m) log m) whatever indexes the
// files have, and text pairs are compared under JETTEXT by that keyed set
// itself, in every plan SQLite may pick.
#pragma once

#include <optional>
#include <string>

#include "db/statements/bound_statement.h"

namespace korvane::db {

// The condition on `target` (under its exposed name) that chooses the rows
// `from` and `where` choose, or nothing for a shape it does not cover (more
// than two tables, a term that relates the two tables other than by `=`,
// no equality at all, a LEFT JOIN not tested for a missing partner).
std::optional<std::string> partnerCondition(const BoundSource& from, const BoundExpr* where,
                                            const BoundTable& target, const std::string& schema);

}  // namespace korvane::db
