// The actions end to end: real engine, real files in a temporary prefix, a
// fixed clock. One scenario a test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fs/file_hold.h"
#include "lab.h"
#include "workflow/naming.h"

namespace korvane::workflow {
namespace {

using testing::Column;
using testing::kBackup;
using testing::kUpdateChoices;
using testing::kWorking;
using testing::Lab;
using testing::samples;

const std::string kSystemUpdated =
    std::string(
        " The system database C:\\data_aco\\QX_aco.mdb has been succesfully updated.\r\n\r\n") +
    kUpdateChoices;

std::string cleanedText(const std::string& selected) {
  return " The database  " + selected +
         " has been cleaned to:\r\n\r\n"
         "      Delete Samples having no Experiments  \r\n"
         "      Delete Experiments having no Measurements.\r\n\r\n"
         "Press 'Set unmeasured values to Null' to eliminate zeros for unmeasured data\r\n\r\n"
         " or Press 'Close' to save update and exit\r\n\r\n"
         " or Press 'Exit without update' to abandom changes and exit";
}

std::string nulledText(const std::string& source, const std::string& working, bool orphansOffered) {
  return "Zero values in database " + source + " have been replaced by Null\r\n and saved to " +
         working +
         (orphansOffered
              ? " Press 'Delete Orphans' to delete experiments with no measured data\r\n\r\n"
              : "") +
         " OR\r\n Press 'Close' to save update and exit\r\n\r\n"
         " OR\r\n Press 'Exit without update' to abandom changes and exit";
}

// The buttons as the window shows them, in its column order: Update,
// Delete orphans, Set un-measured values to Null, Close, Exit; "-" for a
// hidden one, "x" for shown but disabled; then the database choice.
std::string buttons(const DialogState& state) {
  std::string shown;
  for (Command index : {kUpdate, kDeleteOrphans, kSetNull, kClose, kExitWithoutUpdate}) {
    const CommandFlags& flags = state.command(index);
    shown += !flags.visible ? "-" : flags.enabled ? std::to_string(index) : "x";
    shown += " ";
  }
  return shown + (state.frameEnabled ? "choice" : "locked");
}

const std::string kChoseSystem = "9 - - - 1 choice";
const std::string kUpdated = "- 10 11 0 1 locked";
const std::string kOrphansDeleted = "- - 11 0 1 locked";
const std::string kNulledFirst = "- 10 - 0 1 locked";
const std::string kNulledLast = "- - - 0 1 locked";

Column experiments(const Lab& lab, const std::string& file) {
  return lab.column(file,
                    "SELECT [System ID] || ' ' || COALESCE(Operator, '-') FROM Experiments "
                    "ORDER BY [Experiment ID]");
}
// A number as "%g" prints it, "N" for Null.
std::string number(const std::string& column) {
  return "CASE WHEN " + column + " IS NULL THEN 'N' ELSE printf('%g', " + column + ") END";
}
Column materials(const Lab& lab, const std::string& file) {
  return lab.column(
      file, "SELECT Name || ' ' || " + number("Density") + " FROM Materials ORDER BY rowid");
}
// Each measurement as C1, K21 (group C), K1, K10 (group K), A1, D85, PSM
// (group A) and the temperature that no group touches; ordered by the
// temperature, which tells the fixtures' rows apart.
Column readings(const Lab& lab, const std::string& file) {
  std::string fields;
  for (const char* column : {"C1", "K21", "K1", "K10", "A1", "D85", "PSM", "Temperature"}) {
    fields += (fields.empty() ? "" : " || ',' || ") + number(column);
  }
  return lab.column(file, "SELECT " + fields + " FROM Measurements ORDER BY Temperature");
}
// The tutorial row (19 degrees) has no zero; the user's rows (20, 21, 22)
// have C1 = 0 and A1 = 0, K1 = 0, and none.
const Column kReadingsBefore = {"7,1,7,2,7,3,3,19", "0,1,5,2,0,N,3,20", "1.5,1,0,2,2,N,3,21",
                                "4,1,4,2,4,N,3,22"};
const Column kReadingsNulled = {"7,1,7,2,7,3,3,19", "N,N,5,2,N,N,N,20", "1.5,1,N,N,2,N,3,21",
                                "4,1,4,2,4,N,3,22"};

class UpdatedSystem : public ::testing::Test {
 protected:
  void SetUp() override {
    lab_.installSystemFiles();
    oldSystem_ = lab_.bytes(kSystemDatabase);
    lab_.chooseSystemDatabase();
    lab_.frame().commandClick(kUpdate);
    ASSERT_EQ(lab_.state().instructions, kSystemUpdated) << "Update did not complete";
  }

