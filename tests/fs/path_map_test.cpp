// Windows paths onto the files of a temporary Wine-style prefix, and back.
#include "fs/path_map.h"

#include <gtest/gtest.h>

#include "fs/failure.h"
#include "support/failure_of.h"
#include "support/files.h"
#include "support/scoped_process.h"
#include "support/temp_prefix.h"

namespace korvane::fs {
namespace {

namespace stdfs = std::filesystem;
using support::failureOf;
using support::ScopedEnv;
using support::TempPrefix;
using support::writeFile;

class PathMapTest : public ::testing::Test {
 protected:
  PathMapTest() {
    stdfs::create_directories(prefix_.driveC() / "data_aco" / "Backup");
    writeFile(prefix_.driveC() / "data_aco" / "QX_aco.mdb", "system");
  }

  // Where drive C:'s entries appear through the prefix.
  stdfs::path onC(const stdfs::path& relative) const {
    return prefix_.root() / "dosdevices" / "c:" / relative;
  }

  TempPrefix prefix_;
  PathMap paths_{prefix_.root()};
};

TEST_F(PathMapTest, FindsEveryComponentWithoutRegardToCase) {
  const stdfs::path system = onC("data_aco/QX_aco.mdb");
  EXPECT_EQ(paths_.toHost("C:\\data_aco\\QX_aco.mdb"), system);
  EXPECT_EQ(paths_.toHost("c:\\DATA_ACO\\qx_ACO.MDB"), system);
  EXPECT_EQ(paths_.toHost("C:/Data_Aco/QX_aco.mdb"), system);
  EXPECT_EQ(paths_.toHost("C:\\data_aco/backup\\"), onC("data_aco/Backup"));

  // The drive's own entry too: "D:" on disk, "d:" in the text.
  stdfs::create_directories(prefix_.outside() / "d_drive" / "Lab7");
  prefix_.mapDrive("D:", prefix_.outside() / "d_drive");
  EXPECT_EQ(paths_.toHost("d:\\lab7"), prefix_.root() / "dosdevices" / "D:" / "Lab7");

  // The exact spelling wins; among other spellings the first in byte order.
  stdfs::create_directory(prefix_.driveC() / "Dup");
  stdfs::create_directory(prefix_.driveC() / "dup");
  EXPECT_EQ(paths_.toHost("C:\\dup"), onC("dup"));
  EXPECT_EQ(paths_.toHost("C:\\Dup"), onC("Dup"));
  EXPECT_EQ(paths_.toHost("C:\\DUP"), onC("Dup"));

  // Letters beyond ASCII compare without case as well.
  stdfs::create_directory(prefix_.driveC() / "Messdaten_\xC3\x84");  // "Messdaten_Ä"
  EXPECT_EQ(paths_.toHost("C:\\MESSDATEN_\xC3\xA4"), onC("Messdaten_\xC3\x84"));

  // "." stays, ".." goes up, never above the drive's root.
  EXPECT_EQ(paths_.toHost("C:\\data_aco\\.\\Backup\\..\\qx_aco.mdb"), system);
  EXPECT_EQ(paths_.toHost("C:\\..\\..\\data_aco\\\\QX_aco.mdb"), system);
}

TEST_F(PathMapTest, MissingComponentsKeepTheGivenSpelling) {
  EXPECT_EQ(paths_.toHost("C:\\DATA_ACO\\backup\\QX_aco_261207_0843.MDB"),
            onC("data_aco/Backup/QX_aco_261207_0843.MDB"));
  // Everything after the first missing component is taken as written.
  EXPECT_EQ(paths_.toHost("C:\\data_aco\\NoSuch\\..\\NoSuch\\DATA_ACO"),
            onC("data_aco/NoSuch/DATA_ACO"));
  // Above a missing component "..", as text, can lead back to existing ones.
  EXPECT_EQ(paths_.toHost("C:\\nosuch\\..\\DATA_ACO"), onC("data_aco"));
}

TEST_F(PathMapTest, DriveRelativeAndDrivelessPathsStartAtTheRoot) {
  stdfs::create_directories(prefix_.outside() / "e_drive");
  writeFile(prefix_.outside() / "e_drive" / "QX_aco.mdb", "external");
  prefix_.mapDrive("e:", prefix_.outside() / "e_drive");
  const stdfs::path e = prefix_.root() / "dosdevices" / "e:";

  EXPECT_EQ(paths_.toHost("E:qx_aco.mdb"), e / "QX_aco.mdb");
  EXPECT_EQ(paths_.toHost("E:_261207_0843.mdb"), e / "_261207_0843.mdb");
  EXPECT_EQ(paths_.toHost("E:"), e);
  EXPECT_EQ(paths_.toHost("\\data_aco\\qx_aco.mdb"), onC("data_aco/QX_aco.mdb"));
  EXPECT_EQ(paths_.toHost("data_aco/QX_aco.mdb"), onC("data_aco/QX_aco.mdb"));
}

TEST_F(PathMapTest, UncEmptyAndUnmappedPathsAreNotFound) {
  prefix_.mapDrive("f:", prefix_.outside() / "no_such_folder");  // a dangling link
  for (const char* text : {"", "\\\\server\\share\\QX_aco.mdb", "//server/share", "\\\\?\\C:\\x",
                           "Q:\\data_aco\\QX_aco.mdb", "F:\\x.mdb", "1:\\x.mdb"}) {
    EXPECT_EQ(failureOf([&] { paths_.toHost(text); }).number, fserr::kPathNotFound) << text;
  }
  try {
    paths_.toHost("Q:\\x.mdb");
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.text(), "Path not found: Q:\\x.mdb");
  }
  // A prefix without dosdevices maps nothing.
  EXPECT_EQ(failureOf([&] { PathMap(prefix_.outside() / "none").toHost("C:\\x"); }).number,
            fserr::kPathNotFound);
}

TEST_F(PathMapTest, MapsHostPathsBackToWindowsText) {
  const stdfs::path system = prefix_.driveC() / "data_aco" / "QX_aco.mdb";
  EXPECT_EQ(paths_.toWindows(system), "C:\\data_aco\\QX_aco.mdb");
  EXPECT_EQ(paths_.toWindows(prefix_.driveC()), "C:\\");
  EXPECT_EQ(paths_.toWindows(prefix_.driveC() / ""), "C:\\");
  EXPECT_EQ(paths_.toWindows(prefix_.driveC() / "data_aco" / "New.mdb"), "C:\\data_aco\\New.mdb");
  // Through the drive's link, and back from what toHost gave: the disk's spelling.
  EXPECT_EQ(paths_.toWindows(onC("data_aco/Backup/")), "C:\\data_aco\\Backup");
  EXPECT_EQ(paths_.toWindows(paths_.toHost("c:\\DATA_ACO\\qx_aco.MDB")),
            "C:\\data_aco\\QX_aco.mdb");
  // A link elsewhere is followed to the file it names.
  stdfs::create_directory_symlink(prefix_.driveC() / "data_aco", prefix_.outside() / "shortcut");
  EXPECT_EQ(paths_.toWindows(prefix_.outside() / "shortcut" / "QX_aco.mdb"),
            "C:\\data_aco\\QX_aco.mdb");

  // Outside every drive: not found, until z: maps the whole disk.
  const stdfs::path elsewhere = prefix_.outside() / "elsewhere" / "x.mdb";
  EXPECT_EQ(failureOf([&] { paths_.toWindows(elsewhere); }).number, fserr::kPathNotFound);
  prefix_.mapDrive("z:", "/");
  std::string expected = "Z:" + stdfs::weakly_canonical(elsewhere).string();
  std::replace(expected.begin(), expected.end(), '/', '\\');
  EXPECT_EQ(paths_.toWindows(elsewhere), expected);
  EXPECT_EQ(paths_.toWindows("/"), "Z:\\");
  // The deeper drive wins over z:.
  EXPECT_EQ(paths_.toWindows(system), "C:\\data_aco\\QX_aco.mdb");
}

TEST_F(PathMapTest, DrivesAreTheEntriesThatOpenAFolder) {
  const stdfs::path dosdevices = prefix_.root() / "dosdevices";
  stdfs::create_directories(prefix_.outside() / "share");
  stdfs::create_directories(prefix_.outside() / "cdrom");
  prefix_.mapDrive("d:", prefix_.outside() / "share");
  prefix_.mapDrive("z:", "/");
  stdfs::create_directory(dosdevices / "G:");  // a folder, not a link
  // Two entries for E:: the first in byte order that opens a folder counts.
  prefix_.mapDrive("E:", prefix_.outside() / "missing");
  prefix_.mapDrive("e:", prefix_.outside() / "cdrom");
  // No drives: a link to nothing, a file, Wine's device entries, other names.
  prefix_.mapDrive("h:", prefix_.outside() / "gone");
  writeFile(dosdevices / "f:", "not a folder");
  stdfs::create_directory_symlink("/dev", dosdevices / "c::");
  stdfs::create_directory_symlink("/dev", dosdevices / "com1");
  stdfs::create_directory(dosdevices / "1:");
  stdfs::create_directory(dosdevices / "x");

  std::vector<std::pair<char, stdfs::path>> found;
  for (const PathMap::Drive& drive : paths_.drives())
    found.emplace_back(drive.letter, drive.folder);
  const std::vector<std::pair<char, stdfs::path>> expected = {
      {'C', prefix_.driveC()},
      {'D', prefix_.outside() / "share"},
      {'E', prefix_.outside() / "cdrom"},
      {'G', dosdevices / "G:"},
      {'Z', "/"},
  };
  EXPECT_EQ(found, expected);
  // The same drives map host paths back.
  EXPECT_EQ(paths_.toWindows(prefix_.outside() / "cdrom" / "a.mdb"), "E:\\a.mdb");
  EXPECT_EQ(paths_.toWindows(dosdevices / "G:" / "b.mdb"), "G:\\b.mdb");
}

TEST(PathMapDrivesTest, NoDosdevicesNoDrives) {
  EXPECT_TRUE(PathMap("/nonexistent/prefix").drives().empty());
}

TEST(PathMapEnvironmentTest, PrefixIsWineprefixElseWineInHome) {
  const ScopedEnv home("HOME", "/home/lab");
  {
    const ScopedEnv prefix("WINEPREFIX", "/srv/lab-prefix");
    EXPECT_EQ(PathMap::fromEnvironment().prefix(), "/srv/lab-prefix");
  }
  {
    const ScopedEnv prefix("WINEPREFIX", "");
    EXPECT_EQ(PathMap::fromEnvironment().prefix(), "/home/lab/.wine");
  }
  const ScopedEnv prefix("WINEPREFIX", nullptr);
  EXPECT_EQ(PathMap::fromEnvironment().prefix(), "/home/lab/.wine");
}

}  // namespace
}  // namespace korvane::fs
