// Update replaces every user's copy of a standard material, whatever its
// letter case and trailing spaces, with and without an index on the
// materials' names: the result must not depend on the plan SQLite picks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lab.h"
#include "workflow/naming.h"

namespace korvane::workflow {
namespace {

using testing::Column;
using testing::kWorking;
using testing::Lab;

struct NameIndex {
  const char* name;
  std::vector<std::string> statements;  // run on the template before Update
};

void PrintTo(const NameIndex& index, std::ostream* out) {
  *out << index.name;
}

class MaterialsSwap : public ::testing::TestWithParam<NameIndex> {};

TEST_P(MaterialsSwap, UsersCopiesGiveWayWhateverTheirCaseAndTrailingSpaces) {
  Lab lab;
  lab.installSystemFiles();
  std::vector<std::string> templateChanges = GetParam().statements;
  templateChanges.push_back("INSERT INTO [Standard Materials] VALUES ('Glass Beads', 2.5)");
  lab.alter(kTemplateDatabase, templateChanges);
  lab.alter(kSystemDatabase, {"INSERT INTO Materials VALUES ('Glass Beads ', 1.0)",
                              "INSERT INTO Materials VALUES ('GLASS BEADS', 1.1)",
                              "INSERT INTO Materials VALUES ('glass  beads', 1.2)"});
  lab.chooseSystemDatabase();
  lab.frame().commandClick(kUpdate);
  ASSERT_FALSE(lab.state().command(kUpdate).visible) << "Update did not complete";
  // The user's own materials in the order they came, then the standard ones.
  EXPECT_EQ(lab.column(kWorking,
                       "SELECT '[' || Name || '] ' || printf('%g', Density) FROM Materials "
                       "ORDER BY rowid"),
            (Column{"[MyClay] 1.9", "[glass  beads] 1.2", "[Quartz] 2.65", "[Calcite] 2.71",
                    "[Glass Beads] 2.5"}));
}

INSTANTIATE_TEST_SUITE_P(
    Templates, MaterialsSwap,
    ::testing::Values(NameIndex{"NoIndexOnName", {}},
                      NameIndex{
                          "NamesIndexed",
                          {"CREATE UNIQUE INDEX MaterialName ON Materials (Name)",
                           "CREATE UNIQUE INDEX StandardName ON [Standard Materials] (Name)"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvane::workflow
