// Fault injection: each action runs once per fault point (every file-service
// call with every fault that suits it, every write and every read of the
// engine), and after each run the files and the window must tell the truth:
// the system database is the old one byte for byte, or the new one only once
// Close's copy succeeded; a backup is never replaced; a stopped action
// leaves the state as it was; and the program can still finish the job.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "bench.h"
#include "faulty_vfs.h"
#include "workflow/dialog_state.h"
#include "workflow/naming.h"

namespace korvane::reliability {
namespace {

using workflow::kSystemDatabase;
using workflow::testing::kBackup;
using workflow::testing::kWorking;

constexpr const char* kCommitted = "Your database file has been updated";
constexpr const char* kAbandoned = "Your database update has been abandoned";

struct Scenario {
  const char* name;
  std::vector<int> before;  // clicks that run without faults
  int action;               // the click that meets the fault
  // After the fault the user presses Close at once instead of trying again.
  bool closeAtOnce = false;
};

const Scenario kScenarios[] = {
    {"Update", {}, workflow::kUpdate},
    {"DeleteOrphans", {workflow::kUpdate}, workflow::kDeleteOrphans},
    {"SetNull", {workflow::kUpdate}, workflow::kSetNull},
    {"SetNullAfterDeleteOrphans",
     {workflow::kUpdate, workflow::kDeleteOrphans},
     workflow::kSetNull},
    {"Close", {workflow::kUpdate}, workflow::kClose},
    {"CloseAfterCleaning",
     {workflow::kUpdate, workflow::kDeleteOrphans, workflow::kSetNull},
     workflow::kClose},
    {"ExitWithoutUpdate", {workflow::kUpdate}, workflow::kExitWithoutUpdate},
    {"DeleteOrphansThenCloseAtOnce", {workflow::kUpdate}, workflow::kDeleteOrphans, true},
    {"SetNullThenCloseAtOnce", {workflow::kUpdate}, workflow::kSetNull, true},
};

// Test listings name a scenario by its name, not its bytes.
void PrintTo(const Scenario& scenario, std::ostream* out) {
  *out << scenario.name;
}

std::span<const FileFault> faultsOf(FaultyFileServices::Kind kind) {
  switch (kind) {
    case FaultyFileServices::Kind::kCopy:
      return kCopyFaults;
    case FaultyFileServices::Kind::kDelete:
      return kDeleteFaults;
    case FaultyFileServices::Kind::kFlush:
      break;
  }
  return kFlushFaults;
}

// One way to break one run of the action.
struct Fault {
  enum class Where { kFileCall, kEngineWrite, kEngineRead } where;
  int index;
  FileFault fileFault = FileFault::kDiskFull;

  std::string describe() const {
    switch (where) {
      case Where::kFileCall:
        return "file call " + std::to_string(index) + " " + nameOf(fileFault);
      case Where::kEngineWrite:
        return "engine write " + std::to_string(index);
      case Where::kEngineRead:
        return "engine read " + std::to_string(index);
    }
    return "?";
  }
};

// The files and the window just before the action.
struct Before {
  std::string system;
  std::string backup;
  std::string working;
  workflow::DialogState state;
};

class FaultTest : public ::testing::TestWithParam<Scenario> {
 protected:
  // A bench that has run the scenario's clicks up to its action.
  std::unique_ptr<Bench> benchBeforeAction() {
    auto bench = std::make_unique<Bench>();
    bench->chooseSystemDatabase();
    for (int index : GetParam().before) bench->click(index);
    return bench;
  }

  // Where the action may be broken, found by counting a clean run, and what
  // the system database holds once the clean run is finished.
  std::vector<Fault> faultPoints(std::vector<std::string>& finalContent) {
    std::unique_ptr<Bench> bench = benchBeforeAction();
    bench->files().resetCounts();
    vfs_.resetCounts();
    bench->click(GetParam().action);
    std::vector<Fault> faults;
    for (int call = 0; call < bench->files().calls(); ++call) {
      const std::span<const FileFault> suited = faultsOf(bench->files().kindOf(call));
      for (FileFault fault : suited) faults.push_back({Fault::Where::kFileCall, call, fault});
    }
    for (int write = 0; write < vfs_.writes(); ++write) {
      faults.push_back({Fault::Where::kEngineWrite, write});
    }
    for (int read = 0; read < vfs_.reads(); ++read) {
      faults.push_back({Fault::Where::kEngineRead, read});
    }
    finish(*bench);
    finalContent = bench->contentOf(kSystemDatabase);
    return faults;
  }

  void arm(Bench& bench, const Fault& fault) {
    switch (fault.where) {
      case Fault::Where::kFileCall:
        bench.files().failCall(fault.index, fault.fileFault);
        break;
      case Fault::Where::kEngineWrite:
        vfs_.failWrite(fault.index);
        break;
      case Fault::Where::kEngineRead:
        vfs_.failRead(fault.index);
        break;
    }
  }

