// Update and Close on databases made and used by other SQLite programs: the
// chosen file and the backup are only read, whatever state those programs
// left them in or keep them in, and every committed row is carried over.
// Each case compares the source's folder, file by file and byte by byte,
// before Update and after Update and Close.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lab.h"
#include "support/files.h"
#include "support/other_program.h"
#include "support/scoped_process.h"
#include "support/sqlite_file.h"
#include "workflow/naming.h"

namespace korvane::workflow {
namespace {

namespace stdfs = std::filesystem;
using support::bytesIn;
using support::changesIn;
using support::FolderBytes;
using support::goneAfter;
using support::keptOpenAfter;
using support::OtherProgram;
using support::runSql;
using support::untouched;
using support::WithoutPermissionOverride;
using testing::Column;
using testing::kBackup;
using testing::kUpdateChoices;
using testing::kWorking;
using testing::Lab;
using testing::samples;

const std::string kChosen = "D:\\Lab7\\QX_aco.mdb";
const std::string kChosenWorking = "D:\\Lab7_261207_0843.mdb";
const Column kSamples = {"Tutorial sample", "S1", "S2", "S3"};
// A sample another program added, dated after all the others.
const std::string kAddSample =
    "INSERT INTO Samples (\"Sample Date\", \"Sample Name\") VALUES (50000, 'S9');";
const Column kSamplesWithS9 = {"Tutorial sample", "S1", "S2", "S3", "S9"};

struct ChosenCase {
  const char* name;
  const char* journalMode;
  support::Arrangement arrange;  // what other programs did or still do with the file
  Column committed;
  mode_t fileBits = 0644;
  mode_t folderBits = 0755;
};

std::ostream& operator<<(std::ostream& out, const ChosenCase& c) {
  return out << c.name;
}

void rowInTheLog(const stdfs::path& file) {
  support::leaveRowsInTheLog(file, kAddSample);
}

const ChosenCase kChosenCases[] = {
    {"WriteAheadLogWithoutRowsInTheLog", "WAL", untouched, kSamples},
    {"WriteAheadLogWithRowsInTheLog", "WAL", goneAfter(rowInTheLog), kSamplesWithS9},
    {"WriteAheadLogWithRowsInTheLogAndNoIndex", "WAL", goneAfter([](const stdfs::path& file) {
       rowInTheLog(file);
       stdfs::remove(file.native() + "-shm");
     }),
     kSamplesWithS9},
    {"RollbackJournal", "DELETE", untouched, kSamples},
    {"RollbackJournalWithAHotJournal", "DELETE",
     goneAfter([](const stdfs::path& file) { support::leaveAHotJournal(file, "Samples"); }),
     kSamples},
    {"FileWithoutWritePermission", "WAL", goneAfter(rowInTheLog), kSamplesWithS9, 0444},
    {"FolderWithoutWritePermission", "WAL", goneAfter(rowInTheLog), kSamplesWithS9, 0644, 0555},
    {"RollbackJournalInAFolderWithoutWritePermission", "DELETE", untouched, kSamples, 0444, 0555},
    {"WriteAheadLogOpenForReadingElsewhere", "WAL",
     keptOpenAfter("BEGIN; SELECT count(*) FROM Samples;"), kSamples},
    {"WriteAheadLogWithRowsInTheLogOpenElsewhere", "WAL",
     keptOpenAfter("PRAGMA wal_autocheckpoint=0; " + kAddSample), kSamplesWithS9},
    {"RollbackJournalOpenForReadingElsewhere", "DELETE",
     keptOpenAfter("BEGIN; SELECT count(*) FROM Samples;"), kSamples},
};

class ChosenDatabase : public ::testing::TestWithParam<ChosenCase> {};

TEST_P(ChosenDatabase, IsOnlyReadAndEveryCommittedRowIsCarriedOver) {
  const ChosenCase& c = GetParam();
  Lab lab;
  lab.installSystemFiles();
  lab.makeFolder("D:\\Lab7");
  lab.makeFolder("C:\\tmp");
  lab.buildDatabase(kChosen, "old_system.sql");
  const stdfs::path chosen = lab.host(kChosen);
  runSql(chosen, std::string("PRAGMA journal_mode=") + c.journalMode);
  const std::unique_ptr<OtherProgram> other = c.arrange(chosen);
  ::chmod(chosen.c_str(), c.fileBits);
  ::chmod(chosen.parent_path().c_str(), c.folderBits);
  const FolderBytes before = bytesIn(chosen.parent_path());
  const support::ScopedEnv tmpdir("TMPDIR", lab.host("C:\\tmp").c_str());
  lab.chooseExternal(kChosen);
  {
    const WithoutPermissionOverride asAnyUser;
    lab.frame().commandClick(kUpdate);
    EXPECT_EQ(lab.state().instructions, kUpdateChoices) << "Update did not complete";
    EXPECT_EQ(changesIn(chosen.parent_path(), before), "") << "after Update";
    lab.frame().commandClick(kClose);
  }
  EXPECT_TRUE(lab.closed());
  EXPECT_EQ(changesIn(chosen.parent_path(), before), "") << "after Close";
  EXPECT_EQ(samples(lab, kChosenWorking), c.committed);
  EXPECT_TRUE(stdfs::is_empty(lab.host("C:\\tmp"))) << "a private copy was left behind";
}

INSTANTIATE_TEST_SUITE_P(Cases, ChosenDatabase, ::testing::ValuesIn(kChosenCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ChosenDatabaseBeingWritten, StopsUpdateAsInUseAndChangesNothing) {
  Lab lab;
  lab.installSystemFiles();
  lab.makeFolder("D:\\Lab7");
  lab.buildDatabase(kChosen, "old_system.sql");
  const stdfs::path chosen = lab.host(kChosen);
  runSql(chosen, "PRAGMA journal_mode=WAL");
  OtherProgram writer(chosen, "BEGIN IMMEDIATE; " + kAddSample);
  const FolderBytes before = bytesIn(chosen.parent_path());
  lab.chooseExternal(kChosen);
  const DialogState state = lab.state();

  lab.frame().commandClick(kUpdate);
  EXPECT_EQ(lab.state(), state);
  EXPECT_EQ(changesIn(chosen.parent_path(), before), "");

  // Once the other program has committed and left, Update carries its row.
  writer.finish("COMMIT");
  lab.frame().commandClick(kUpdate);
  EXPECT_EQ(lab.state().instructions, kUpdateChoices);
  EXPECT_EQ(samples(lab, kChosenWorking), kSamplesWithS9);
}

// The system database in WAL mode: its backup is an exact copy, which the
// run only reads, and Close replaces the database in its place.
TEST(SystemDatabaseInWalMode, BackupStaysAnExactCopyAndCloseReplacesTheDatabase) {
  Lab lab;
  lab.installSystemFiles();
  runSql(lab.host(kSystemDatabase), "PRAGMA journal_mode=WAL");
  const std::string old = lab.bytes(kSystemDatabase);
  lab.chooseSystemDatabase();

  lab.frame().commandClick(kUpdate);
  ASSERT_EQ(lab.state().instructions.rfind(" The system database", 0), 0u);
  EXPECT_EQ(lab.bytes(kBackup), old);
  const FolderBytes afterUpdate = bytesIn(lab.host(kBackup).parent_path());
  EXPECT_EQ(afterUpdate.size(), 2u) << "only the backup and the working copy";
  const std::string updated = lab.bytes(kWorking);

  lab.frame().commandClick(kClose);
  EXPECT_EQ(lab.state().instructions, "Your database file has been updated");
  EXPECT_EQ(lab.bytes(kBackup), old);
  EXPECT_EQ(lab.bytes(kSystemDatabase), updated);
  EXPECT_EQ(support::entriesOf(lab.host(kBackup).parent_path()),
            std::vector<std::string>{"QX_aco_261207_0843.mdb"});
  EXPECT_EQ(support::entriesOf(lab.host("C:\\data_aco")),
            (std::vector<std::string>{"Backup", "QX_Std.mdb", "QX_aco.mdb"}));
}

// Another program reading the system database does not stop Update, but
// the database it has open is not replaced under it.
TEST(SystemDatabaseInWalMode, AReaderElsewhereLetsUpdateRunAndCloseWaitsForIt) {
  Lab lab;
  lab.installSystemFiles();
  runSql(lab.host(kSystemDatabase), "PRAGMA journal_mode=WAL");
  const std::string old = lab.bytes(kSystemDatabase);
  auto reader =
      std::make_unique<OtherProgram>(lab.host(kSystemDatabase), "SELECT count(*) FROM Samples;");
  lab.chooseSystemDatabase();

  lab.frame().commandClick(kUpdate);
  ASSERT_EQ(lab.state().instructions.rfind(" The system database", 0), 0u);
  EXPECT_EQ(lab.bytes(kBackup), old);
  const std::string updated = lab.bytes(kWorking);
  const DialogState updatedState = lab.state();

  lab.frame().commandClick(kClose);
  EXPECT_FALSE(lab.closed());
  EXPECT_EQ(lab.state(), updatedState);
  EXPECT_EQ(lab.bytes(kSystemDatabase), old);

  reader.reset();
  lab.frame().commandClick(kClose);
  EXPECT_TRUE(lab.closed());
  EXPECT_EQ(lab.bytes(kSystemDatabase), updated);
  EXPECT_EQ(lab.bytes(kBackup), old);
}

// A copy never leaves committed rows behind: a system database or a template
// whose log still holds rows (its last program crashed) is refused as in
// use, and Update stops at that copy. Once a program has opened and closed
// the file, pressing Update again carries those rows.
TEST(SystemFilesWithRowsInTheLog, AreNotCopiedWithoutThem) {
  for (const std::string& file : {std::string(kSystemDatabase), std::string(kTemplateDatabase)}) {
    Lab lab;
    lab.installSystemFiles();
    const std::string old = lab.bytes(kSystemDatabase);
    support::leaveRowsInTheLog(lab.host(file), kAddSample);
    const FolderBytes data = bytesIn(lab.host("C:\\data_aco"));
    lab.chooseSystemDatabase();
    const DialogState state = lab.state();

    lab.frame().commandClick(kUpdate);
    EXPECT_EQ(lab.state(), state) << file;
    EXPECT_EQ(changesIn(lab.host("C:\\data_aco"), data), "") << file;
    // The backup comes first: it is made only when the system database can be.
    const bool backedUp = file == kTemplateDatabase;
    EXPECT_EQ(support::entriesOf(lab.host("C:\\data_aco\\Backup")).size(), backedUp ? 1u : 0u)
        << file;
    if (backedUp) {
      EXPECT_EQ(lab.bytes(kBackup), old);
    }

    runSql(lab.host(file), "SELECT count(*) FROM Samples;");
    lab.frame().commandClick(kUpdate);
    EXPECT_EQ(lab.state().instructions.rfind(" The system database", 0), 0u) << file;
    EXPECT_EQ(samples(lab, kWorking), kSamplesWithS9) << file;
  }
}

}  // namespace
}  // namespace korvane::workflow
