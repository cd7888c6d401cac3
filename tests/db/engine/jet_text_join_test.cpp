// Text joined or compared under Jet's rules finds the same partners in every
// plan SQLite may pick: few and many rows, with and without an index on the
// joined field, with and without statistics another tool left in the file,
// either table written first. The names differ from the standard ones by
// letter case (beyond ASCII too) and by trailing spaces, which Jet ignores,
// and by inner or leading spaces, which it does not.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "lab.h"
#include "sqlite/connection.h"
#include "sqlite/sql_text.h"
#include "writers/written_sql.h"

namespace korvane::db::test {
namespace {

const std::vector<std::string> kStandard = {"Quartz", "Glass Beads", "Éclat", "Ёж"};
// The users' names Jet finds equal to a standard one.
const std::set<std::string> kEqualToStandard = {"Glass Beads ", "GLASS BEADS", "glass beads  ",
                                                "quartz",       "ÉCLAT ",      "ёЖ"};
const std::set<std::string> kUnlikeStandard = {"Glass  Beads", " Glass Beads", "Quartzite", "Eclat",
                                               "Ёжик"};

struct Layout {
  const char* name;
  int fillers;      // materials of the lab's own besides the named ones
  bool indexed;     // a unique index on Name in both tables
  bool statistics;  // ANALYZE run by another tool
};

void PrintTo(const Layout& layout, std::ostream* out) {
  *out << layout.name;
}

// The working copy's two materials tables in `layout`, opened as the engine
// opens a file.
std::unique_ptr<sqlite::Connection> materialsFile(Lab& lab, const Layout& layout) {
  std::string script =
      "CREATE TABLE Materials (Name TEXT(50), Density DOUBLE);\n"
      "CREATE TABLE [Standard Materials] (Name TEXT(50), Density DOUBLE);\n"
      "CREATE TABLE Matched (Name TEXT(50));\n";
  if (layout.indexed)
    script +=
        "CREATE UNIQUE INDEX MaterialName ON Materials (Name);\n"
        "CREATE UNIQUE INDEX StandardName ON [Standard Materials] (Name);\n";
  lab.build(kWorking, script);
  auto c = engineConnection(lab.host(kWorking), kWorking);
  c->exec("BEGIN");
  for (const auto& name : kStandard)
    c->exec("INSERT INTO \"Standard Materials\" VALUES (" + sqlite::quoteText(name) + ", 2.5)");
  for (const auto& names : {kEqualToStandard, kUnlikeStandard})
    for (const auto& name : names)
      c->exec("INSERT INTO Materials VALUES (" + sqlite::quoteText(name) + ", 1.0)");
  const std::string fillers = std::to_string(layout.fillers);
  c->exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + fillers +
          ") INSERT INTO Materials SELECT 'Material ' || i, 1.0 FROM n WHERE " + fillers + " > 0");
  if (layout.statistics) c->exec("ANALYZE");
  c->exec("COMMIT");
  return c;
}

// Runs `jet` on `c` as the engine writes it, in one savepoint; its plans.
std::string run(sqlite::Connection& c, const std::string& jet) {
  const SqlSteps steps = stepsFor(c, jet);
  std::string plans;
  c.exec("SAVEPOINT statement");
  for (const auto& step : steps) {
    plans += shown(planOf(c, step));
    c.exec(step);
  }
  c.exec("RELEASE statement");
  return plans;
}

class JetTextJoin : public ::testing::TestWithParam<Layout> {
 protected:
  void SetUp() override { c_ = materialsFile(lab_, GetParam()); }

  std::set<std::string> names(const std::string& sql) {
    std::set<std::string> out;
    c_->query(sql, {}, [&](const sqlite::Connection::ColumnText& col) {
      if (col(0).rfind("Material ", 0) != 0) out.insert(col(0));
    });
    return out;
  }
  std::string run(const std::string& jet) { return test::run(*c_, jet); }

