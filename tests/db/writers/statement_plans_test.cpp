// Every statement the program sends, written by the engine, is planned by
// SQLite without a full scan inside a loop, whatever indexes the files have:
// none, the keys alone, the template's, or also the readings the null
// replacement filters on. SQLite's wording of a plan changes between
// versions, so the tests look only for scans nested in other loops.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lab.h"
#include "sqlite/connection.h"
#include "writers/written_sql.h"

namespace korvane::db::test {
namespace {

// The reading columns of Measurements the null replacement names.
const std::vector<std::string> kReadings = {
    "C1",      "zp",      "E1",    "K18",   "K7",     "K2",     "K14",    "K15",    "K4",
    "K16",     "K21",     "K1",    "K5",    "K6",     "K11",    "K12",    "K8",     "K9",
    "K10",     "PSM",     "PSW",   "A1",    "A2",     "A3",     "A4",     "A5",     "A6",
    "A7",      "A8",      "A9",    "A10",   "A11",    "A12",    "A13",    "A14",    "A15",
    "A16",     "A17",     "A18",   "A19",   "A20",    "A21",    "F_low",  "F_high", "N_exp",
    "Lin_exp", "ERR_LOG", "PSM_1", "PSM_2", "CONT_1", "CONT_2", "ERR_BI", "PSMBi",  "PSMN",
    "PSMM",    "PSMW",    "PSWBi", "PSW_1", "PSW_2",  "D15",    "D50",    "D85"};

// The tables the statements name, as an old database and as the template
// have them (the template numbers its experiments and holds the standard
// materials).
std::string tablesScript(bool isTemplate) {
  std::string measurements = "CREATE TABLE Measurements ([Experiment Date] DATETIME";
  for (const auto& c : kReadings) measurements += ", " + c + " DOUBLE";
  measurements += ");\n";
  std::string script =
      "CREATE TABLE Samples ([Sample Date] DATETIME, [Sample Name] TEXT(50));\n"
      "CREATE TABLE Experiments (ID " +
      std::string(isTemplate ? "COUNTER" : "LONG") +
      ", [System ID] TEXT(20), [Experiment Date] DATETIME, [Sample Date] DATETIME);\n" +
      measurements +
      "CREATE TABLE Materials (Name TEXT(50), Density DOUBLE);\n"
      "CREATE TABLE Users ([User Name] TEXT(50), [Full Name] TEXT(100));\n";
  if (isTemplate) script += "CREATE TABLE [Standard Materials] (Name TEXT(50), Density DOUBLE);\n";
  return script;
}

struct Indexes {
  const char* name;
  bool keys;     // the unique keys of every table
  bool links;    // the plain indexes on the link columns
  bool filters;  // the readings the null replacement tests, and Name
};

void PrintTo(const Indexes& with, std::ostream* out) {
  *out << with.name;
}

std::string indexScript(const Indexes& with, bool isTemplate) {
  std::string script;
  if (with.keys) {
    script +=
        "CREATE UNIQUE INDEX SampleKey ON Samples ([Sample Date]);\n"
        "CREATE UNIQUE INDEX ExperimentKey ON Experiments (ID);\n"
        "CREATE UNIQUE INDEX ExperimentDateKey ON Experiments ([Experiment Date]);\n"
        "CREATE UNIQUE INDEX MaterialKey ON Materials (Name);\n"
        "CREATE UNIQUE INDEX UserKey ON Users ([User Name]);\n";
    if (isTemplate) script += "CREATE UNIQUE INDEX StandardKey ON [Standard Materials] (Name);\n";
  }
  if (with.links) {
    script +=
        "CREATE INDEX SampleDate ON Experiments ([Sample Date]);\n"
        "CREATE INDEX ExperimentDate ON Measurements ([Experiment Date]);\n";
  }
  if (with.filters) {
    script +=
        "CREATE INDEX C1 ON Measurements (C1);\n"
        "CREATE INDEX K1 ON Measurements (K1);\n"
        "CREATE INDEX A1 ON Measurements (A1);\n";
    if (!with.keys) script += "CREATE INDEX MaterialName ON Materials (Name);\n";
  }
  return script;
}

struct ProgramStatement {
  const char* name;
  std::string jet;
  bool onSource;  // a transfer, run on the old database into the working copy
};

std::vector<ProgramStatement> programStatements() {
  const std::string w = jetQuoted(kWorking);
  return {
      {"transfer samples", transfer(kTransferSamples, w), true},
      {"transfer experiments", transfer(kTransferExperiments, w), true},
      {"transfer measurements", transfer(kTransferMeasurements, w), true},
      {"transfer materials", transfer(kTransferMaterials, w), true},
      {"transfer users", transfer(kTransferUsers, w), true},
      {"delete own standard materials", kDropUsersStandardCopies, false},
      {"append standard materials", kAppendStandardMaterials, false},
      {"delete orphan experiments", kDeleteOrphanExperiments, false},
      {"delete orphan samples", kDeleteOrphanSamples, false},
      {"null group C", kNullGroupC, false},
      {"null group K", kNullGroupK, false},
      {"null group A", kNullGroupA, false},
  };
}

class ProgramStatementPlans : public ::testing::TestWithParam<Indexes> {
 protected:
  void SetUp() override {
    lab_.build(kSystem, tablesScript(false) + indexScript(GetParam(), false));
    lab_.build(kWorking, tablesScript(true) + indexScript(GetParam(), true));
  }
  Lab lab_;
};

TEST_P(ProgramStatementPlans, NoStatementScansATableInsideALoop) {
  const auto source = engineConnection(lab_.host(kSystem), kSystem);
  source->query(std::string("ATTACH DATABASE ?1 AS ") + kTargetSchema,
                {lab_.host(kWorking).string()}, [](const sqlite::Connection::ColumnText&) {});
  const auto working = engineConnection(lab_.host(kWorking), kWorking);
  for (const auto& statement : programStatements()) {
    sqlite::Connection& c = statement.onSource ? *source : *working;
    const SqlSteps steps = stepsFor(c, statement.jet);
    const std::vector<Plan> plans = planAndRun(c, steps);
    for (size_t i = 0; i < steps.size(); ++i) {
      EXPECT_EQ(scansInsideLoops(plans[i]), std::vector<std::string>{})
          << statement.name << ", step " << i + 1 << ": " << steps[i] << "\n"
          << shown(plans[i]);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Schemas, ProgramStatementPlans,
                         ::testing::Values(Indexes{"NoIndexes", false, false, false},
                                           Indexes{"KeysOnly", true, false, false},
                                           Indexes{"KeysAndLinks", true, true, false},
                                           Indexes{"LinksAndFiltersNoKeys", false, true, true},
                                           Indexes{"Everything", true, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PlanCheck, FindsScansRunOncePerRowOfAnotherLoop) {
  struct Case {
    const char* what;
    Plan plan;
    std::vector<std::string> found;
  };
  const std::vector<Case> cases = {
      {"a scan joined by an automatic index",
       {{2, 0, "SCAN m"}, {4, 0, "SEARCH s USING AUTOMATIC COVERING INDEX (name=?)"}},
       {}},
      {"two scans joined", {{2, 0, "SCAN m"}, {3, 0, "SCAN s"}}, {"SCAN s"}},
      {"a correlated subquery that scans",
       {{2, 0, "SCAN e"}, {4, 0, "CORRELATED SCALAR SUBQUERY 1"}, {7, 4, "SCAN m"}},
       {"SCAN m"}},
      {"a correlated subquery that searches an index",
       {{2, 0, "SCAN e"},
        {4, 0, "CORRELATED SCALAR SUBQUERY 1"},
        {7, 4, "SEARCH m USING COVERING INDEX d (d=?)"}},
       {}},
      {"a correlated subquery that builds an automatic index",
       {{2, 0, "SCAN e"},
        {4, 0, "CORRELATED LIST SUBQUERY 1"},
        {7, 4, "SEARCH m USING AUTOMATIC COVERING INDEX (d=?)"}},
       {"SEARCH m USING AUTOMATIC COVERING INDEX (d=?)"}},
      {"a list subquery run once",
       {{2, 0, "SCAN e"}, {4, 0, "LIST SUBQUERY 1"}, {6, 4, "SCAN m"}},
       {}},
      {"a scan in a subquery of a correlated one",
       {{2, 0, "SCAN e"},
        {4, 0, "CORRELATED SCALAR SUBQUERY 2"},
        {6, 4, "LIST SUBQUERY 1"},
        {8, 6, "SCAN m"}},
       {"SCAN m"}},
  };
  for (const auto& c : cases) EXPECT_EQ(scansInsideLoops(c.plan), c.found) << c.what;
}

}  // namespace
}  // namespace korvane::db::test
