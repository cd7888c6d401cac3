// The Jet import in its helper process: sound files come across as they do
// in-process; damage the checks find comes back as the helper's own 3343;
// a crash of libmdb (the checks off), a hang and each limit come back as 3343
// saying what happened; the target never stays behind a failure.
#include "db/jet_file/jet_import_process.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "damaged_copy.h"
#include "db/jet_file/jet_file.h"
#include "fs/failure.h"

namespace korvane::db {
namespace {

namespace stdfs = std::filesystem;
using namespace std::chrono_literals;

const stdfs::path kFixtures = KORVANE_JET_FIXTURES;
const stdfs::path kHelper = KORVANE_JET_IMPORT_HELPER;
const stdfs::path kUnchecked = KORVANE_JET_IMPORT_UNCHECKED;
constexpr char kName[] = "C:\\lab\\chosen.mdb";

struct Refusal {
  int number = 0;
  std::string text;
};

// Each table's definition and row count.
std::string contentOf(const stdfs::path& file) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  std::string content;
  sqlite3_stmt* tables = nullptr;
  sqlite3_prepare_v2(db, "SELECT name, sql FROM sqlite_master ORDER BY rowid", -1, &tables,
                     nullptr);
  while (tables && sqlite3_step(tables) == SQLITE_ROW) {
    const std::string name = reinterpret_cast<const char*>(sqlite3_column_text(tables, 0));
    sqlite3_stmt* count = nullptr;
    sqlite3_prepare_v2(db, ("SELECT count(*) FROM \"" + name + "\"").c_str(), -1, &count, nullptr);
    sqlite3_step(count);
    content += reinterpret_cast<const char*>(sqlite3_column_text(tables, 1)) + std::string(": ") +
               std::to_string(sqlite3_column_int(count, 0)) + "\n";
    sqlite3_finalize(count);
  }
  sqlite3_finalize(tables);
  sqlite3_close(db);
  return content;
}

class JetImportProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!stdfs::is_directory(kFixtures)) GTEST_SKIP() << "no Jet fixtures at " << kFixtures;
    folder_ = stdfs::temp_directory_path() / ("korvane_jet_process_" + std::to_string(::getpid()));
    stdfs::create_directories(folder_);
    useJetImportHelperForTesting(kHelper);
  }
  void TearDown() override {
    useJetImportHelperForTesting(kHelper);
    ::unsetenv("KORVANE_TEST_HELPER");
    if (!folder_.empty()) stdfs::remove_all(folder_);
  }

  stdfs::path copyOf(const std::string& fixture,
                     const std::vector<test::ByteChange>& changes = {}) {
    const stdfs::path copy = folder_ / fixture;
    test::writeDamagedCopy(kFixtures / fixture, changes, copy);
    return copy;
  }
  Refusal refusalOf(const stdfs::path& jetFile) {
    Refusal refusal;
    try {
      importJetFileInHelper(jetFile, target(), kName);
      ADD_FAILURE() << jetFile << " was imported";
    } catch (const Failure& failure) {
      refusal = {failure.number(), failure.text()};
    }
    EXPECT_FALSE(stdfs::exists(target())) << "the target outlived the failure";
    EXPECT_FALSE(stdfs::exists(target().string() + "-journal"));
    return refusal;
  }
  stdfs::path target() const { return folder_ / "copy.sqlite"; }

  stdfs::path folder_;
};

TEST_F(JetImportProcess, SoundFilesComeAcrossAsTheyDoInProcess) {
  for (const char* fixture :
       {"testV1997.mdb", "test2V2000.mdb", "indexTestV2000.mdb", "testIndexPropertiesV2000.mdb",
        "testUnicodeCompV2003.mdb", "functionsV2000.mdb"}) {
    SCOPED_TRACE(fixture);
    const stdfs::path file = copyOf(fixture);
    const stdfs::path inProcess = folder_ / "in-process.sqlite";
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
  EXPECT_NE(damaged.text.find("usage map of table"), std::string::npos) << damaged.text;

  EXPECT_EQ(refusalOf(folder_ / "missing.mdb").number, 3024);
  std::ofstream(target()) << "in the way";
  try {
    importJetFileInHelper(copyOf("testV1997.mdb"), target(), kName);
    ADD_FAILURE() << "an existing target was overwritten";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.number(), 3204);
  }
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
    ::setenv("KORVANE_TEST_HELPER", "hang", 1);
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

  useJetImportHelperForTesting(folder_ / "korvane-jet-import");
  const Refusal unrunnable = refusalOf(copyOf("testV1997.mdb"));
  EXPECT_EQ(unrunnable.number, 3343);
  EXPECT_NE(unrunnable.text.find("could not start"), std::string::npos) << unrunnable.text;
}

// The build tree puts the helper beside the program; an installed tree
// (GNUInstallDirs) in libexec/korvane/ beside bin/.
TEST(JetImportHelperLocation, BesideTheProgramElseInLibexec) {
  const stdfs::path root =
      stdfs::temp_directory_path() / ("korvane_helper_" + std::to_string(::getpid()));
  stdfs::create_directories(root / "bin");
  const stdfs::path program = root / "bin" / "korvane";
  EXPECT_EQ(jetImportHelperBeside(program), stdfs::path()) << "no helper anywhere";

  const stdfs::path installed = root / "libexec" / "korvane" / "korvane-jet-import";
  stdfs::create_directories(installed.parent_path());
  std::ofstream(installed) << "#!/bin/sh\n";
  EXPECT_EQ(jetImportHelperBeside(program), installed);

  const stdfs::path beside = root / "bin" / "korvane-jet-import";
  std::ofstream(beside) << "#!/bin/sh\n";
  EXPECT_EQ(jetImportHelperBeside(program), beside);

  stdfs::remove(beside);
  stdfs::create_directory(beside);  // a folder of that name is no helper
  EXPECT_EQ(jetImportHelperBeside(program), installed);
  stdfs::remove_all(root);
}

}  // namespace
}  // namespace korvane::db