  Lab lab_;
  std::string oldSystem_;
};

TEST_F(UpdatedSystem, BuildsTheWorkingCopyAndKeepsAnExactBackup) {
  EXPECT_EQ(lab_.bytes(kBackup), oldSystem_);
  EXPECT_EQ(lab_.bytes(kSystemDatabase), oldSystem_) << "the system database was written";
  EXPECT_EQ(lab_.context().sourcePath, kBackup);
  EXPECT_EQ(lab_.context().workingPath, kWorking);

  EXPECT_FALSE(lab_.hasTable(kWorking, "Standard Materials"));
  EXPECT_TRUE(lab_.hasTable(kSystemDatabase, "Samples"));
  // The template's tutorial sample wins over the old copy of it.
  EXPECT_EQ(samples(lab_, kWorking), (Column{"Tutorial sample", "S1", "S2", "S3"}));
  // Experiments arrive in date order and take the template's defaults.
  EXPECT_EQ(experiments(lab_, kWorking), (Column{"TUTORIAL Tutor", "LAB1 -", "LAB1 -", "LAB1 -"}));
  EXPECT_EQ(lab_.column(kWorking,
                        "SELECT [Experiment Date] FROM Experiments ORDER BY "
                        "[Experiment ID]"),
            lab_.column(kWorking,
                        "SELECT [Experiment Date] FROM Experiments ORDER BY "
                        "[Experiment Date]"));
  EXPECT_EQ(readings(lab_, kWorking), kReadingsBefore);
  // Users' own copies of standard materials (in any letter case) give way.
  EXPECT_EQ(materials(lab_, kWorking), (Column{"MyClay 1.9", "Quartz 2.65", "Calcite 2.71"}));
  EXPECT_EQ(lab_.column(kWorking, "SELECT [User Name] FROM Users ORDER BY rowid"),
            (Column{"Ann", "Bob"}));

  EXPECT_EQ(lab_.context().sql,
            "INSERT INTO Materials SELECT DISTINCTROW [Standard Materials].* FROM [Standard "
            "Materials];");
  EXPECT_EQ(buttons(lab_.state()), kUpdated);
  EXPECT_EQ(lab_.state().pointer, Pointer::kDefault);
  EXPECT_EQ(lab_.heard().front(), "busy");
  EXPECT_EQ(lab_.heard().back(), "default");
  EXPECT_FALSE(lab_.frame().closed());
}

TEST_F(UpdatedSystem, DeleteOrphansThenSetNullThenClose) {
  lab_.frame().commandClick(kDeleteOrphans);
  EXPECT_EQ(lab_.state().instructions, cleanedText(kSystemDatabase));
  EXPECT_EQ(buttons(lab_.state()), kOrphansDeleted);
  // S3's only experiment had no measurements: both go; S2 never had one.
  EXPECT_EQ(samples(lab_, kWorking), (Column{"Tutorial sample", "S1"}));
  EXPECT_EQ(experiments(lab_, kWorking), (Column{"TUTORIAL Tutor", "LAB1 -", "LAB1 -"}));
  EXPECT_EQ(lab_.context().sql,
            "DELETE DISTINCTROW Samples.*, Samples.[Sample Date], Experiments.[Sample "
            "Date]FROM Samples LEFT JOIN Experiments ON Samples.[Sample Date] = "
            "Experiments.[Sample Date]WHERE ((Experiments.[Sample Date] Is Null));");

  lab_.frame().commandClick(kSetNull);
  EXPECT_EQ(lab_.state().instructions, nulledText(kBackup, kWorking, false));
  EXPECT_EQ(buttons(lab_.state()), kNulledLast);
  // C1 = 0 clears group C, A1 = 0 group A, K1 = 0 group K; nothing else.
  EXPECT_EQ(readings(lab_, kWorking), kReadingsNulled);

  const std::string committed = lab_.bytes(kWorking);
  lab_.forget();
  lab_.frame().commandClick(kClose);
  EXPECT_TRUE(lab_.frame().closed());
  EXPECT_EQ(lab_.state().instructions, "Your database file has been updated");
  EXPECT_EQ(lab_.bytes(kSystemDatabase), committed);
  EXPECT_FALSE(lab_.exists(kWorking));
  EXPECT_EQ(lab_.bytes(kBackup), oldSystem_);
  EXPECT_EQ(lab_.heard().back(), "close");
}

TEST_F(UpdatedSystem, SetNullThenDeleteOrphansThenExit) {
  lab_.frame().commandClick(kSetNull);
  EXPECT_EQ(lab_.state().instructions, nulledText(kBackup, kWorking, true));
  EXPECT_EQ(buttons(lab_.state()), kNulledFirst);
  EXPECT_EQ(readings(lab_, kWorking), kReadingsNulled);

  lab_.frame().commandClick(kDeleteOrphans);
  EXPECT_EQ(lab_.state().instructions, cleanedText(kSystemDatabase));
  EXPECT_EQ(buttons(lab_.state()), kOrphansDeleted) << "the null replacement is offered again";
  EXPECT_EQ(samples(lab_, kWorking), (Column{"Tutorial sample", "S1"}));

  // Once more: rows already cleared have no zero left to clear.
  lab_.frame().commandClick(kSetNull);
  EXPECT_EQ(lab_.state().instructions, nulledText(kBackup, kWorking, false));
  EXPECT_EQ(readings(lab_, kWorking), kReadingsNulled);

  lab_.frame().commandClick(kExitWithoutUpdate);
  EXPECT_TRUE(lab_.frame().closed());
  EXPECT_EQ(lab_.state().instructions, "Your database update has been abandoned");
  EXPECT_FALSE(lab_.exists(kWorking));
  EXPECT_EQ(lab_.bytes(kSystemDatabase), oldSystem_);
  EXPECT_EQ(lab_.bytes(kBackup), oldSystem_);
}

TEST(ExternalUpdate, NamesComeFromThePathAndTheChosenFileIsOnlyRead) {
  Lab lab;
  lab.installSystemFiles();
  lab.makeFolder("D:\\Lab7");
  lab.buildDatabase("D:\\Lab7\\QX_aco.mdb", "old_system.sql");
  const std::string chosen = lab.bytes("D:\\Lab7\\QX_aco.mdb");
  const std::string system = lab.bytes(kSystemDatabase);
  const std::string working = "D:\\Lab7_261207_0843.mdb";
  lab.chooseExternal("D:\\Lab7\\QX_aco.mdb");

  lab.frame().commandClick(kUpdate);
  EXPECT_EQ(lab.state().instructions, kUpdateChoices);
  EXPECT_EQ(buttons(lab.state()), kUpdated);
  EXPECT_EQ(lab.context().sourcePath, "D:\\Lab7\\QX_aco.mdb");
  EXPECT_EQ(lab.context().workingPath, working);
  EXPECT_EQ(samples(lab, working), (Column{"Tutorial sample", "S1", "S2", "S3"}));
  EXPECT_FALSE(lab.hasTable(working, "Standard Materials"));
  EXPECT_EQ(lab.bytes("D:\\Lab7\\QX_aco.mdb"), chosen);
  EXPECT_TRUE(std::filesystem::is_empty(lab.host("C:\\data_aco\\Backup")));

  lab.frame().commandClick(kDeleteOrphans);
  EXPECT_EQ(lab.state().instructions, cleanedText("D:\\Lab7\\QX_aco.mdb"));
  lab.frame().commandClick(kSetNull);
  EXPECT_EQ(lab.state().instructions, nulledText("D:\\Lab7\\QX_aco.mdb", working, false));

  const std::string updated = lab.bytes(working);
  lab.frame().commandClick(kClose);
  EXPECT_TRUE(lab.frame().closed());
  EXPECT_EQ(lab.state().instructions, "Your database file has been updated");
  EXPECT_EQ(lab.bytes(working), updated);
  EXPECT_EQ(lab.bytes("D:\\Lab7\\QX_aco.mdb"), chosen);
  EXPECT_EQ(lab.bytes(kSystemDatabase), system);
}

TEST(ExternalUpdate, SystemPathChosenThroughTheDialogIsBackedUpButNotCommitted) {
  Lab lab;
  lab.installSystemFiles();
  const std::string system = lab.bytes(kSystemDatabase);
  lab.chooseExternal(kSystemDatabase);

  lab.frame().commandClick(kUpdate);
  EXPECT_EQ(lab.state().instructions, kUpdateChoices);
  EXPECT_EQ(lab.bytes(kBackup), system);
  EXPECT_EQ(lab.context().workingPath, kWorking);

  lab.frame().commandClick(kClose);
  EXPECT_TRUE(lab.frame().closed());
  EXPECT_TRUE(lab.exists(kWorking));
  EXPECT_EQ(lab.bytes(kSystemDatabase), system);
}

}  // namespace
}  // namespace korvane::workflow
