// Update and Close keep what the lab set up around the system database: its
// permission bits, owner and group, and a symbolic link in its place. The
// backup gets the database's bits less the umask, as a copy by cp does.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "lab.h"
#include "support/files.h"
#include "support/scoped_process.h"
#include "workflow/naming.h"

namespace korvane::workflow {
namespace {

namespace stdfs = std::filesystem;
using support::entriesOf;
using support::ScopedUmask;
using support::statOf;
using testing::Column;
using testing::kBackup;
using testing::Lab;
using testing::samples;

const Column kSamples = {"Tutorial sample", "S1", "S2", "S3"};

void updateAndClose(Lab& lab) {
  lab.chooseSystemDatabase();
  lab.frame().commandClick(kUpdate);
  lab.frame().commandClick(kClose);
  ASSERT_TRUE(lab.closed());
  ASSERT_EQ(lab.state().instructions, "Your database file has been updated");
}

TEST(CommitPermissions, TheSystemDatabaseKeepsItsBitsOwnerAndGroup) {
  const ScopedUmask umask(022);
  Lab lab;
  lab.installSystemFiles();
  const stdfs::path system = lab.host(kSystemDatabase);
  ::chmod(system.c_str(), 0664);
  ::chmod(lab.host(kTemplateDatabase).c_str(), 0644);
  const bool privileged = ::geteuid() == 0;
  if (privileged) {
    ASSERT_EQ(::chown(system.c_str(), 1234, 5678), 0);
  }
  const struct stat before = statOf(system);

  updateAndClose(lab);
  const struct stat after = statOf(system);
  EXPECT_EQ(after.st_mode & 07777, 0664u);
  if (privileged) {
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
  }
  EXPECT_NE(after.st_ino, before.st_ino) << "replaced, not written in place";
  EXPECT_EQ(samples(lab, kSystemDatabase), kSamples);
  // The backup is a new file: the database's bits less the umask.
  EXPECT_EQ(statOf(lab.host(kBackup)).st_mode & 07777, 0644u);
}

TEST(CommitPermissions, ASystemDatabaseThatIsALinkStaysALink) {
  Lab lab;
  lab.installSystemFiles();
  // The lab keeps its database on drive D: and links to it.
  lab.makeFolder("D:\\shared");
  const stdfs::path real = lab.host("D:\\shared\\QX_aco.mdb");
  stdfs::rename(lab.host(kSystemDatabase), real);
  const stdfs::path link = lab.host(kSystemDatabase);
  stdfs::create_symlink(real, link);
  const std::string old = support::readFile(real);

  updateAndClose(lab);
  EXPECT_TRUE(stdfs::is_symlink(link));
  EXPECT_EQ(stdfs::read_symlink(link), real);
  EXPECT_EQ(samples(lab, kSystemDatabase), kSamples);
  EXPECT_NE(support::readFile(real), old);
  EXPECT_EQ(lab.bytes(kBackup), old);
  EXPECT_EQ(entriesOf(real.parent_path()), std::vector<std::string>{"QX_aco.mdb"});
  EXPECT_EQ(entriesOf(link.parent_path()),
            (std::vector<std::string>{"Backup", "QX_Std.mdb", "QX_aco.mdb"}));
}

}  // namespace
}  // namespace korvane::workflow
