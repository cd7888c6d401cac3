// Parses and writes Jet statements as Database::execute does, without
// running them, and reads SQLite's plans back.
#include "written_sql.h"

#include <map>
#include <stdexcept>
#include <type_traits>
#include <variant>

#include "db/statements/binder.h"
#include "db/statements/catalog.h"
#include "db/statements/parser.h"
#include "db/values/jet_collation.h"

namespace korvane::db::test {

std::unique_ptr<sqlite::Connection> engineConnection(const std::filesystem::path& hostPath,
                                                     const std::string& name) {
  return openJetConnection(hostPath, name, sqlite::OpenMode::kReadWrite);
}

SqlSteps stepsFor(sqlite::Connection& c, const std::string& jetSql) {
  Statement statement = parseStatement(jetSql);
  Catalog catalog(c, "main");
  return std::visit(
      [&](auto& s) -> SqlSteps {
        using T = std::decay_t<decltype(s)>;
        if constexpr (std::is_same_v<T, InsertStmt>) {
          if (!s.inFile) return writeInsert(bindInsert(s, catalog, catalog));
          Catalog target(c, kTargetSchema);
          return writeInsert(bindInsert(s, catalog, target));
        } else if constexpr (std::is_same_v<T, DeleteStmt>) {
          return writeDelete(bindDelete(s, catalog));
        } else if constexpr (std::is_same_v<T, UpdateStmt>) {
          return writeUpdate(bindUpdate(s, catalog));
        } else {
          throw std::logic_error("not a statement that changes rows: " + jetSql);
        }
      },
      statement);
}

Plan planOf(sqlite::Connection& c, const std::string& sql) {
  Plan plan;
  c.query("EXPLAIN QUERY PLAN " + sql, {}, [&](const sqlite::Connection::ColumnText& col) {
    plan.push_back({std::stoi(col(0)), std::stoi(col(1)), col(3)});
  });
  return plan;
}

namespace {

int depthOf(const Plan& plan, const PlanLine& line) {
  int depth = 0;
  for (int parent = line.parent; parent != 0; ++depth) {
    int next = 0;
    for (const auto& l : plan)
      if (l.id == parent) next = l.parent;
    parent = next;
  }
  return depth;
}

bool startsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

bool isLoop(const std::string& detail) {
  return startsWith(detail, "SCAN ") || startsWith(detail, "SEARCH ");
}

bool isFullScan(const std::string& detail) {
  return startsWith(detail, "SCAN ") && detail != "SCAN CONSTANT ROW";
}

}  // namespace

std::string shown(const Plan& plan) {
  std::string out;
  for (const auto& line : plan)
    out += std::string(2 * depthOf(plan, line), ' ') + line.detail + "\n";
  return out;
}

std::vector<std::string> scansInsideLoops(const Plan& plan) {
  std::vector<std::string> found;
  std::map<int, bool> loopSeenUnder;  // parent id -> an earlier sibling loop
  for (const auto& line : plan) {
    bool inCorrelated = false;
    for (int parent = line.parent; parent != 0;) {
      int next = 0;
      for (const auto& l : plan)
        if (l.id == parent) {
          if (startsWith(l.detail, "CORRELATED ")) inCorrelated = true;
          next = l.parent;
        }
      parent = next;
    }
    // An automatic index inside a correlated subquery is built again for
    // every outer row: a scan too.
    const bool rebuilt = inCorrelated && line.detail.find("AUTOMATIC") != std::string::npos;
    if ((isFullScan(line.detail) && (loopSeenUnder[line.parent] || inCorrelated)) || rebuilt)
      found.push_back(line.detail);
    if (isLoop(line.detail)) loopSeenUnder[line.parent] = true;
  }
  return found;
}

std::vector<Plan> planAndRun(sqlite::Connection& c, const SqlSteps& steps) {
  std::vector<Plan> plans;
  c.exec("SAVEPOINT plans");
  try {
    for (const auto& step : steps) {
      plans.push_back(planOf(c, step));
      c.exec(step);
    }
  } catch (...) {
    c.exec("ROLLBACK TO plans; RELEASE plans");
    throw;
  }
  c.exec("ROLLBACK TO plans; RELEASE plans");
  return plans;
}

}  // namespace korvane::db::test
