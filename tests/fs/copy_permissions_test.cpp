// What a copy gives the file it makes: a replaced file keeps its permission
// bits, owner and group, and a link stays a link; a new file gets its
// source's bits less the umask. And the identity that tells whether a file
// changed between two moments.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

#include "fs/file_services.h"
#include "support/files.h"
#include "support/scoped_process.h"
#include "support/temp_prefix.h"

namespace korvane::fs {
namespace {

namespace stdfs = std::filesystem;
using support::entriesOf;
using support::readFile;
using support::ScopedUmask;
using support::statOf;
using support::TempFolder;
using support::TempPrefix;
using support::writeFile;

const char kSystem[] = "C:\\data_aco\\QX_aco.mdb";
const char kWorking[] = "C:\\data_aco\\Backup\\QX_aco_261207_0843_update.mdb";

mode_t bitsOf(const stdfs::path& path) {
  return statOf(path).st_mode & 07777;
}

class CopyPermissions : public ::testing::Test {
 protected:
  CopyPermissions() {
    stdfs::create_directories(data() / "Backup");
    writeFile(data() / "QX_aco.mdb", "old system database");
    writeFile(data() / "Backup" / "QX_aco_261207_0843_update.mdb", "updated database");
  }
  stdfs::path data() const { return prefix_.driveC() / "data_aco"; }

  TempPrefix prefix_;
  HostFileServices files_{PathMap(prefix_.root())};
};

TEST_F(CopyPermissions, AReplacedFileKeepsItsBitsWhateverTheUmaskAndTheSource) {
  const ScopedUmask umask(022);
  for (const mode_t bits : {0664, 0600, 0640, 0444}) {
    ::chmod((data() / "QX_aco.mdb").c_str(), bits);
    ::chmod((data() / "Backup" / "QX_aco_261207_0843_update.mdb").c_str(), 0644);
    files_.copyFile(kWorking, kSystem, Overwrite::kReplace);
    EXPECT_EQ(bitsOf(data() / "QX_aco.mdb"), bits) << std::oct << bits;
    EXPECT_EQ(readFile(data() / "QX_aco.mdb"), "updated database");
  }
}

TEST_F(CopyPermissions, AReplacedFileKeepsItsOwnerAndGroupWhereTheProcessMaySetThem) {
  if (::geteuid() != 0) GTEST_SKIP() << "only a privileged process may give a file away";
  const stdfs::path system = data() / "QX_aco.mdb";
  ASSERT_EQ(::chown(system.c_str(), 1234, 5678), 0);
  ::chmod(system.c_str(), 0664);
  files_.copyFile(kWorking, kSystem, Overwrite::kReplace);
  EXPECT_EQ(statOf(system).st_uid, 1234u);
  EXPECT_EQ(statOf(system).st_gid, 5678u);
  EXPECT_EQ(bitsOf(system), 0664u);
}

TEST_F(CopyPermissions, ANewFileGetsTheSourceBitsLessTheUmaskAndAlwaysOwnerReadWrite) {
  const stdfs::path working = data() / "Backup" / "QX_aco_261207_0843_update.mdb";
  const struct {
    mode_t source, mask, expected;
  } cases[] = {
      {0666, 022, 0644},  // as cp gives it
      {0664, 002, 0664}, {0640, 027, 0640}, {0644, 077, 0600},
      {0444, 022, 0644},  // a read-only template still gives a working copy to write
      {0400, 077, 0600},
  };
  for (const auto& c : cases) {
    stdfs::remove(working);
    ::chmod((data() / "QX_aco.mdb").c_str(), c.source);
    const ScopedUmask umask(c.mask);
    files_.copyFile(kSystem, kWorking, Overwrite::kReplace);
    EXPECT_EQ(bitsOf(working), c.expected) << std::oct << c.source << " less " << c.mask;
    stdfs::remove(working);
    files_.copyFile(kSystem, kWorking, Overwrite::kNever);
    EXPECT_EQ(bitsOf(working), c.expected) << std::oct << c.source << " less " << c.mask;
  }
}

TEST_F(CopyPermissions, AReplacedLinkStaysALinkAndTheFileItNamesIsReplacedInItsOwnFolder) {
  const TempFolder elsewhere;
  const stdfs::path real = elsewhere.path() / "shared" / "QX_aco.mdb";
  stdfs::create_directories(real.parent_path());
  writeFile(real, "old system database, kept elsewhere");
  ::chmod(real.c_str(), 0660);
  // A relative link to a second, absolute one: both stay as they are.
  stdfs::remove(data() / "QX_aco.mdb");
  stdfs::create_symlink(real, elsewhere.path() / "current.mdb");
  const stdfs::path link = data() / "QX_aco.mdb";
  stdfs::create_symlink(stdfs::relative(elsewhere.path() / "current.mdb", data()), link);
  const stdfs::path linkTarget = stdfs::read_symlink(link);

  files_.copyFile(kWorking, kSystem, Overwrite::kReplace);

  EXPECT_TRUE(stdfs::is_symlink(link));
  EXPECT_EQ(stdfs::read_symlink(link), linkTarget);
  EXPECT_TRUE(stdfs::is_symlink(elsewhere.path() / "current.mdb"));
  EXPECT_EQ(readFile(real), "updated database");
  EXPECT_EQ(bitsOf(real), 0660u);
  // No temporary file left in either folder.
  EXPECT_EQ(entriesOf(real.parent_path()), std::vector<std::string>{"QX_aco.mdb"});
  EXPECT_EQ(entriesOf(data()), (std::vector<std::string>{"Backup", "QX_aco.mdb"}));
}

TEST_F(CopyPermissions, ALinkWhoseFileIsMissingGetsThatFile) {
  const TempFolder elsewhere;
  const stdfs::path real = elsewhere.path() / "QX_aco.mdb";
  stdfs::remove(data() / "QX_aco.mdb");
  stdfs::create_symlink(real, data() / "QX_aco.mdb");
  files_.copyFile(kWorking, kSystem, Overwrite::kReplace);
  EXPECT_TRUE(stdfs::is_symlink(data() / "QX_aco.mdb"));
  EXPECT_EQ(readFile(real), "updated database");
}

TEST_F(CopyPermissions, TheIdentityChangesWithTheContentTheStatusOrTheFile) {
  const std::optional<FileIdentity> first = files_.identify(kSystem);
  ASSERT_TRUE(first);
  EXPECT_EQ(files_.identify("c:\\DATA_ACO\\qx_aco.MDB"), first);
  EXPECT_EQ(files_.identify("C:\\data_aco\\missing.mdb"), std::nullopt);
  EXPECT_EQ(files_.identify("Q:\\unmapped.mdb"), std::nullopt);

  // Written in place with bytes of the same length.
  support::waitForTheNextFileTimeTick();
  writeFile(data() / "QX_aco.mdb", "OLD SYSTEM DATABASE");
  const std::optional<FileIdentity> rewritten = files_.identify(kSystem);
  EXPECT_NE(rewritten, first);
  // Only its permissions changed.
  support::waitForTheNextFileTimeTick();
  ::chmod((data() / "QX_aco.mdb").c_str(), 0600);
  EXPECT_NE(files_.identify(kSystem), rewritten);
  // Replaced by another file.
  const std::optional<FileIdentity> beforeReplace = files_.identify(kSystem);
  files_.copyFile(kWorking, kSystem, Overwrite::kReplace);
  EXPECT_NE(files_.identify(kSystem), beforeReplace);
}

}  // namespace
}  // namespace korvane::fs
