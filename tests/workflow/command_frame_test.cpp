// The command frame on its own: the error policy, the pointer around every
// press, and the presses that need no database.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "fs/failure.h"
#include "lab.h"
#include "workflow/command_frame.h"
#include "workflow/naming.h"

namespace korvane::workflow {
namespace {

using testing::Lab;
using Heard = std::vector<std::string>;

struct PolicyCase {
  int number;
  bool goesOn;
};

void PrintTo(const PolicyCase& policy, std::ostream* out) {
  *out << policy.number;
}

class ErrorPolicy : public ::testing::TestWithParam<PolicyCase> {};

TEST_P(ErrorPolicy, OnlyAMissingInputTableLetsTheActionGoOn) {
  std::vector<int> ran;
  int shown = 0;
  const std::vector<Step> steps = {
      [&] { ran.push_back(1); },
      [&] {
        ran.push_back(2);
        throw Failure(GetParam().number, "failing step");
      },
      [&] { ran.push_back(3); },
  };
  const bool completed = runSteps(steps, [&] { ++shown; });
  EXPECT_EQ(completed, GetParam().goesOn);
  if (GetParam().goesOn) {
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(shown, 3);
  } else {
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
    EXPECT_EQ(shown, 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Numbers, ErrorPolicy,
                         ::testing::Values(PolicyCase{3078, true}, PolicyCase{3024, false},
                                           PolicyCase{3127, false}, PolicyCase{3192, false},
                                           PolicyCase{3265, false}, PolicyCase{5, false},
                                           PolicyCase{53, false}, PolicyCase{58, false},
                                           PolicyCase{70, false}, PolicyCase{76, false}),
                         [](const auto& info) {
                           return "Error" + std::to_string(info.param.number);
                         });

TEST(ErrorPolicyFaults, AFaultThatIsNoFailureIsNotSwallowed) {
  bool thirdRan = false;
  const std::vector<Step> steps = {[] {}, [] { throw std::logic_error("a bug, not a failure"); },
                                   [&] { thirdRan = true; }};
  EXPECT_THROW(runSteps(steps), std::logic_error);
  EXPECT_FALSE(thirdRan);
}

TEST(CommandClick, AnUnknownIndexChangesNothingButThePointer) {
  Lab lab;
  lab.chooseSystemDatabase();
  const DialogState before = lab.state();
  for (int index : {-1, 2, 5, 8, 12, 99}) {
    lab.forget();
    lab.frame().commandClick(index);
    EXPECT_EQ(lab.heard(), (Heard{"busy", "default"})) << index;
    EXPECT_EQ(lab.state(), before) << index;
    EXPECT_FALSE(lab.frame().closed()) << index;
  }
  EXPECT_TRUE(lab.context().workingPath.empty());
  EXPECT_TRUE(std::filesystem::is_empty(lab.host("C:\\data_aco\\Backup")));
}

TEST(CommandClick, UpdateWithNothingChosenChangesNothingButThePointer) {
  Lab lab;
  lab.chooseSystemDatabase();
  lab.context().selectedPath.clear();
  const DialogState before = lab.state();
  lab.frame().commandClick(kUpdate);
  EXPECT_EQ(lab.heard(), (Heard{"busy", "default"}));
  EXPECT_EQ(lab.state(), before);
  EXPECT_TRUE(lab.context().sourcePath.empty());
  EXPECT_TRUE(lab.context().workingPath.empty());
  EXPECT_TRUE(lab.context().sql.empty());
  EXPECT_EQ(lab.context().db, nullptr);
  EXPECT_TRUE(std::filesystem::is_empty(lab.host("C:\\data_aco\\Backup")));
}

TEST(CommandClick, ExitRightAfterStartUpDeletesNothingAndClosesTheWindow) {
  Lab lab;
  lab.chooseSystemDatabase();
  const std::filesystem::path marker = lab.host("C:\\data_aco\\Backup\\keep.txt");
  std::ofstream(marker) << "kept";
  lab.frame().commandClick(kExitWithoutUpdate);
  EXPECT_TRUE(lab.frame().closed());
  EXPECT_EQ(lab.state().instructions, "Your database update has been abandoned");
  // The text shows while busy; once closed, nothing touches the window.
  EXPECT_EQ(lab.heard(), (Heard{"busy", "busy", "close"}));
  EXPECT_TRUE(std::filesystem::exists(marker));

  lab.forget();
  lab.frame().commandClick(kExitWithoutUpdate);
  lab.frame().commandClick(kUpdate);
  EXPECT_TRUE(lab.heard().empty()) << "a closed window took a press";
}

}  // namespace
}  // namespace korvane::workflow
