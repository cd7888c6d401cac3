// The window's states as the actions move it between them: every press from
// every state where its button shows, on real files.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "fs/file_hold.h"
#include "lab.h"
#include "workflow/naming.h"

namespace korvane::workflow {
namespace {

using testing::Lab;

// The state the window shows: S system chosen, E external chosen, N nothing
// chosen, U updated, D orphans deleted, Z1 zeros replaced first, Z2 zeros
// replaced last; "?" with the details when it is none of them.
std::string stateOf(const Lab& lab) {
  if (lab.closed()) return "closed";
  const DialogState& state = lab.state();
  std::set<int> visible;
  for (Command index : {kClose, kExitWithoutUpdate, kUpdate, kDeleteOrphans, kSetNull}) {
    if (!state.command(index).visible) continue;
    if (!state.command(index).enabled) return "? " + std::to_string(index) + " shown disabled";
    visible.insert(index);
  }
  const bool system = state.options[kSystemOption].selected;
  const bool external = state.options[kExternalOption].selected;
  if (state.frameEnabled) {
    if (visible == std::set<int>{kUpdate, kExitWithoutUpdate} && system && !external) return "S";
    if (visible == std::set<int>{kUpdate, kExitWithoutUpdate} && external && !system) return "E";
    if (visible == std::set<int>{kExitWithoutUpdate} && !system && !external) return "N";
  } else {
    const std::set<int> finishing = {kClose, kExitWithoutUpdate};
    std::set<int> cleanUps;
    for (int index : visible) {
      if (!finishing.contains(index)) cleanUps.insert(index);
    }
    const bool canFinish = visible.contains(kClose) && visible.contains(kExitWithoutUpdate);
    if (canFinish && cleanUps == std::set<int>{kDeleteOrphans, kSetNull}) return "U";
    if (canFinish && cleanUps == std::set<int>{kSetNull}) return "D";
    if (canFinish && cleanUps == std::set<int>{kDeleteOrphans}) return "Z1";
    if (canFinish && cleanUps.empty()) return "Z2";
  }
  return "? " + std::to_string(visible.size()) + " buttons, choice " +
         (state.frameEnabled ? "open" : "locked");
}

// Presses that lead from start-up to each state.
void reach(Lab& lab, const std::string& state) {
  if (state == "S") return lab.chooseSystemDatabase();
  if (state == "E") return lab.chooseExternal("D:\\Lab7\\QX_aco.mdb");
  if (state == "N") return lab.chooseNothing();
  if (state == "U") {
    reach(lab, "S");
    return lab.frame().commandClick(kUpdate);
  }
  if (state == "D") {
    reach(lab, "U");
    return lab.frame().commandClick(kDeleteOrphans);
  }
  if (state == "Z1") {
    reach(lab, "U");
    return lab.frame().commandClick(kSetNull);
  }
  if (state == "Z2") {
    reach(lab, "D");
    return lab.frame().commandClick(kSetNull);
  }
  FAIL() << "no way to " << state;
}

// What goes wrong before the press, if anything.
enum class Trouble { kNone, kTemplateMissing, kSystemDatabaseHeld };

struct Transition {
  const char* from;
  int command;
  Trouble trouble;
  const char* to;
};

TEST(WindowStates, EveryPressLeadsWhereTheStateTableSays) {
  const Transition table[] = {
      {"S", kUpdate, Trouble::kNone, "U"},
      {"E", kUpdate, Trouble::kNone, "U"},
      {"U", kDeleteOrphans, Trouble::kNone, "D"},
      {"Z1", kDeleteOrphans, Trouble::kNone, "D"},
      {"U", kSetNull, Trouble::kNone, "Z1"},
      {"D", kSetNull, Trouble::kNone, "Z2"},
      {"S", kExitWithoutUpdate, Trouble::kNone, "closed"},
      {"E", kExitWithoutUpdate, Trouble::kNone, "closed"},
      {"N", kExitWithoutUpdate, Trouble::kNone, "closed"},
      {"U", kExitWithoutUpdate, Trouble::kNone, "closed"},
      {"D", kExitWithoutUpdate, Trouble::kNone, "closed"},
      {"Z1", kExitWithoutUpdate, Trouble::kNone, "closed"},
      {"Z2", kExitWithoutUpdate, Trouble::kNone, "closed"},
      {"U", kClose, Trouble::kNone, "closed"},
      {"D", kClose, Trouble::kNone, "closed"},
      {"Z1", kClose, Trouble::kNone, "closed"},
      {"Z2", kClose, Trouble::kNone, "closed"},
      // An action that stops leaves the state as it was.
      {"S", kUpdate, Trouble::kTemplateMissing, "S"},
      {"E", kUpdate, Trouble::kTemplateMissing, "E"},
      {"U", kClose, Trouble::kSystemDatabaseHeld, "U"},
      {"Z2", kClose, Trouble::kSystemDatabaseHeld, "Z2"},
  };
  for (const Transition& row : table) {
    SCOPED_TRACE(std::string(row.from) + " press " + std::to_string(row.command));
    Lab lab;
    lab.installSystemFiles();
    lab.makeFolder("D:\\Lab7");
    lab.buildDatabase("D:\\Lab7\\QX_aco.mdb", "old_system.sql");
    reach(lab, row.from);
    ASSERT_EQ(stateOf(lab), row.from);
    std::unique_ptr<fs::FileHold> otherProgram;
    if (row.trouble == Trouble::kTemplateMissing) {
      std::filesystem::remove(lab.host(kTemplateDatabase));
    } else if (row.trouble == Trouble::kSystemDatabaseHeld) {
      otherProgram = fs::FileHold::acquire(lab.host(kSystemDatabase));
    }
    lab.frame().commandClick(row.command);
    EXPECT_EQ(stateOf(lab), row.to);
    // A closed window is not touched again, its pointer included.
    if (!lab.closed()) {
      EXPECT_EQ(lab.state().pointer, Pointer::kDefault);
    }
  }
}

}  // namespace
}  // namespace korvane::workflow
