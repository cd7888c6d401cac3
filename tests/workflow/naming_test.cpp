// The fixed names of an Update run and the dialog state as designed.
#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <string>

#include "fs/failure.h"
#include "workflow/dialog_state.h"
#include "workflow/naming.h"

namespace korvane::workflow {
namespace {

TEST(Naming, SystemNamesSitInTheBackupFolderUnderTheStamp) {
  const RunNames names = systemNames("261207_0843");
  EXPECT_EQ(names.sourcePath, "C:\\data_aco\\Backup\\QX_aco_261207_0843.mdb");
  EXPECT_EQ(names.workingPath, "C:\\data_aco\\Backup\\QX_aco_261207_0843_update.mdb");
}

struct ExternalCase {
  std::string selected;
  std::string working;
};

void PrintTo(const ExternalCase& path, std::ostream* out) {
  *out << path.selected;
}

class ExternalNaming : public testing::TestWithParam<ExternalCase> {};

TEST_P(ExternalNaming, CutsElevenCharactersAndAddsTheStamp) {
  const RunNames names = externalNames(GetParam().selected, "261207_0843");
  EXPECT_EQ(names.sourcePath, GetParam().selected);
  EXPECT_EQ(names.workingPath, GetParam().working);
}

INSTANTIATE_TEST_SUITE_P(Paths, ExternalNaming,
                         testing::Values(
                             // The standard name: the copy lands beside the folder, named after it.
                             ExternalCase{"D:\\Lab7\\QX_aco.mdb", "D:\\Lab7_261207_0843.mdb"},
                             // Any other name loses its last eleven characters all the same.
                             ExternalCase{"D:\\x\\mydata.mdb", "D:\\x_261207_0843.mdb"},
                             // A file in a drive's root gives a drive-relative name.
                             ExternalCase{"E:\\QX_aco.mdb", "E:_261207_0843.mdb"},
                             // Exactly eleven characters leave nothing before the stamp.
                             ExternalCase{"\\QX_aco.mdb", "_261207_0843.mdb"},
                             // The system path spelled in another letter case is an external one.
                             ExternalCase{"C:\\DATA_ACO\\QX_aco.mdb",
                                          "C:\\DATA_ACO_261207_0843.mdb"},
                             // Characters, not bytes: accented letters are counted whole.
                             ExternalCase{"D:\\Messung\\Größ_ä.mdb", "D:\\Messung_261207_0843.mdb"},
                             ExternalCase{"D:\\Labör\\QX_aco.mdb", "D:\\Labör_261207_0843.mdb"}));

TEST(Naming, PathShorterThanElevenCharactersIsAnInvalidArgument) {
  for (const std::string shortPath : {"", "D:\\a.mdb", "C:\\abc.mdb", "D:\\ä_ö.mdb"}) {
    try {
      externalNames(shortPath, "261207_0843");
      ADD_FAILURE() << "no failure for '" << shortPath << "'";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.number(), fserr::kInvalidArgument) << shortPath;
    }
  }
}

TEST(DialogStateDesign, StartsAsTheWindowIsDesigned) {
  const DialogState state;
  EXPECT_EQ(state.instructions, " ");
  EXPECT_EQ(state.pointer, Pointer::kDefault);
  EXPECT_TRUE(state.frameEnabled);
  for (int option : {kSystemOption, kExternalOption}) {
    EXPECT_FALSE(state.options[option].selected) << option;
    EXPECT_TRUE(state.options[option].enabled) << option;
  }
  EXPECT_TRUE(state.command(kUpdate).visible);
  EXPECT_TRUE(state.command(kDeleteOrphans).visible);
  EXPECT_FALSE(state.command(kSetNull).visible);
  EXPECT_FALSE(state.command(kClose).visible);
  EXPECT_FALSE(state.command(kExitWithoutUpdate).visible);
  for (Command index : {kClose, kExitWithoutUpdate, kUpdate, kDeleteOrphans, kSetNull}) {
    EXPECT_TRUE(state.command(index).enabled) << index;
  }
}

TEST(DialogStateDesign, OnlyTheFiveCommandIndicesExist) {
  DialogState state;
  for (int index = -1; index <= 13; ++index) {
    const bool known = index == 0 || index == 1 || index == 9 || index == 10 || index == 11;
    EXPECT_EQ(commandAt(index).has_value(), known) << index;
    if (known) {
      EXPECT_EQ(*commandAt(index), index) << "a command carries its index";
      EXPECT_NO_THROW(state.command(*commandAt(index))) << index;
    } else {
      EXPECT_THROW(state.command(static_cast<Command>(index)), std::out_of_range) << index;
    }
  }
  // Each index has flags of its own.
  state.command(kSetNull).enabled = false;
  EXPECT_TRUE(state.command(kDeleteOrphans).enabled);
  EXPECT_TRUE(state.command(kClose).enabled);
}

}  // namespace
}  // namespace korvane::workflow
