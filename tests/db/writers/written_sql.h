// The SQLite statements the engine writes for a Jet statement, on a
// connection the test holds, and the query plans SQLite makes of them.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "db/writers/sql_writer.h"
#include "sqlite/connection.h"

namespace korvane::db::test {

// A connection on `hostPath` with the engine's collation and functions, as
// the engine opens its files.
std::unique_ptr<sqlite::Connection> engineConnection(const std::filesystem::path& hostPath,
                                                     const std::string& name);

// The schema an INSERT ... IN 'file' target is attached as in `stepsFor`.
inline constexpr const char* kTargetSchema = "target";

// The steps the writers make of `jetSql` on `c`: an INSERT's IN 'file'
// target must already be attached as kTargetSchema.
SqlSteps stepsFor(sqlite::Connection& c, const std::string& jetSql);

// One line of EXPLAIN QUERY PLAN.
struct PlanLine {
  int id = 0;
  int parent = 0;
  std::string detail;
};
using Plan = std::vector<PlanLine>;

Plan planOf(sqlite::Connection& c, const std::string& sql);

// The plan as EXPLAIN QUERY PLAN's tree, one line each, for messages.
std::string shown(const Plan& plan);

// The lines of `plan` that run a full scan once for every row of another
// loop: a SCAN that is not the outermost loop of its query, or a SCAN
// anywhere inside a correlated subquery. Empty for a plan that is at worst
// O(n log n).
std::vector<std::string> scansInsideLoops(const Plan& plan);

// Runs `steps` on `c` one by one, each planned before it runs (a later step
// may read a temporary table an earlier one made), inside a savepoint that
// is rolled back, so `c` is left as it was. The plans, in step order.
std::vector<Plan> planAndRun(sqlite::Connection& c, const SqlSteps& steps);

}  // namespace korvane::db::test