  Lab lab_;
  std::unique_ptr<sqlite::Connection> c_;
};

std::set<std::string> unionOf(const std::set<std::string>& a, const std::set<std::string>& b) {
  std::set<std::string> out = a;
  out.insert(b.begin(), b.end());
  return out;
}

TEST_P(JetTextJoin, MaterialsSwapRemovesEveryNameJetCallsEqual) {
  const std::string plan = run(kDropUsersStandardCopies);
  EXPECT_EQ(names("SELECT Name FROM Materials"), kUnlikeStandard) << plan;
  EXPECT_EQ(names("SELECT count(*) FROM Materials WHERE Name LIKE 'Material %'"),
            std::set<std::string>{std::to_string(GetParam().fillers)});
}

TEST_P(JetTextJoin, JoinsFindThePartnersJetFindsEitherTableFirst) {
  struct Case {
    const char* what;
    std::string statement;
    std::string check;
    std::set<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"append over a join",
       "INSERT INTO Matched (Name) SELECT Materials.Name FROM Materials INNER JOIN "
       "[Standard Materials] ON Materials.Name = [Standard Materials].Name",
       "SELECT Name FROM Matched", kEqualToStandard},
      {"append over a join, the standard table first",
       "INSERT INTO Matched (Name) SELECT Materials.Name FROM [Standard Materials] INNER JOIN "
       "Materials ON [Standard Materials].Name = Materials.Name",
       "SELECT Name FROM Matched", kEqualToStandard},
      {"update of the rows with a partner",
       "UPDATE Materials INNER JOIN [Standard Materials] ON Materials.Name = "
       "[Standard Materials].Name SET Materials.Density = 0",
       "SELECT Name FROM Materials WHERE Density = 0", kEqualToStandard},
      {"update over a join that compares the partners' values",
       "UPDATE Materials INNER JOIN [Standard Materials] ON Materials.Name = "
       "[Standard Materials].Name SET Materials.Density = 0 WHERE Materials.Density < "
       "[Standard Materials].Density",
       "SELECT Name FROM Materials WHERE Density = 0", kEqualToStandard},
      {"delete of the rows without a partner",
       "DELETE Materials.* FROM Materials LEFT JOIN [Standard Materials] ON Materials.Name = "
       "[Standard Materials].Name WHERE [Standard Materials].Name Is Null",
       "SELECT Name FROM Materials", kEqualToStandard},
      {"a comparison with a text of trailing spaces",
       "DELETE FROM Materials WHERE Name = 'GLASS BEADS   ' Or Name In ('Quartz', 'ÉCLAT')",
       "SELECT Name FROM Materials", unionOf({"ёЖ"}, kUnlikeStandard)},
  };
  for (const auto& c : cases) {
    c_->exec("SAVEPOINT each");
    const std::string plan = run(c.statement);
    EXPECT_EQ(names(c.check), c.expected) << c.what << "\n" << plan;
    c_->exec("ROLLBACK TO each; RELEASE each");
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, JetTextJoin,
                         ::testing::Values(Layout{"FewMaterials", 0, false, false},
                                           Layout{"FewIndexed", 0, true, false},
                                           Layout{"FewWithStatistics", 0, false, true},
                                           Layout{"ManyMaterials", 20000, false, false},
                                           Layout{"ManyIndexed", 20000, true, false},
                                           Layout{"ManyWithStatistics", 20000, false, true},
                                           Layout{"ManyIndexedWithStatistics", 20000, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The layouts above do steer SQLite to different plans for a join on text.
TEST(JetTextJoinLayouts, SteerTheJoinToEachPlan) {
  const std::string forward =
      "INSERT INTO Matched (Name) SELECT Materials.Name FROM Materials INNER JOIN "
      "[Standard Materials] ON Materials.Name = [Standard Materials].Name";
  const std::string backward =
      "INSERT INTO Matched (Name) SELECT Materials.Name FROM [Standard Materials] INNER JOIN "
      "Materials ON [Standard Materials].Name = Materials.Name";
  std::set<std::string> plans;
  for (const Layout& layout :
       {Layout{"plain", 0, false, false}, Layout{"statistics", 0, false, true}}) {
    Lab lab;
    auto c = materialsFile(lab, layout);
    plans.insert(run(*c, forward));
    plans.insert(run(*c, backward));
  }
  // Here: an automatic index on Standard Materials, one on Materials, and
  // (with statistics of five standard materials) both tables scanned.
  std::string all;
  for (const auto& plan : plans) all += plan + "\n";
  EXPECT_GE(plans.size(), 3u) << all;
}

}  // namespace
}  // namespace korvane::db::test
