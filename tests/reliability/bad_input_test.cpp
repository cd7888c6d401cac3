// Bad input: the file the user chooses (or the state of the folders) is not
// what Update expects. Each row says whether Update must stop or complete;
// either way nothing crashes, the chosen file and the system database keep
// their bytes, and Exit without update still ends the program.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

#include "bench.h"
#include "db/engine/database_engine.h"
#include "support/files.h"
#include "support/scoped_process.h"
#include "support/sqlite_file.h"
#include "workflow/dialog_state.h"
#include "workflow/naming.h"

namespace korvane::reliability {
namespace {

namespace stdfs = std::filesystem;
using workflow::kSystemDatabase;

enum class Outcome { kStops, kCompletes };

struct BadInput {
  const char* name;
  // Puts the input in place; returns the chosen file, or "" for the system
  // database.
  std::function<std::string(Bench&)> prepare;
  Outcome expected;
};

// Test listings name a row by its name, not its bytes.
void PrintTo(const BadInput& input, std::ostream* out) {
  *out << input.name;
}

void writeFile(Bench& bench, const std::string& windowsPath, const std::string& bytes) {
  const stdfs::path host = bench.lab().host(windowsPath);
  stdfs::create_directories(host.parent_path());
  support::writeFile(host, bytes);
}

// A copy of the old system database under another name.
std::string copyOfOldDatabase(Bench& bench, const std::string& windowsPath) {
  writeFile(bench, windowsPath, bench.lab().bytes(kSystemDatabase));
  return windowsPath;
}

const BadInput kBadInputs[] = {
    {"EmptyFile",
     [](Bench& b) {
       writeFile(b, "C:\\input\\empty.mdb", "");
       return std::string("C:\\input\\empty.mdb");
     },
     Outcome::kStops},
    {"TextFile",
     [](Bench& b) {
       writeFile(b, "C:\\input\\notes.mdb", "Sample 1: 4.2 g\r\nSample 2: 3.9 g\r\n");
       return std::string("C:\\input\\notes.mdb");
     },
     Outcome::kStops},
    {"TruncatedDatabase",
     [](Bench& b) {
       writeFile(b, "C:\\input\\truncated.mdb", b.lab().bytes(kSystemDatabase).substr(0, 5000));
       return std::string("C:\\input\\truncated.mdb");
     },
     Outcome::kStops},
    {"DatabaseWithNoneOfTheTables",
     [](Bench& b) {
       const std::string path = "C:\\input\\unrelated.mdb";
       writeFile(b, path, "");
       support::runSql(b.lab().host(path), "CREATE TABLE Invoices (Number INTEGER)");
       return path;
     },
     Outcome::kCompletes},
    {"Folder",
     [](Bench& b) {
       b.lab().makeFolder("C:\\input\\folder.mdb");
       return std::string("C:\\input\\folder.mdb");
     },
     Outcome::kStops},
    {"PathWithQuote", [](Bench& b) { return copyOfOldDatabase(b, "C:\\input\\O'Brien's lab.mdb"); },
     Outcome::kCompletes},
    {"PathWithSpacesAndAccents",
     [](Bench& b) {
       return copyOfOldDatabase(b,
                                "C:\\Donn\xC3\xA9"
                                "es du labo\\mesures d'\xC3\xA9t\xC3\xA9 2026.mdb");
     },
     Outcome::kCompletes},
    {"PathOf300Characters",
     [](Bench& b) {
       std::string path = "C:\\input";
       while (path.size() < 280) path += "\\" + std::string(40, 'd');
       path += "\\" + std::string(300 - path.size() - 5, 'f') + ".mdb";
       EXPECT_EQ(path.size(), 300u);
       return copyOfOldDatabase(b, path);
     },
     Outcome::kCompletes},
    {"ReadOnlyWorkingFolder",
     [](Bench& b) {
       // An 11-character name puts the working copy in the same folder.
       const std::string path = copyOfOldDatabase(b, "C:\\locked\\lab_data.mdb");
       stdfs::permissions(b.lab().host("C:\\locked"),
                          stdfs::perms::owner_read | stdfs::perms::owner_exec |
                              stdfs::perms::group_read | stdfs::perms::others_read);
       return path;
     },
     Outcome::kStops},
};

class BadInputTest : public ::testing::TestWithParam<BadInput> {};

TEST_P(BadInputTest, UpdateStopsOrCompletesAsPrescribedAndChangesNoInput) {
  Bench bench;
  const std::string chosen = GetParam().prepare(bench);
  const std::string chosenBytes = bench.bytesOf(chosen);
  const std::string systemBytes = bench.bytesOf(kSystemDatabase);
  bench.chooseExternal(chosen);
  const workflow::DialogState before = bench.state();
  {
    support::WithoutPermissionOverride asAnyUser;
    bench.click(workflow::kUpdate);
  }
  const bool completed = bench.state().command(workflow::kClose).visible;
  EXPECT_EQ(completed, GetParam().expected == Outcome::kCompletes);
  if (!completed) {
    EXPECT_TRUE(bench.state() == before) << "a stopped Update changed the window";
  }
  if (completed) {
    const std::string working = bench.frame().context().workingPath;
    EXPECT_EQ(bench.integrityOf(working), "ok");
    EXPECT_TRUE(bench.lab().hasTable(working, "Samples"));
  }
  EXPECT_TRUE(sameBytes(bench.bytesOf(chosen), chosenBytes)) << "the chosen file changed";
  EXPECT_TRUE(sameBytes(bench.bytesOf(kSystemDatabase), systemBytes))
      << "the system database changed";
  bench.click(workflow::kExitWithoutUpdate);
  EXPECT_TRUE(bench.frame().closed());
  EXPECT_TRUE(sameBytes(bench.bytesOf(chosen), chosenBytes));
  stdfs::permissions(bench.lab().prefix() / "drive_c", stdfs::perms::owner_all,
                     stdfs::perm_options::add);
  for (const auto& entry : stdfs::recursive_directory_iterator(bench.lab().prefix() / "drive_c")) {
    if (entry.is_directory())
      stdfs::permissions(entry.path(), stdfs::perms::owner_all, stdfs::perm_options::add);
  }
}

INSTANTIATE_TEST_SUITE_P(Inputs, BadInputTest, ::testing::ValuesIn(kBadInputs),
                         [](const auto& info) { return std::string(info.param.name); });

// Another program holds the system database (an open database handle).
TEST(HeldSystemDatabase, UpdateStopsAndCloseNeverClaimsACommitItCouldNotMake) {
  Bench bench;
  const std::string oldBytes = bench.bytesOf(kSystemDatabase);
  bench.chooseSystemDatabase();
  db::DatabaseEngine otherProgram{fs::PathMap(bench.lab().prefix())};
  {
    std::unique_ptr<db::Database> held = otherProgram.openDatabase(kSystemDatabase);
    const workflow::DialogState before = bench.state();
    bench.click(workflow::kUpdate);
    EXPECT_TRUE(bench.state() == before);
    EXPECT_EQ(bench.bytesOf(workflow::testing::kBackup), kMissing);
  }
  bench.click(workflow::kUpdate);
  ASSERT_TRUE(bench.state().command(workflow::kClose).visible);
  const std::string newBytes = bench.bytesOf(workflow::testing::kWorking);
  {
    std::unique_ptr<db::Database> held = otherProgram.openDatabase(kSystemDatabase);
    bench.click(workflow::kClose);
    EXPECT_FALSE(bench.frame().closed());
    EXPECT_NE(bench.state().instructions, "Your database file has been updated");
    EXPECT_TRUE(sameBytes(bench.bytesOf(workflow::testing::kWorking), newBytes));
  }
  EXPECT_TRUE(sameBytes(bench.bytesOf(kSystemDatabase), oldBytes));
  bench.click(workflow::kClose);
  EXPECT_TRUE(bench.frame().closed());
  EXPECT_TRUE(sameBytes(bench.bytesOf(kSystemDatabase), newBytes));
  EXPECT_TRUE(sameBytes(bench.bytesOf(workflow::testing::kBackup), oldBytes));
}

}  // namespace
}  // namespace korvane::reliability
