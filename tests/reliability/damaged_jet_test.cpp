// A damaged Jet file chosen as the external database, one that crashes
// libmdb when read without the checks. With the import helper Korvane ships
// (whose checks refuse the file) and with one whose checks are off (libmdb
// crashes in it), Update stops, the window stays as it was and goes on, and
// the temporary folder is left empty (a folder a killed run left there
// included); a sound Jet file chosen next updates.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "bench.h"
#include "damaged_copy.h"
#include "jet_file/jet_import_process.h"
#include "support/files.h"
#include "support/scoped_process.h"
#include "workflow/dialog_state.h"
#include "workflow/naming.h"

namespace korvane::reliability {
namespace {

namespace stdfs = std::filesystem;

const stdfs::path kFixtures = KORVANE_JET_FIXTURES_DIR;
const std::string kDamaged = "C:\\input\\damaged.mdb";
const std::string kSound = "C:\\input\\sound.mdb";

class DamagedJetFile : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(stdfs::is_directory(kFixtures)) << "the Jet fixtures are missing: " << kFixtures;
    tmpdir_ = bench_.lab().prefix() / "tmp";
    stdfs::create_directories(tmpdir_);
    tmpdirSet_.emplace("TMPDIR", tmpdir_.c_str());
    jetfile::useJetImportHelperForTesting(GetParam());
  }
  void TearDown() override { jetfile::useJetImportHelperForTesting(KORVANE_JET_IMPORT_HELPER); }
  bool tmpdirIsEmpty() const { return stdfs::is_empty(tmpdir_); }

  Bench bench_;
  stdfs::path tmpdir_;
  std::optional<support::ScopedEnv> tmpdirSet_;
};

TEST_P(DamagedJetFile, UpdateStopsTheWindowGoesOnAndNothingIsLeftBehind) {
  const stdfs::path damaged = bench_.lab().host(kDamaged);
  stdfs::create_directories(damaged.parent_path());
  jetfile::test::writeDamagedCopy(kFixtures / jetfile::test::kUsageMapFixture,
                                  jetfile::test::kUsageMapOfLengthZero, damaged);
  const std::string damagedBytes = bench_.bytesOf(kDamaged);
  const std::string systemBytes = bench_.bytesOf(workflow::kSystemDatabase);

  // Folders a killed run left behind, a Jet file's copy and a settled
  // source: the next open removes both.
  for (const char* left : {"korvane-jet-Left01", "korvane-source-Left02"}) {
    stdfs::create_directory(tmpdir_ / left);
    support::writeFile(tmpdir_ / left / "copy.sqlite", "left by a killed run");
  }

  bench_.chooseExternal(kDamaged);
  const workflow::DialogState before = bench_.state();
  bench_.click(workflow::kUpdate);
  EXPECT_TRUE(bench_.state() == before) << "a stopped Update changed the window";
  EXPECT_FALSE(bench_.frame().closed());
  EXPECT_TRUE(tmpdirIsEmpty()) << "the import left files in the temporary folder";
  EXPECT_TRUE(sameBytes(bench_.bytesOf(kDamaged), damagedBytes));
  EXPECT_TRUE(sameBytes(bench_.bytesOf(workflow::kSystemDatabase), systemBytes));

  // The window goes on: a sound file chosen next updates, then Close commits.
  stdfs::copy_file(kFixtures / "testV1997.mdb", bench_.lab().host(kSound));
  bench_.chooseExternal(kSound);
  bench_.click(workflow::kUpdate);
  EXPECT_TRUE(bench_.state().command(workflow::kClose).visible) << "Update of a sound file stopped";
  bench_.click(workflow::kClose);
  EXPECT_TRUE(bench_.frame().closed());
  EXPECT_TRUE(tmpdirIsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Helpers, DamagedJetFile,
                         ::testing::Values(KORVANE_JET_IMPORT_HELPER, KORVANE_JET_IMPORT_UNCHECKED),
                         [](const auto& info) {
                           return std::string(info.index == 0 ? "Checked"
                                                              : "ChecksOffLibmdbCrashes");
                         });

}  // namespace
}  // namespace korvane::reliability
