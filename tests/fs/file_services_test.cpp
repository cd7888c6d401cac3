// Copy and delete on the files of a temporary Wine-style prefix: what they
// do, how they fail, and that a failure leaves the destination as it was.
#include "fs/file_services.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include "fs/failure.h"
#include "fs/file_hold.h"
#include "support/failure_of.h"
#include "support/files.h"
#include "support/temp_prefix.h"

namespace korvane::fs {
namespace {

namespace stdfs = std::filesystem;
using support::entriesOf;
using support::failureOf;
using support::readFile;
using support::TempFolder;
using support::TempPrefix;
using support::writeFile;

const char kSystem[] = "C:\\data_aco\\QX_aco.mdb";
const char kTemplate[] = "C:\\data_aco\\QX_Std.mdb";
const char kBackup[] = "C:\\data_aco\\Backup\\QX_aco_261207_0843.mdb";

// Bytes enough to take more than one turn of any copy loop.
std::string bigContent(char seed) {
  std::string bytes(3 * 1024 * 1024 + 17, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(seed + i * 7 % 251);
  return bytes;
}

// For one scope, writing past `bytes` of any file fails (EFBIG), as if the
// disk filled up in the middle of a copy.
class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, old_.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~ScopedFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit old_{};
  sighandler_t oldHandler_;
};

class FileServicesTest : public ::testing::Test {
 protected:
  FileServicesTest() {
    stdfs::create_directories(dataFolder() / "Backup");
    writeFile(host("QX_aco.mdb"), "old system database");
    writeFile(host("QX_Std.mdb"), bigContent('t'));
  }

  stdfs::path dataFolder() const { return prefix_.driveC() / "data_aco"; }
  stdfs::path host(const stdfs::path& relative) const { return dataFolder() / relative; }

