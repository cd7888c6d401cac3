// Update with a real Jet file chosen as the external database: each fixture
// of tests/fixtures/jet (copied into the prefix) runs Update to its end.
// None holds the program's tables, so every transfer is skipped with 3078 and
// the working copy keeps the template's rows; the chosen file is never
// written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lab.h"
#include "workflow/naming.h"

namespace korvane::workflow {
namespace {

namespace stdfs = std::filesystem;
using testing::Column;
using testing::Lab;
using testing::samples;

const stdfs::path kFixtures = KORVANE_JET_FIXTURES_DIR;
const std::string kChosen = "D:\\Lab7\\QX_aco.mdb";
const std::string kWorkingCopy = "D:\\Lab7_261207_0843.mdb";
const std::string kExternalUpdated = testing::kUpdateChoices;

Column rowsOf(const Lab& lab, const std::string& file, const std::string& table) {
  return lab.column(file, "SELECT count(*) FROM " + table);
}

class JetSourceUpdate : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(stdfs::is_directory(kFixtures)) << "the Jet fixtures are missing: " << kFixtures;
  }
};

TEST_P(JetSourceUpdate, RunsToItsEndSkippingEveryTransferAndLeavesTheFileUnchanged) {
  Lab lab;
  lab.installSystemFiles();
  lab.makeFolder("D:\\Lab7");
  // A copy, so that a fault writing to it could never reach the shared fixture.
  stdfs::copy_file(kFixtures / GetParam(), lab.host(kChosen));
  const std::string chosen = lab.bytes(kChosen);
  const std::string system = lab.bytes(kSystemDatabase);
  lab.chooseExternal(kChosen);

  lab.frame().commandClick(kUpdate);
  ASSERT_EQ(lab.state().instructions, kExternalUpdated) << "Update stopped before its end";
  EXPECT_EQ(lab.context().sourcePath, kChosen);
  EXPECT_EQ(lab.context().workingPath, kWorkingCopy);
  // Nothing was poured in: the working copy has the template's rows.
  EXPECT_EQ(samples(lab, kWorkingCopy), samples(lab, kTemplateDatabase));
  for (const char* table : {"Experiments", "Measurements", "Users"})
    EXPECT_EQ(rowsOf(lab, kWorkingCopy, table), rowsOf(lab, kTemplateDatabase, table)) << table;
  EXPECT_EQ(lab.bytes(kChosen), chosen);

  lab.frame().commandClick(kClose);
  EXPECT_TRUE(lab.frame().closed());
  EXPECT_EQ(lab.state().instructions, "Your database file has been updated");
  EXPECT_TRUE(lab.exists(kWorkingCopy));
  EXPECT_EQ(lab.bytes(kChosen), chosen);
  EXPECT_EQ(lab.bytes(kSystemDatabase), system);
}

INSTANTIATE_TEST_SUITE_P(EveryFixture, JetSourceUpdate,
                         ::testing::Values("testV1997.mdb", "test2V2000.mdb", "indexTestV2000.mdb",
                                           "testIndexPropertiesV2000.mdb",
                                           "testUnicodeCompV2003.mdb", "functionsV2000.mdb"),
                         [](const auto& info) {
                           std::string name = info.param;
                           return name.substr(0, name.find('.'));
                         });

}  // namespace
}  // namespace korvane::workflow