  bool fired(Bench& bench, const Fault& fault) const {
    return fault.where == Fault::Where::kFileCall ? bench.files().fired() : vfs_.fired();
  }

  void disarm(Bench& bench) {
    bench.files().clearFault();
    vfs_.clearFault();
  }

  // Ends the run the way the user would after the action: Close, or for Exit
  // without update Exit again.
  void finish(Bench& bench) {
    const int action = GetParam().action;
    if (!bench.frame().closed()) {
      bench.click(action == workflow::kExitWithoutUpdate ? action : workflow::kClose);
    }
  }

  // After a stopped action: try it again without the fault, then finish.
  void recover(Bench& bench) {
    const int action = GetParam().action;
    if (action == workflow::kUpdate) bench.nextMinute();  // the old backup name is taken
    bench.click(action);
    finish(bench);
    ASSERT_TRUE(bench.frame().closed()) << "the program did not recover";
  }

  static void expectTruthAfterFault(Bench& bench, const Before& before, const Fault& fault,
                                    int action) {
    const std::string system = bench.bytesOf(kSystemDatabase);
    const bool committed = bench.state().instructions == kCommitted;
    EXPECT_FALSE(bench.frame().closed()) << "a failed action closed the window";
    if (action == workflow::kClose && committed) {
      EXPECT_TRUE(sameBytes(system, before.working))
          << "success claimed but the system database is not the new one";
    } else if (action == workflow::kClose && fault.where == Fault::Where::kFileCall &&
               fault.fileFault == FileFault::kFolderFlushFails) {
      // The copy replaced the system database but could not make the new name
      // last: Close does not claim success, and the file is whole, old or new.
      EXPECT_TRUE(system == before.system || system == before.working)
          << "the system database is neither the old one nor the working copy";
    } else {
      EXPECT_TRUE(sameBytes(system, before.system))
          << "the system database changed without a commit";
    }
    if (before.backup != kMissing) {
      EXPECT_TRUE(sameBytes(bench.bytesOf(kBackup), before.backup)) << "the backup was replaced";
    } else if (bench.bytesOf(kBackup) != kMissing) {
      EXPECT_TRUE(sameBytes(bench.bytesOf(kBackup), before.system))
          << "the backup is not the old database";
    }
    EXPECT_EQ(bench.leftovers(), std::vector<std::string>{}) << "a copy left its temporary file";
    workflow::DialogState expected = before.state;
    if ((action == workflow::kClose && committed) ||
        (action == workflow::kExitWithoutUpdate && bench.state().instructions == kAbandoned)) {
      expected.instructions = bench.state().instructions;
    }
    EXPECT_TRUE(bench.state() == expected) << "a stopped action changed the window's state";
    if (action == workflow::kClose && !committed) {
      EXPECT_TRUE(sameBytes(bench.bytesOf(kWorking), before.working))
          << "the working copy was lost";
    }
  }

  // Once the user has finished: the system database is sound and holds what
  // a run without faults gives, and every backup is the old database.
  void expectFinishedWell(Bench& bench, const Before& before,
                          const std::vector<std::string>& finalContent) {
    if (GetParam().action == workflow::kExitWithoutUpdate) {
      EXPECT_TRUE(sameBytes(bench.bytesOf(kSystemDatabase), before.system));
      EXPECT_EQ(bench.bytesOf(kWorking), kMissing);
    } else {
      EXPECT_EQ(bench.integrityOf(kSystemDatabase), "ok");
      EXPECT_EQ(bench.contentOf(kSystemDatabase), finalContent);
    }
    const std::string old = before.backup == kMissing ? before.system : before.backup;
    ASSERT_FALSE(bench.backups().empty());
    for (const std::string& backup : bench.backups()) {
      EXPECT_TRUE(sameBytes(bench.bytesOf(backup), old)) << backup;
    }
  }

  // A clean-up stopped halfway and the user commits what there is: Close
  // either refuses (the working copy is still held or needs its journal
  // rolled back) or commits a sound database holding the working copy as it
  // was before the clean-up or after it, never a mix.
  void closeAtOnce(Bench& bench, const Before& before,
                   const std::vector<std::string>& workingContent,
                   const std::vector<std::string>& cleanedContent) {
    bench.click(workflow::kClose);
    if (!bench.frame().closed()) {
      ++closeRefusals_;
      EXPECT_NE(bench.state().instructions, kCommitted);
      EXPECT_TRUE(sameBytes(bench.bytesOf(kSystemDatabase), before.system));
      recover(bench);
      expectFinishedWell(bench, before, cleanedContent);
      return;
    }
    EXPECT_EQ(bench.integrityOf(kSystemDatabase), "ok");
    const std::vector<std::string> committed = bench.contentOf(kSystemDatabase);
    EXPECT_TRUE(committed == workingContent || committed == cleanedContent)
        << "the committed database mixes states";
    EXPECT_TRUE(sameBytes(bench.bytesOf(kBackup), before.backup));
  }

