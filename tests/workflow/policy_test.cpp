// How Update meets failures on real files: a missing table is skipped, any
// other failure stops it where it stands, and the mended faults stay mended.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "fs/file_hold.h"
#include "lab.h"
#include "workflow/naming.h"

namespace korvane::workflow {
namespace {

using testing::Column;
using testing::kBackup;
using testing::kWorking;
using testing::Lab;
using testing::samples;
namespace stdfs = std::filesystem;

const std::string kUpdatedLead = " The system database C:\\data_aco\\QX_aco.mdb has been";

Column folder(const Lab& lab, const std::string& windowsPath) {
  Column names;
  for (const auto& entry : stdfs::directory_iterator(lab.host(windowsPath))) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A lab with the system database chosen and its files in place.
struct SystemLab : Lab {
  SystemLab() {
    installSystemFiles();
    chooseSystemDatabase();
  }
};

TEST(UpdatePolicy, ASourceWithoutUsersStillCompletes) {
  SystemLab lab;
  lab.alter(kSystemDatabase, {"DROP TABLE Users"});
  lab.frame().commandClick(kUpdate);
  EXPECT_EQ(lab.state().instructions.rfind(kUpdatedLead, 0), 0u);
  EXPECT_TRUE(lab.hasTable(kWorking, "Users"));
  EXPECT_TRUE(lab.column(kWorking, "SELECT * FROM Users").empty());
  EXPECT_EQ(samples(lab, kWorking), (Column{"Tutorial sample", "S1", "S2", "S3"}));
  EXPECT_FALSE(lab.hasTable(kWorking, "Standard Materials"));
}

TEST(UpdatePolicy, AMissingBackupFolderStopsBeforeAnyFileIsWrittenAndUpdateCanBePressedAgain) {
  SystemLab lab;
  stdfs::remove(lab.host("C:\\data_aco\\Backup"));
  const Column before = folder(lab, "C:\\data_aco");
  const DialogState state = lab.state();

  lab.frame().commandClick(kUpdate);
  EXPECT_EQ(folder(lab, "C:\\data_aco"), before);
  EXPECT_EQ(lab.state(), state);
  EXPECT_TRUE(lab.context().sourcePath.empty());
  EXPECT_TRUE(lab.context().workingPath.empty());

  lab.makeFolder("C:\\data_aco\\Backup");
  lab.frame().commandClick(kUpdate);
  EXPECT_EQ(lab.state().instructions.rfind(kUpdatedLead, 0), 0u);
  EXPECT_EQ(folder(lab, "C:\\data_aco\\Backup"),
            (Column{"QX_aco_261207_0843.mdb", "QX_aco_261207_0843_update.mdb"}));
}

TEST(UpdatePolicy, AHeldSystemDatabaseStopsUpdateAtTheBackup) {
  SystemLab lab;
  const DialogState state = lab.state();
  auto otherProgram = fs::FileHold::acquire(lab.host(kSystemDatabase));
  ASSERT_NE(otherProgram, nullptr);

  lab.frame().commandClick(kUpdate);
  EXPECT_EQ(lab.state(), state);
  EXPECT_TRUE(folder(lab, "C:\\data_aco\\Backup").empty());
  EXPECT_EQ(lab.heard().back(), "default");

  otherProgram.reset();
  lab.frame().commandClick(kUpdate);
  EXPECT_EQ(lab.state().instructions.rfind(kUpdatedLead, 0), 0u);
}

TEST(UpdatePolicy, ATemplateWithoutStandardMaterialsStopsAtTheTableDefinition) {
  SystemLab lab;
  lab.alter(kTemplateDatabase, {"DROP TABLE [Standard Materials]"});
  const DialogState state = lab.state();

  lab.frame().commandClick(kUpdate);
  // The two statements on the missing table were skipped; deleting its
  // definition is no lookup of an input table and stops the run.
  EXPECT_EQ(lab.state().instructions, state.instructions);
  EXPECT_EQ(lab.state(), state);
  EXPECT_EQ(lab.context().sql,
            "INSERT INTO Materials SELECT DISTINCTROW [Standard Materials].* FROM [Standard "
            "Materials];");
  // What was done stays: the backup and the filled working copy.
  EXPECT_TRUE(lab.exists(kBackup));
  EXPECT_EQ(samples(lab, kWorking), (Column{"Tutorial sample", "S1", "S2", "S3"}));
  EXPECT_EQ(lab.column(kWorking, "SELECT Name FROM Materials ORDER BY rowid"),
            (Column{"Quartz", "MyClay", "CALCITE"}));
}

// A source table that does not fit the template stops Update at its own
// transfer, with that statement's exact text in `sql`.
struct Misfit {
  const char* name;
  std::vector<std::string> reshapeSource;
  std::string statement;
  std::size_t samplesCarried;
};

void PrintTo(const Misfit& misfit, std::ostream* out) {
  *out << misfit.name;
}

class TransferStops : public ::testing::TestWithParam<Misfit> {};

TEST_P(TransferStops, AtTheStatementOfTheMisfitTable) {
  SystemLab lab;
  lab.alter(kSystemDatabase, GetParam().reshapeSource);
  const DialogState state = lab.state();

  lab.frame().commandClick(kUpdate);
  EXPECT_EQ(lab.state(), state);
  EXPECT_EQ(lab.context().sql, GetParam().statement);
  EXPECT_EQ(samples(lab, kWorking).size(), GetParam().samplesCarried);
  EXPECT_TRUE(lab.hasTable(kWorking, "Standard Materials")) << "ran past the failing transfer";
}

INSTANTIATE_TEST_SUITE_P(
    Tables, TransferStops,
    ::testing::Values(
        Misfit{"Samples",
               {"DROP TABLE Samples",
                "CREATE TABLE Samples ([Sample Date] DATETIME, [Sample Name] TEXT(50), "
                "Colour TEXT(10))",
                "INSERT INTO Samples VALUES (#2024-05-01#, 'S9', 'red')"},
               "INSERT INTO Samples IN 'C:\\data_aco\\Backup\\QX_aco_261207_0843_update.mdb' "
               "SELECT Samples.* FROM Samples;",
               1},
        Misfit{"Experiments",
               {"DROP TABLE Experiments",
                "CREATE TABLE Experiments ([Experiment Date] DATETIME, [Sample Date] DATETIME)"},
               "INSERT INTO Experiments ( [System ID], [Experiment Date], [Sample Date] ) IN "
               "'C:\\data_aco\\Backup\\QX_aco_261207_0843_update.mdb'SELECT DISTINCTROW "
               "Experiments.[System ID], Experiments.[Experiment Date], Experiments.[Sample "
               "Date] From Experiments ORDER BY Experiments.[Experiment Date];",
               4},
        Misfit{"Measurements",
               {"DROP TABLE Measurements",
                "CREATE TABLE Measurements ([Experiment Date] DATETIME, Colour TEXT(10))"},
               "INSERT INTO measurements IN "
               "'C:\\data_aco\\Backup\\QX_aco_261207_0843_update.mdb' SELECT measurements.* "
               "FROM measurements;",
               4},
        Misfit{"Materials",
               {"DROP TABLE Materials",
                "CREATE TABLE Materials (Name TEXT(50), Density DOUBLE, Colour TEXT(10))"},
               "INSERT INTO Materials IN 'C:\\data_aco\\Backup\\QX_aco_261207_0843_update.mdb' "
               "SELECT Materials.* FROM Materials;",
               4},
        Misfit{"Users",
               {"DROP TABLE Users",
                "CREATE TABLE Users ([User Name] TEXT(50), Initials TEXT(5), Colour TEXT(10))"},
               "INSERT INTO Users IN 'C:\\data_aco\\Backup\\QX_aco_261207_0843_update.mdb'  "
               "SELECT Users.* FROM Users;",
               4}),
    [](const auto& info) { return std::string(info.param.name); });

// The readings of a measurement, by the group a zero in its first reading
// clears.
const std::vector<std::string> kGroupC = {"C1",  "zp",  "E1", "K18", "K7", "K2",
                                          "K14", "K15", "K4", "K16", "K21"};
const std::vector<std::string> kGroupK = {"K1", "K5", "K6", "K11", "K12", "K8", "K9", "K10"};
const std::vector<std::string> kGroupA = {
    "PSM",     "PSW",   "A1",    "A2",     "A3",     "A4",     "A5",     "A6",    "A7",
    "A8",      "A9",    "A10",   "A11",    "A12",    "A13",    "A14",    "A15",   "A16",
    "A17",     "A18",   "A19",   "A20",    "A21",    "F_low",  "F_high", "N_exp", "Lin_exp",
    "ERR_LOG", "PSM_1", "PSM_2", "CONT_1", "CONT_2", "ERR_BI", "PSMBi",  "PSMN",  "PSMM",
    "PSMW",    "PSWBi", "PSW_1", "PSW_2",  "D15",    "D50",    "D85"};

// Measurements as the template has it, less the column `missing`.
std::vector<std::string> measurementsWithout(const std::string& missing) {
  std::vector<std::string> columns = {"[Experiment Date] DATETIME", "[Reading No] LONG",
                                      "Temperature DOUBLE"};
  for (const auto* group : {&kGroupC, &kGroupK, &kGroupA}) {
    for (const std::string& column : *group) columns.push_back(column + " DOUBLE");
  }
  std::string kept;
  for (const std::string& column : columns) {
    if (column.rfind(missing + " ", 0) == 0) continue;
    kept += (kept.empty() ? "" : ", ") + column;
  }
  return {"DROP TABLE Measurements", "CREATE TABLE Measurements (" + kept + ")"};
}

// A working copy that a clean-up statement cannot run on stops that
// clean-up at the statement, with its exact text in `sql`; what the window
// shows stays as Update left it.
struct CleanUpMisfit {
  const char* name;
  int command;
  std::vector<std::string> reshapeWorkingCopy;
  std::string statement;
};

void PrintTo(const CleanUpMisfit& misfit, std::ostream* out) {
  *out << misfit.name;
}

class CleanUpStops : public ::testing::TestWithParam<CleanUpMisfit> {};

TEST_P(CleanUpStops, AtTheStatementTheWorkingCopyCannotRun) {
  SystemLab lab;
  lab.frame().commandClick(kUpdate);
  ASSERT_EQ(lab.state().instructions.rfind(kUpdatedLead, 0), 0u);
  lab.alter(kWorking, GetParam().reshapeWorkingCopy);
  const DialogState state = lab.state();

  lab.frame().commandClick(GetParam().command);
  EXPECT_EQ(lab.state(), state);
  EXPECT_EQ(lab.context().sql, GetParam().statement);
}

INSTANTIATE_TEST_SUITE_P(
    Statements, CleanUpStops,
    ::testing::Values(
        CleanUpMisfit{"OrphanedExperiments", kDeleteOrphans,
                      measurementsWithout("[Experiment Date]"),
                      "DELETE DISTINCTROW Experiments.*, Experiments.[Experiment Date], "
                      "Measurements.[Experiment Date]FROM Experiments LEFT JOIN Measurements ON "
                      "Experiments.[Experiment Date] = Measurements.[Experiment Date]WHERE "
                      "((Measurements.[Experiment Date] Is Null));"},
        CleanUpMisfit{"OrphanedSamples",
                      kDeleteOrphans,
                      {"DROP TABLE Experiments",
                       "CREATE TABLE Experiments ([System ID] TEXT(20), [Experiment Date] "
                       "DATETIME)"},
                      "DELETE DISTINCTROW Samples.*, Samples.[Sample Date], Experiments.[Sample "
                      "Date]FROM Samples LEFT JOIN Experiments ON Samples.[Sample Date] = "
                      "Experiments.[Sample Date]WHERE ((Experiments.[Sample Date] Is Null));"},
        CleanUpMisfit{"GroupC", kSetNull, measurementsWithout("K21"),
                      "UPDATE DISTINCTROW Measurements SET C1 = Null, zp = Null, E1 = Null, K18 "
                      "= Null, K7 = NULL, K2= NULL, K14 = NULL, K15 = NULL, K4 = NULL, K16 = "
                      "NULL, K21 = NULL WHERE ((C1=0));"},
        CleanUpMisfit{"GroupK", kSetNull, measurementsWithout("K10"),
                      "UPDATE DISTINCTROW Measurements SET K1 = Null, K5 = NULL, K6 = NULL, K11 "
                      "= NULL, K12 = NULL, K8 = NULL, K9 = NULL, K10 = NULL   WHERE ((K1=0));"},
        CleanUpMisfit{
            "GroupA", kSetNull, measurementsWithout("D85"),
            "UPDATE DISTINCTROW Measurements SET PSM = NULL, PSW = NULL, A1 = Null, A2 = Null, "
            "A3 = Null, A4 = Null, A5 = Null, A6 = Null, A7 = Null, A8 = Null, A9 = Null, A10 = "
            "Null, A11 = Null, A12 = Null, A13 = Null, A14 = Null, A15 = Null, A16 = Null, A17 "
            "= Null, A18 = Null, A19 = Null, A20 = Null, A21 = Null, F_low = NULL, F_high = "
            "NULL, N_exp = NULL, Lin_exp = NULL, ERR_LOG = NULL, PSM_1 = NULL, PSM_2 = NULL, "
            "CONT_1 = NULL, CONT_2 = NULL, ERR_BI = NULL, PSMBi = NULL, PSMN = NULL, PSMM = "
            "NULL, PSMW = NULL, PSWBi = NULL, PSW_1 = NULL, PSW_2 = NULL, D15 = NULL, D50 = "
            "NULL, D85 = NULL WHERE ((A1=0));"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MendedFaults, AWorkingPathWithAQuoteWorks) {
  Lab lab;
  lab.installSystemFiles();
  lab.makeFolder("D:\\Lab's 7");
  lab.buildDatabase("D:\\Lab's 7\\QX_aco.mdb", "old_system.sql");
  lab.chooseExternal("D:\\Lab's 7\\QX_aco.mdb");

  lab.frame().commandClick(kUpdate);
  const std::string working = "D:\\Lab's 7_261207_0843.mdb";
  EXPECT_EQ(lab.context().workingPath, working);
  EXPECT_EQ(lab.state().instructions.rfind(" Press 'Delete Orphans'", 0), 0u);
  EXPECT_EQ(samples(lab, working), (Column{"Tutorial sample", "S1", "S2", "S3"}));
  EXPECT_EQ(lab.column(working, "SELECT [User Name] FROM Users ORDER BY rowid"),
            (Column{"Ann", "Bob"}));
}

TEST(MendedFaults, AFailedCommitLeavesTheWindowOpenWithoutClaimingSuccess) {
  SystemLab lab;
  const std::string oldSystem = lab.bytes(kSystemDatabase);
  lab.frame().commandClick(kUpdate);
  const std::string result = lab.state().instructions;
  ASSERT_EQ(result.rfind(kUpdatedLead, 0), 0u);

  auto otherProgram = fs::FileHold::acquire(lab.host(kSystemDatabase));
  ASSERT_NE(otherProgram, nullptr);
  lab.forget();
  lab.frame().commandClick(kClose);
  EXPECT_FALSE(lab.frame().closed());
  EXPECT_EQ(lab.state().instructions, result);
  EXPECT_EQ(lab.state().pointer, Pointer::kDefault);
  EXPECT_EQ(lab.heard(), (Column{"busy", "default"}));
  EXPECT_TRUE(lab.exists(kWorking));
  EXPECT_EQ(lab.bytes(kSystemDatabase), oldSystem);

  otherProgram.reset();
  const std::string updated = lab.bytes(kWorking);
  lab.frame().commandClick(kClose);
  EXPECT_TRUE(lab.frame().closed());
  EXPECT_EQ(lab.state().instructions, "Your database file has been updated");
  EXPECT_EQ(lab.bytes(kSystemDatabase), updated);
  EXPECT_FALSE(lab.exists(kWorking));
}

TEST(MendedFaults, ExitAfterAnUpdateThatMadeNoWorkingCopyStillCloses) {
  SystemLab lab;
  stdfs::remove(lab.host(kTemplateDatabase));
  lab.frame().commandClick(kUpdate);
  // The run named its working copy, then failed to copy the template.
  ASSERT_EQ(lab.context().workingPath, kWorking);
  ASSERT_FALSE(lab.exists(kWorking));
  const std::string backup = lab.bytes(kBackup);

  lab.frame().commandClick(kExitWithoutUpdate);
  EXPECT_TRUE(lab.frame().closed());
  EXPECT_EQ(lab.state().instructions, "Your database update has been abandoned");
  EXPECT_EQ(lab.bytes(kBackup), backup);
}

TEST(MendedFaults, ASecondUpdateInTheSameMinuteKeepsTheFirstBackup) {
  SystemLab lab;
  const std::string original = lab.bytes(kSystemDatabase);
  lab.frame().commandClick(kUpdate);
  lab.frame().commandClick(kClose);
  ASSERT_TRUE(lab.frame().closed());
  ASSERT_NE(lab.bytes(kSystemDatabase), original);

  // The program runs again within the same minute.
  lab.restart();
  lab.chooseSystemDatabase();
  const DialogState state = lab.state();
  const std::string committed = lab.bytes(kSystemDatabase);
  lab.frame().commandClick(kUpdate);
  EXPECT_EQ(lab.state(), state);
  EXPECT_EQ(lab.bytes(kBackup), original);
  EXPECT_FALSE(lab.exists(kWorking)) << "wrote a working copy after the backup failed";
  EXPECT_EQ(lab.bytes(kSystemDatabase), committed);

  // A minute later the run has names of its own.
  lab.clock().set(fs::LocalTime{2026, 12, 7, 8, 44, 0});
  lab.frame().commandClick(kUpdate);
  EXPECT_EQ(lab.state().instructions.rfind(kUpdatedLead, 0), 0u);
  EXPECT_EQ(lab.bytes("C:\\data_aco\\Backup\\QX_aco_261207_0844.mdb"), committed);
  EXPECT_EQ(lab.bytes(kBackup), original);
}

}  // namespace
}  // namespace korvane::workflow
