// Update pressed again in the same minute after a run that stopped past its
// backup: the retry completes with the backup that run made, as long as
// neither it nor the system database has changed since; otherwise the
// backup is never replaced and the retry stops, as any second run in that
// minute does.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "lab.h"
#include "support/files.h"
#include "workflow/naming.h"

namespace korvane::workflow {
namespace {

namespace stdfs = std::filesystem;
using support::entriesOf;
using testing::Column;
using testing::kBackup;
using testing::kWorking;
using testing::Lab;
using testing::samples;

const std::string kUpdatedLead = " The system database C:\\data_aco\\QX_aco.mdb has been";
const Column kSamples = {"Tutorial sample", "S1", "S2", "S3"};

// A lab whose first Update stopped right after making its backup: the
// template was missing. It is back when the test begins.
struct StoppedPastTheBackup : Lab {
  StoppedPastTheBackup() {
    installSystemFiles();
    old = bytes(kSystemDatabase);
    chooseSystemDatabase();
    stdfs::rename(host(kTemplateDatabase), host("C:\\data_aco\\QX_Std.away"));
    frame().commandClick(kUpdate);
    stdfs::rename(host("C:\\data_aco\\QX_Std.away"), host(kTemplateDatabase));
  }
  std::string old;
};

TEST(Retry, InTheSameMinuteUsesTheBackupTheStoppedRunMadeAndCloseCommits) {
  StoppedPastTheBackup lab;
  ASSERT_EQ(lab.bytes(kBackup), lab.old);
  ASSERT_FALSE(lab.exists(kWorking));

  lab.frame().commandClick(kUpdate);
  EXPECT_EQ(lab.state().instructions.rfind(kUpdatedLead, 0), 0u) << "the retry did not complete";
  EXPECT_EQ(samples(lab, kWorking), kSamples);
  lab.frame().commandClick(kClose);
  EXPECT_TRUE(lab.closed());
  EXPECT_EQ(lab.state().instructions, "Your database file has been updated");
  EXPECT_EQ(entriesOf(lab.host("C:\\data_aco\\Backup")),
            std::vector<std::string>{"QX_aco_261207_0843.mdb"});
  EXPECT_EQ(lab.bytes(kBackup), lab.old);
  EXPECT_EQ(samples(lab, kSystemDatabase), kSamples);
  EXPECT_NE(lab.bytes(kSystemDatabase), lab.old);
}

TEST(Retry, AfterARunThatStoppedWithTheWorkingCopyOpenCompletes) {
  Lab lab;
  lab.installSystemFiles();
  const std::string old = lab.bytes(kSystemDatabase);
  lab.alter(kTemplateDatabase, {"DROP TABLE [Standard Materials]"});
  lab.chooseSystemDatabase();
  // Deleting the missing table definition stops the run with the working
  // copy still open.
  lab.frame().commandClick(kUpdate);
  ASSERT_NE(lab.context().db2, nullptr);
  ASSERT_TRUE(lab.context().db2->isOpen());

  lab.buildDatabase(kTemplateDatabase, "template.sql");
  lab.frame().commandClick(kUpdate);
  EXPECT_EQ(lab.state().instructions.rfind(kUpdatedLead, 0), 0u) << "the retry did not complete";
  lab.frame().commandClick(kClose);
  EXPECT_TRUE(lab.closed());
  EXPECT_EQ(lab.bytes(kBackup), old);
  EXPECT_FALSE(lab.hasTable(kSystemDatabase, "Standard Materials"));
}

struct Change {
  const char* name;
  std::function<void(Lab&)> make;
};

std::ostream& operator<<(std::ostream& out, const Change& c) {
  return out << c.name;
}

const Change kChanges[] = {
    {"SystemDatabaseWritten",
     [](Lab& lab) {
       support::waitForTheNextFileTimeTick();
       lab.alter(kSystemDatabase, {"DELETE FROM Users"});
     }},
    {"BackupWritten",
     [](Lab& lab) {
       support::waitForTheNextFileTimeTick();
       lab.alter(kBackup, {"DELETE FROM Users"});
     }},
    {"BackupReplacedByAnEqualCopy",
     [](Lab& lab) {
       const stdfs::path backup = lab.host(kBackup);
       stdfs::copy_file(backup, backup.string() + ".copy");
       stdfs::rename(backup.string() + ".copy", backup);
     }},
    {"SystemDatabaseReplacedByAnEqualCopy",
     [](Lab& lab) {
       const stdfs::path system = lab.host(kSystemDatabase);
       stdfs::copy_file(system, system.string() + ".copy");
       stdfs::rename(system.string() + ".copy", system);
     }},
};

class RetryAfterAChange : public ::testing::TestWithParam<Change> {};

TEST_P(RetryAfterAChange, NeverReplacesTheBackupAndStops) {
  StoppedPastTheBackup lab;
  GetParam().make(lab);
  const std::string backup = lab.bytes(kBackup);
  const std::string system = lab.bytes(kSystemDatabase);
  const DialogState state = lab.state();

  lab.frame().commandClick(kUpdate);
  EXPECT_EQ(lab.state(), state);
  EXPECT_EQ(lab.bytes(kBackup), backup);
  EXPECT_EQ(lab.bytes(kSystemDatabase), system);
  EXPECT_FALSE(lab.exists(kWorking));
}

INSTANTIATE_TEST_SUITE_P(Changes, RetryAfterAChange, ::testing::ValuesIn(kChanges),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvane::workflow