  FaultyVfs vfs_;
  int closeRefusals_ = 0;
};

TEST_P(FaultTest, EveryFaultLeavesTheOldDatabaseOrTheCommittedOneAndTheProgramUsable) {
  std::vector<std::string> finalContent;
  const std::vector<Fault> faults = faultPoints(finalContent);
  ASSERT_FALSE(faults.empty());
  ASSERT_FALSE(finalContent.empty());
  int injected = 0;
  int byKind[3] = {0, 0, 0};  // file calls, engine writes, engine reads
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.describe());
    std::unique_ptr<Bench> bench = benchBeforeAction();
    const Before before{bench->bytesOf(kSystemDatabase), bench->bytesOf(kBackup),
                        bench->bytesOf(kWorking), bench->state()};
    const std::vector<std::string> workingContent =
        GetParam().closeAtOnce ? bench->contentOf(kWorking) : std::vector<std::string>{};
    arm(*bench, fault);
    bench->click(GetParam().action);
    disarm(*bench);
    ASSERT_TRUE(fired(*bench, fault)) << "the fault point was never reached";
    ++injected;
    ++byKind[static_cast<int>(fault.where)];
    expectTruthAfterFault(*bench, before, fault, GetParam().action);
    if (GetParam().closeAtOnce) {
      closeAtOnce(*bench, before, workingContent, finalContent);
    } else {
      recover(*bench);
      expectFinishedWell(*bench, before, finalContent);
    }
    if (HasFailure()) break;  // one broken fault point tells the story
  }
  std::cout << "[ faults ] " << GetParam().name << ": " << injected << " faults injected ("
            << byKind[0] << " in file services, " << byKind[1] << " engine writes, " << byKind[2]
            << " engine reads)";
  if (GetParam().closeAtOnce) std::cout << "; Close at once refused " << closeRefusals_ << " times";
  std::cout << "\n";
}

// Update of an external database: the chosen file is only read, whatever
// fails, and the system database is not touched at all.
TEST(ExternalUpdateFaults, TheChosenFileAndTheSystemDatabaseKeepTheirBytes) {
  constexpr const char* kChosen = "C:\\input\\lab_data.mdb";
  FaultyVfs vfs;
  auto prepared = [] {
    auto bench = std::make_unique<Bench>();
    bench->lab().makeFolder("C:\\input");
    std::filesystem::copy_file(bench->lab().host(kSystemDatabase), bench->lab().host(kChosen));
    bench->chooseExternal(kChosen);
    return bench;
  };
  int writes = 0, reads = 0, fileCalls = 0;
  workflow::testing::Column expectedSamples;  // in the working copy of a run without faults
  {
    std::unique_ptr<Bench> bench = prepared();
    vfs.resetCounts();
    bench->files().resetCounts();
    bench->click(workflow::kUpdate);
    ASSERT_TRUE(bench->state().command(workflow::kClose).visible);
    writes = vfs.writes();
    reads = vfs.reads();
    fileCalls = bench->files().calls();
    expectedSamples =
        workflow::testing::samples(bench->lab(), bench->frame().context().workingPath);
  }
  int injected = 0;
  for (int point = 0; point < fileCalls + writes + reads; ++point) {
    SCOPED_TRACE("fault point " + std::to_string(point));
    std::unique_ptr<Bench> bench = prepared();
    const std::string chosen = bench->bytesOf(kChosen);
    const std::string system = bench->bytesOf(kSystemDatabase);
    const workflow::DialogState before = bench->state();
    if (point < fileCalls) {
      bench->files().failCall(point, FileFault::kPartialWrite);
    } else if (point < fileCalls + writes) {
      vfs.failWrite(point - fileCalls);
    } else {
      vfs.failRead(point - fileCalls - writes);
    }
    bench->click(workflow::kUpdate);
    bench->files().clearFault();
    vfs.clearFault();
    ASSERT_TRUE(bench->files().fired() || vfs.fired());
    ++injected;
    EXPECT_TRUE(bench->state() == before) << "a stopped Update changed the window";
    EXPECT_TRUE(sameBytes(bench->bytesOf(kChosen), chosen)) << "the chosen file changed";
    EXPECT_TRUE(sameBytes(bench->bytesOf(kSystemDatabase), system));
    EXPECT_TRUE(bench->backups().empty()) << "an external Update made a backup";
    bench->nextMinute();
    bench->click(workflow::kUpdate);
    const std::string working = bench->frame().context().workingPath;
    bench->click(workflow::kClose);
    EXPECT_TRUE(bench->frame().closed());
    EXPECT_EQ(bench->integrityOf(working), "ok");
    EXPECT_EQ(workflow::testing::samples(bench->lab(), working), expectedSamples);
    EXPECT_TRUE(sameBytes(bench->bytesOf(kChosen), chosen));
    if (HasFailure()) break;
  }
  std::cout << "[ faults ] UpdateExternal: " << injected << " faults injected (" << fileCalls
            << " in file services, " << writes << " engine writes, " << reads << " engine reads)\n";
}

INSTANTIATE_TEST_SUITE_P(Actions, FaultTest, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvane::reliability
