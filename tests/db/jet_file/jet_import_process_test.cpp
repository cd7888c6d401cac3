// The Jet import in its helper process: sound files come across as they do
// in-process; damage the checks find comes back as the helper's own 3343;
// a crash of libmdb (the checks off), a hang and each limit come back as 3343
// saying what happened; the target never stays behind a failure.
#include "db/jet_file/jet_import_process.h"

#include <gtest/gtest.h>

#include <optional>

#include "damaged_copy.h"
#include "db/jet_file/jet_file.h"
#include "sqlite/sql_text.h"
#include "support/failure_of.h"
#include "support/files.h"
#include "support/scoped_process.h"
#include "support/sqlite_file.h"
#include "support/temp_prefix.h"

namespace korvane::db::jetfile {
namespace {

namespace stdfs = std::filesystem;
using namespace std::chrono_literals;

const stdfs::path kFixtures = KORVANE_JET_FIXTURES;
const stdfs::path kHelper = KORVANE_JET_IMPORT_HELPER;
const stdfs::path kUnchecked = KORVANE_JET_IMPORT_UNCHECKED;
constexpr char kName[] = "C:\\lab\\chosen.mdb";

using Refusal = support::Caught;

// Each table's definition and row count.
std::string contentOf(const stdfs::path& file) {
  std::string content;
  for (const auto& table :
       support::readRows(file, "SELECT name, sql FROM sqlite_master ORDER BY rowid"))
    content += table[1] + ": " +
               support::readValue(file, "SELECT count(*) FROM " + sqlite::quoteName(table[0])) +
               "\n";
  return content;
}

class JetImportProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(stdfs::is_directory(kFixtures)) << "the Jet fixtures are missing: " << kFixtures;
    useJetImportHelperForTesting(kHelper);
  }
  void TearDown() override { useJetImportHelperForTesting(kHelper); }

  stdfs::path copyOf(const std::string& fixture,
                     const std::vector<test::ByteChange>& changes = {}) {
    const stdfs::path copy = folder_.path() / fixture;
    test::writeDamagedCopy(kFixtures / fixture, changes, copy);
    return copy;
  }
  Refusal refusalOf(const stdfs::path& jetFile) {
    const Refusal refusal =
        support::failureOf([&] { importJetFileInHelper(jetFile, target(), kName); });
    EXPECT_NE(refusal.number, 0) << jetFile << " was imported";
    EXPECT_FALSE(stdfs::exists(target())) << "the target outlived the failure";
    EXPECT_FALSE(stdfs::exists(target().string() + "-journal"));
    return refusal;
  }
  stdfs::path target() const { return folder_.path() / "copy.sqlite"; }

  const support::TempFolder folder_;
  std::optional<support::ScopedEnv> helperMode_;
};

TEST_F(JetImportProcess, SoundFilesComeAcrossAsTheyDoInProcess) {
  for (const char* fixture :
       {"testV1997.mdb", "test2V2000.mdb", "indexTestV2000.mdb", "testIndexPropertiesV2000.mdb",
        "testUnicodeCompV2003.mdb", "functionsV2000.mdb"}) {
    SCOPED_TRACE(fixture);
    const stdfs::path file = copyOf(fixture);
    const stdfs::path inProcess = folder_.path() / "in-process.sqlite";
    importJetFileToNewDatabase(file, inProcess);
    importJetFileInHelper(file, target(), kName);
    EXPECT_EQ(contentOf(target()), contentOf(inProcess));
    EXPECT_FALSE(contentOf(target()).empty());
    stdfs::remove(target());
    stdfs::remove(inProcess);
  }
}

TEST_F(JetImportProcess, TheHelpersOwnFailuresComeBackWithTheirNumberAndText) {
  const Refusal damaged = refusalOf(copyOf(test::kUsageMapFixture, test::kUsageMapOfLengthZero));
  EXPECT_EQ(damaged.number, 3343);
  EXPECT_EQ(damaged.text.rfind(std::string("Unrecognized database format '") + kName + "'.", 0), 0u)
      << damaged.text;
  EXPECT_NE(damaged.text.find("(the usage map of table 'Table1' is empty)"), std::string::npos)
      << damaged.text;

  EXPECT_EQ(refusalOf(folder_.path() / "missing.mdb").number, 3024);
  support::writeFile(target(), "in the way");
  EXPECT_EQ(support::failureOf([&] {
              importJetFileInHelper(copyOf("testV1997.mdb"), target(), kName);
            }).number,
            3204)
      << "an existing target was overwritten";
}