  TempPrefix prefix_;
  HostFileServices files_{PathMap(prefix_.root())};
};

TEST_F(FileServicesTest, CopyCreatesOrReplacesTheWholeFile) {
  files_.copyFile(kTemplate, kBackup);
  EXPECT_EQ(readFile(host("Backup/QX_aco_261207_0843.mdb")), bigContent('t'));

  // Over an existing file, named in another letter case: that file is replaced.
  files_.copyFile(kSystem, "c:\\DATA_ACO\\backup\\qx_aco_261207_0843.MDB");
  EXPECT_EQ(readFile(host("Backup/QX_aco_261207_0843.mdb")), "old system database");
  EXPECT_EQ(entriesOf(host("Backup")), std::vector<std::string>{"QX_aco_261207_0843.mdb"});

  // kNever copies to a new name; a new name keeps its spelling.
  files_.copyFile(kSystem, "C:\\data_aco\\Backup\\New.MDB", Overwrite::kNever);
  EXPECT_EQ(readFile(host("Backup/New.MDB")), "old system database");

  // Onto itself, under any spelling, the file stays as it is.
  files_.copyFile(kTemplate, kTemplate);
  files_.copyFile(kTemplate, "c:\\data_aco\\qx_std.mdb");
  EXPECT_EQ(readFile(host("QX_Std.mdb")), bigContent('t'));

  // From one file system to another (a tmpfs), where the kernel cannot copy.
  if (stdfs::is_directory("/dev/shm")) {
    const TempFolder shm("/dev/shm");
    prefix_.mapDrive("d:", shm.path());
    files_.copyFile(kTemplate, "D:\\QX_Std.mdb");
    EXPECT_EQ(readFile(shm.path() / "QX_Std.mdb"), bigContent('t'));
    files_.copyFile("D:\\QX_Std.mdb", kSystem);
    EXPECT_EQ(readFile(host("QX_aco.mdb")), bigContent('t'));
  }
}

TEST_F(FileServicesTest, FailedCopyLeavesTheDestinationAsItWas) {
  const std::string old = "backup from an earlier run";
  writeFile(host("Backup/QX_aco_261207_0843.mdb"), old);
  stdfs::create_directory(host("AFolder.mdb"));
  stdfs::create_directory(host("Backup/Taken.mdb"));

  struct Case {
    const char* from;
    const char* to;
    Overwrite mode;
    int number;
  };
  const Case cases[] = {
      {"C:\\data_aco\\NoSuch.mdb", kBackup, Overwrite::kReplace, fserr::kFileNotFound},
      {"C:\\NoSuchFolder\\QX_aco.mdb", kBackup, Overwrite::kReplace, fserr::kFileNotFound},
      {"C:\\data_aco\\AFolder.mdb", kBackup, Overwrite::kReplace, fserr::kPathFileAccessError},
      {kSystem, kBackup, Overwrite::kNever, fserr::kFileAlreadyExists},
      {kSystem, "C:\\data_aco\\NoSuchFolder\\x.mdb", Overwrite::kReplace, fserr::kPathNotFound},
      {kSystem, "C:\\data_aco\\QX_aco.mdb\\x.mdb", Overwrite::kReplace, fserr::kPathNotFound},
      {kSystem, "C:\\data_aco\\Backup\\Taken.mdb", Overwrite::kReplace,
       fserr::kPathFileAccessError},
      {kSystem, "Q:\\x.mdb", Overwrite::kReplace, fserr::kPathNotFound},
      {"\\\\server\\share\\x.mdb", kBackup, Overwrite::kReplace, fserr::kPathNotFound},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(failureOf([&] { files_.copyFile(c.from, c.to, c.mode); }).number, c.number)
        << c.from << " -> " << c.to;
    EXPECT_EQ(readFile(host("Backup/QX_aco_261207_0843.mdb")), old) << c.from << " -> " << c.to;
  }
  // No temporary file is left, and no folder was created.
  EXPECT_EQ(entriesOf(host("Backup")),
            (std::vector<std::string>{"QX_aco_261207_0843.mdb", "Taken.mdb"}));
  EXPECT_EQ(entriesOf(dataFolder()),
            (std::vector<std::string>{"AFolder.mdb", "Backup", "QX_Std.mdb", "QX_aco.mdb"}));
}

TEST_F(FileServicesTest, CopyFailingHalfwayLeavesTheDestinationAndNoTemporaryFile) {
  const std::string old = "backup from an earlier run";
  writeFile(host("Backup/QX_aco_261207_0843.mdb"), old);
  {
    const ScopedFileSizeLimit limit(1024 * 1024);  // a third of the template
    EXPECT_EQ(failureOf([&] { files_.copyFile(kTemplate, kBackup); }).number,
              fserr::kPathFileAccessError);
    EXPECT_EQ(failureOf([&] {
                files_.copyFile(kTemplate, "C:\\data_aco\\Backup\\New.mdb", Overwrite::kNever);
              }).number,
              fserr::kPathFileAccessError);
  }
  EXPECT_EQ(readFile(host("Backup/QX_aco_261207_0843.mdb")), old);
  EXPECT_EQ(entriesOf(host("Backup")), std::vector<std::string>{"QX_aco_261207_0843.mdb"});
}

TEST_F(FileServicesTest, HeldFileCannotBeCopiedReplacedOrDeletedUntilReleased) {
  const std::string old = "backup from an earlier run";
  writeFile(host("Backup/QX_aco_261207_0843.mdb"), old);
  const stdfs::path system = host("QX_aco.mdb");

  std::unique_ptr<FileHold> hold = FileHold::acquire(system);
  ASSERT_NE(hold, nullptr);
  EXPECT_TRUE(isHeld(system));
  EXPECT_EQ(failureOf([&] { files_.copyFile(kSystem, kBackup); }).number, fserr::kPermissionDenied);
  EXPECT_EQ(failureOf([&] { files_.copyFile("c:\\data_aco\\QX_ACO.mdb", kBackup); }).number,
            fserr::kPermissionDenied);
  EXPECT_EQ(failureOf([&] { files_.copyFile(kTemplate, kSystem); }).number,
            fserr::kPermissionDenied);
  EXPECT_EQ(failureOf([&] { files_.deleteFile(kSystem); }).number, fserr::kPermissionDenied);
  EXPECT_EQ(readFile(system), "old system database");
  EXPECT_EQ(readFile(host("Backup/QX_aco_261207_0843.mdb")), old);
  EXPECT_EQ(entriesOf(dataFolder()),
            (std::vector<std::string>{"Backup", "QX_Std.mdb", "QX_aco.mdb"}));

  // A second holder is welcome; the file is free only when both are gone.
  std::unique_ptr<FileHold> second = FileHold::acquire(system);
  ASSERT_NE(second, nullptr);
  hold.reset();
  EXPECT_TRUE(isHeld(system));
  second.reset();
  EXPECT_FALSE(isHeld(system));
  files_.copyFile(kSystem, kBackup);
  files_.copyFile(kTemplate, kSystem);
  EXPECT_EQ(readFile(system), bigContent('t'));
  files_.deleteFile(kSystem);
  EXPECT_FALSE(stdfs::exists(system));
  EXPECT_FALSE(isHeld(system));
  EXPECT_EQ(FileHold::acquire(system), nullptr);
}

TEST_F(FileServicesTest, FileWithAJournalBesideItCountsAsHeld) {
  const stdfs::path system = host("QX_aco.mdb");
  const stdfs::path journal = host("QX_aco.mdb-journal");

  // A journal that SQLite would not roll back (empty, or a zeroed header).
  writeFile(journal, "");
  EXPECT_FALSE(isHeld(system));
  writeFile(journal, std::string(512, '\0'));
  EXPECT_FALSE(isHeld(system));

  // One left by an interrupted write.
  writeFile(journal, "\xd9\xd5\x05\xf9\x20\xa1\x63\xd7 interrupted");
  EXPECT_TRUE(isHeld(system));
  EXPECT_EQ(failureOf([&] { files_.copyFile(kSystem, kBackup); }).number, fserr::kPermissionDenied);
  EXPECT_EQ(failureOf([&] { files_.copyFile(kTemplate, kSystem); }).number,
            fserr::kPermissionDenied);
  EXPECT_EQ(failureOf([&] { files_.deleteFile(kSystem); }).number, fserr::kPermissionDenied);
  EXPECT_EQ(readFile(system), "old system database");
  stdfs::remove(journal);

  // A new file must not be put where a journal waits to be rolled back into it.
  writeFile(host("Backup/QX_aco_261207_0843.mdb-journal"), "\xd9\xd5\x05\xf9 stale");
  EXPECT_EQ(failureOf([&] { files_.copyFile(kSystem, kBackup); }).number, fserr::kPermissionDenied);
  EXPECT_FALSE(stdfs::exists(host("Backup/QX_aco_261207_0843.mdb")));
  stdfs::remove(host("Backup/QX_aco_261207_0843.mdb-journal"));

  // A write-ahead log that holds frames.
  writeFile(host("QX_aco.mdb-wal"), "frames");
  EXPECT_TRUE(isHeld(system));
  EXPECT_EQ(failureOf([&] { files_.copyFile(kSystem, kBackup); }).number, fserr::kPermissionDenied);
  stdfs::remove(host("QX_aco.mdb-wal"));

  EXPECT_FALSE(isHeld(system));
  files_.copyFile(kSystem, kBackup);
  EXPECT_EQ(readFile(host("Backup/QX_aco_261207_0843.mdb")), "old system database");
}

TEST_F(FileServicesTest, DeleteRemovesAFileAndNothingElse) {
  files_.deleteFile("c:\\data_aco\\qx_aco.MDB");
  EXPECT_FALSE(stdfs::exists(host("QX_aco.mdb")));
  EXPECT_EQ(failureOf([&] { files_.deleteFile(kSystem); }).number, fserr::kFileNotFound);
  EXPECT_EQ(failureOf([&] { files_.deleteFile("C:\\NoSuchFolder\\x.mdb"); }).number,
            fserr::kFileNotFound);
  EXPECT_EQ(failureOf([&] { files_.deleteFile("C:\\data_aco\\Backup"); }).number,
            fserr::kPathFileAccessError);
  EXPECT_TRUE(stdfs::is_directory(host("Backup")));
  EXPECT_EQ(failureOf([&] { files_.deleteFile("Q:\\x.mdb"); }).number, fserr::kPathNotFound);

  // A link goes; the file it names stays.
  stdfs::create_symlink(host("QX_Std.mdb"), host("Link.mdb"));
  files_.deleteFile("C:\\data_aco\\Link.mdb");
  EXPECT_FALSE(stdfs::is_symlink(host("Link.mdb")));
  EXPECT_EQ(readFile(host("QX_Std.mdb")), bigContent('t'));
}

TEST_F(FileServicesTest, FileExistsSeesFilesOnlyWhateverTheirSpelling) {
  EXPECT_TRUE(files_.fileExists(kSystem));
  EXPECT_TRUE(files_.fileExists("c:\\DATA_ACO\\qx_aco.MDB"));
  EXPECT_FALSE(files_.fileExists(kBackup));
  EXPECT_FALSE(files_.fileExists("C:\\data_aco\\Backup"));
  EXPECT_FALSE(files_.fileExists("C:\\NoSuchFolder\\x.mdb"));
  EXPECT_FALSE(files_.fileExists("Q:\\x.mdb"));
}

}  // namespace
}  // namespace korvane::fs