// Without the checks the same file crashes libmdb: the helper dies, the
// caller does not.
TEST_F(JetImportProcess, ACrashOfLibmdbIsRefusedWith3343SayingSo) {
  useJetImportHelperForTesting(kUnchecked);
  const Refusal crash = refusalOf(copyOf(test::kUsageMapFixture, test::kUsageMapOfLengthZero));
  EXPECT_EQ(crash.number, 3343);
  EXPECT_EQ(crash.text.rfind(
                std::string("Unrecognized database format '") + kName + "'. (reading it ", 0),
            0u)
      << crash.text;
#if !defined(__SANITIZE_ADDRESS__)
  EXPECT_NE(crash.text.find("crashed (signal 11, Segmentation fault)"), std::string::npos)
      << crash.text;
#endif
}

struct LimitCase {
  const char* name;
  fs::ChildLimits limits;
  bool hang;
  const char* saying;
};

void PrintTo(const LimitCase& c, std::ostream* out) {
  *out << c.name;
}

const LimitCase kLimits[] = {
    {"WallClock", {0, 0, 0s, 300ms}, true, "reading it was stopped after 0.3 s"},
    {"FileSize",
     {0, 16 << 10, 0s, 20s},
     false,
     "reading it was stopped by its limit of 16 KB on the file it writes"},
};

class JetImportLimit : public JetImportProcess, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(JetImportLimit, StopsTheHelperAndIsRefusedWith3343SayingWhich) {
  const LimitCase& c = GetParam();
  if (c.hang) {
    helperMode_.emplace("KORVANE_TEST_HELPER", "hang");
    useJetImportHelperForTesting(kUnchecked, &c.limits);
  } else {
    useJetImportHelperForTesting(kHelper, &c.limits);
  }
  const Refusal refusal = refusalOf(copyOf("test2V2000.mdb"));
  EXPECT_EQ(refusal.number, 3343);
  EXPECT_NE(refusal.text.find(c.saying), std::string::npos) << refusal.text;
}

INSTANTIATE_TEST_SUITE_P(Limits, JetImportLimit, ::testing::ValuesIn(kLimits),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(JetImportProcess, AMissingHelperIsRefusedWith3343NamingIt) {
  useJetImportHelperForTesting("");
  const Refusal missing = refusalOf(copyOf("testV1997.mdb"));
  EXPECT_EQ(missing.number, 3343);
  EXPECT_NE(missing.text.find("korvane-jet-import, is not installed"), std::string::npos)
      << missing.text;

  useJetImportHelperForTesting(folder_.path() / "korvane-jet-import");
  const Refusal unrunnable = refusalOf(copyOf("testV1997.mdb"));
  EXPECT_EQ(unrunnable.number, 3343);
  EXPECT_NE(unrunnable.text.find("could not start"), std::string::npos) << unrunnable.text;
}

// The build tree puts the helper beside the program; an installed tree
// (GNUInstallDirs) in libexec/korvane/ beside bin/.
TEST(JetImportHelperLocation, BesideTheProgramElseInLibexec) {
  const support::TempFolder folder;
  const stdfs::path root = folder.path();
  stdfs::create_directories(root / "bin");
  const stdfs::path program = root / "bin" / "korvane";
  EXPECT_EQ(jetImportHelperBeside(program), stdfs::path()) << "no helper anywhere";

  const stdfs::path installed = root / "libexec" / "korvane" / "korvane-jet-import";
  stdfs::create_directories(installed.parent_path());
  support::writeFile(installed, "#!/bin/sh\n");
  EXPECT_EQ(jetImportHelperBeside(program), installed);

  const stdfs::path beside = root / "bin" / "korvane-jet-import";
  support::writeFile(beside, "#!/bin/sh\n");
  EXPECT_EQ(jetImportHelperBeside(program), beside);

  stdfs::remove(beside);
  stdfs::create_directory(beside);  // a folder of that name is no helper
  EXPECT_EQ(jetImportHelperBeside(program), installed);
}

}  // namespace
}  // namespace korvane::db::jetfile
