// The power-cut suite. Each action runs once on real files that the disk
// model watches (disk_model.h), through the real file services and SQLite.
// At every point where the power may fail, before the action, after each of
// its writes, truncations, flushes, renames, links and removals, and after
// it returned, the model tells what a cut would leave, in each variant: all
// that was not flushed lost, names kept without their unflushed bytes, and
// torn (seeded prefixes of the unflushed writes and name changes). Each disk
// so found is written back as the restarted machine's disk, and then:
//
// - the system database is the old one byte for byte or the committed one,
//   never a mix, never missing; once Close has said "Your database file has
//   been updated" it is the committed one;
// - every backup is the old database byte for byte, and one whose copy had
//   returned is there;
// - once an action has reported its result (Update, a clean-up), the working
//   copy holds it, with no journal beside it that would undo part of it; so
//   does an external database's result once Close has ended the program;
// - the chosen external file keeps its bytes;
// - a fresh run on that disk, a minute later, works: Update, then Close, and
//   the database it leaves is sound and holds what it should.
//
// KORVANE_POWER_SEEDS (torn cuts per point, default 4) and KORVANE_POWER_SEED
// (default 1) set the run; scripts/power-test.sh runs it long. A failure
// names its point, variant and seed, which replay it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "bench.h"
#include "disk_model.h"
#include "fs/database_files.h"
#include "fs/file_services.h"
#include "model_system_calls.h"
#include "model_vfs.h"
#include "support/files.h"
#include "support/forwarding_files.h"
#include "support/scoped_process.h"
#include "workflow/command_frame.h"
#include "workflow/naming.h"

namespace korvane::reliability {
namespace {

namespace stdfs = std::filesystem;
using workflow::kSystemDatabase;
using workflow::testing::kBackup;

constexpr const char* kChosen = "C:\\input\\lab_data.mdb";
constexpr const char* kCommitted = "Your database file has been updated";

struct Scenario {
  const char* name;
  bool external;
  std::vector<int> before;  // clicks made before the action, each completing
  int action;
};

const Scenario kScenarios[] = {
    {"Update", false, {}, workflow::kUpdate},
    {"UpdateExternal", true, {}, workflow::kUpdate},
    {"DeleteOrphans", false, {workflow::kUpdate}, workflow::kDeleteOrphans},
    {"SetNull", false, {workflow::kUpdate}, workflow::kSetNull},
    {"SetNullAfterDeleteOrphans",
     false,
     {workflow::kUpdate, workflow::kDeleteOrphans},
     workflow::kSetNull},
    {"DeleteOrphansAfterSetNull",
     false,
     {workflow::kUpdate, workflow::kSetNull},
     workflow::kDeleteOrphans},
    {"Close", false, {workflow::kUpdate, workflow::kDeleteOrphans}, workflow::kClose},
    {"CloseExternal", true, {workflow::kUpdate, workflow::kSetNull}, workflow::kClose},
    {"ExitWithoutUpdate", false, {workflow::kUpdate}, workflow::kExitWithoutUpdate},
};

void PrintTo(const Scenario& scenario, std::ostream* out) {
  *out << scenario.name;
}

// The file services the program is given, with a record of the copies that
// returned.
class RecordingFiles : public support::ForwardingFileServices {
 public:
  using ForwardingFileServices::ForwardingFileServices;
  void copyFile(const std::string& from, const std::string& to, fs::Overwrite mode) override {
    real_.copyFile(from, to, mode);
    returned_.insert(to);
  }
  bool returned(const std::string& to) const { return returned_.contains(to); }

 private:
  std::set<std::string> returned_;
};

// A cut: what it would leave, and how it was drawn.
struct Cut {
  std::string variant;  // "lost", "names kept", "torn, seed 7"
  DiskImage image;
};

// One moment at which the power may fail, and what the program had told the
// user by then.
struct Moment {
  std::string where;  // "before the action", "point 12", "after the action"
  std::string instructions;
  bool closed = false;
  bool backupReturned = false;
  // The working copy the window has reported, when it must be on disk.
  std::shared_ptr<const std::string> reportedWorking;
  std::vector<Cut> cuts;
};

// What a restarted disk holds, and how a fresh run on it went.
struct Restart {
  std::string system;  // "old", "committed", or what else it is
  std::string systemIntegrity = "ok";
  bool backupThere = false;
  std::string backupsNotOld;  // the backups that are not the old database
  std::string working;        // its bytes, or kMissing
  bool workingHasHotJournal = false;
  bool chosenKept = true;
  bool leftovers = false;
  std::string freshRun;  // empty when it ended well
};

// A fingerprint of a disk's files, so that a disk already restarted is not
// restarted again.
std::string fingerprintOf(const std::map<std::string, std::string>& files) {
  std::uint64_t fnv = 14695981039346656037ull;
  std::size_t combined = 0;
  for (const auto& [path, bytes] : files) {
    for (const std::string* part : {&path, &bytes}) {
      for (unsigned char c : *part) fnv = (fnv ^ c) * 1099511628211ull;
      fnv = (fnv ^ part->size()) * 1099511628211ull;
      combined = combined * 31 + std::hash<std::string>{}(*part);
    }
  }
  return std::to_string(fnv) + "/" + std::to_string(combined) + "/" + std::to_string(files.size());
}

// Update, then Close, by a new run of the program on `lab`'s disk a minute
// after the fixed time: what it left, or why it did not finish.
struct FreshRun {
  std::vector<std::string> content;
  std::string failure;
};

FreshRun updateAndClose(Lab& lab, bool external) {
  fs::LocalTime time = workflow::testing::fixedTime();
  time.minute += 1;
  lab.clock().set(time);
  lab.restart();
  if (external) {
    lab.chooseExternal(kChosen);
  } else {
    lab.chooseSystemDatabase();
  }
  lab.frame().commandClick(workflow::kUpdate);
  if (!lab.state().command(workflow::kClose).visible) return {{}, "Update stopped"};
  const std::string result = external ? lab.context().workingPath : kSystemDatabase;
  lab.frame().commandClick(workflow::kClose);
  if (!lab.closed()) return {{}, "Close stopped"};
  lab.restart();  // the run's handles are gone before its files are read
  try {
    const std::string integrity = integrityOf(lab, result);
    if (integrity != "ok") return {{}, "the result fails its integrity check: " + integrity};
    return {contentOf(lab, result), {}};
  } catch (const std::exception& error) {
    return {{}, std::string("the result cannot be read: ") + error.what()};
  }
}

// A lab with the old system database and the template in place, and for an
// external scenario the chosen file.
void lay(Lab& lab, bool external) {
  lab.installSystemFiles();
  if (external) {
    lab.makeFolder("C:\\input");
    stdfs::copy_file(lab.host(kSystemDatabase), lab.host(kChosen));
  }
}

class PowerCutTest : public ::testing::TestWithParam<Scenario> {
 protected:
  PowerCutTest()
      // The model decides what a flush keeps, so the files may as well live
      // in memory, where a flush costs nothing.
      : tmpdir_("TMPDIR", stdfs::is_directory("/dev/shm") ? "/dev/shm" : std::getenv("TMPDIR")),
        seeds_(settingOf("KORVANE_POWER_SEEDS", 4)),
        seed_(settingOf("KORVANE_POWER_SEED", 1)) {}

  const Scenario& scenario() const { return GetParam(); }

  void choose(workflow::CommandFrame& frame) const {
    if (scenario().external) {
      workflow::testing::chooseExternal(frame.context(), kChosen);
    } else {
      workflow::testing::chooseSystemDatabase(frame.context());
    }
  }

  // What a fresh run leaves when it starts from the old system database,
  // and from the one this scenario commits.
  void takeReferences() {
    Lab fromOld;
    lay(fromOld, scenario().external);
    const FreshRun fresh = updateAndClose(fromOld, scenario().external);
    ASSERT_EQ(fresh.failure, "");
    freshFromOld_ = fresh.content;
    if (scenario().action != workflow::kClose || scenario().external) return;
    Lab committed;
    lay(committed, false);
    committed.chooseSystemDatabase();
    for (int index : scenario().before) committed.frame().commandClick(index);
    committed.frame().commandClick(workflow::kClose);
    ASSERT_TRUE(committed.closed());
    const FreshRun again = updateAndClose(committed, false);
    ASSERT_EQ(again.failure, "");
    freshFromCommitted_ = again.content;
  }

  // The cuts a moment offers: lost, names kept, and the torn ones.
  std::vector<Cut> cutsNow(const DiskModel& model, int point) const {
    std::vector<Cut> cuts;
    std::mt19937_64 unused;
    cuts.push_back({nameOf(CutVariant::kLost), model.imageNow(CutVariant::kLost, unused)});
    cuts.push_back(
        {nameOf(CutVariant::kNamesKept), model.imageNow(CutVariant::kNamesKept, unused)});
    for (int s = 0; s < seeds_; ++s) {
      const int seed = seed_ + s;
      std::seed_seq sequence{seed, point,
                             static_cast<int>(std::hash<std::string>{}(scenario().name))};
      std::mt19937_64 random(sequence);
      cuts.push_back(
          {"torn, seed " + std::to_string(seed), model.imageNow(CutVariant::kTorn, random)});
    }
    return cuts;
  }

  // Runs the scenario on the watched disk, taking the moments.
  void runWatched(Lab& lab) {
    DiskModel model(lab.prefix());
    ModelSystemCalls calls(model);
    const fs::PathMap paths(lab.prefix());
    fs::HostFileServices host(paths, calls);
    RecordingFiles files(host);
    {
      ModelVfs vfs(model);
      workflow::CommandFrame frame(workflow::Services{files, lab.clock(), paths});
      choose(frame);
      for (int index : scenario().before) {
        frame.commandClick(index);
        ASSERT_EQ(frame.state().pointer, workflow::Pointer::kDefault);
      }
      const std::string workingPath = frame.context().workingPath;
      workingPath_ = workingPath;
      std::shared_ptr<const std::string> reported;
      if (!scenario().before.empty()) {
        reported = std::make_shared<const std::string>(bytesOrMissing(lab.host(workingPath)));
      }
      if (scenario().action == workflow::kClose && !scenario().external) {
        committed_ = bytesOrMissing(lab.host(workingPath));
      }
      auto take = [&](std::string where, int point) {
        Moment moment{std::move(where), frame.state().instructions,
                      frame.closed(),   files.returned(kBackup),
                      reported,         cutsNow(model, point)};
        moments_.push_back(std::move(moment));
      };
      const int first = model.points();
      take("before the action", 0);
      // Within the action the working copy is being built: nothing is
      // claimed of it until the action has reported.
      reported.reset();
      model.onPoint([&](int point) { take("point " + std::to_string(point), point); });
      const std::string before = frame.state().instructions;
      frame.commandClick(scenario().action);
      model.onPoint(nullptr);
      completed_ = frame.state().instructions != before;
      ASSERT_TRUE(completed_) << "the action stopped without a fault";
      workingPath_ = frame.context().workingPath;
      const bool reports = scenario().action == workflow::kUpdate ||
                           scenario().action == workflow::kDeleteOrphans ||
                           scenario().action == workflow::kSetNull ||
                           (scenario().action == workflow::kClose && scenario().external);
      if (reports)
        reported = std::make_shared<const std::string>(bytesOrMissing(lab.host(workingPath_)));
      take("after the action", model.points() + 1);
      points_ = model.points() - first;
    }
    EXPECT_EQ(model.confusions(), std::vector<std::string>{}) << "the model lost track";
  }

  Restart restartOn(Lab& lab, const DiskImage& image) {
    image.writeTo(stdfs::canonical(lab.prefix()));
    Restart r;
    const std::string system = bytesOrMissing(lab.host(kSystemDatabase));
    if (system == old_) {
      r.system = "old";
    } else if (!committed_.empty() && system == committed_) {
      r.system = "committed";
    } else {
      r.system = system == kMissing ? "missing" : std::to_string(system.size()) + " other bytes";
    }
    if (system != kMissing) r.systemIntegrity = integrityOf(lab, kSystemDatabase);
    const stdfs::path backups = lab.host("C:\\data_aco\\Backup");
    for (const std::string& name : support::entriesOf(backups)) {
      if (!name.starts_with("QX_aco_") || !name.ends_with(".mdb") ||
          name.ends_with("_update.mdb")) {
        continue;
      }
      if (bytesOrMissing(backups / name) != old_) r.backupsNotOld += name + " ";
    }
    r.backupThere = stdfs::exists(lab.host(kBackup));
    r.working = bytesOrMissing(lab.host(workingPath_));
    r.workingHasHotJournal = fs::inspectDatabase(lab.host(workingPath_)).hotJournal;
    if (scenario().external) r.chosenKept = bytesOrMissing(lab.host(kChosen)) == old_;
    for (const auto& entry : stdfs::recursive_directory_iterator(lab.prefix() / "drive_c")) {
      if (entry.path().filename().string().find(".korvane-") != std::string::npos)
        r.leftovers = true;
    }
    const FreshRun fresh = updateAndClose(lab, scenario().external);
    const std::vector<std::string>& expected =
        r.system == "committed" ? freshFromCommitted_ : freshFromOld_;
    if (!fresh.failure.empty()) {
      r.freshRun = fresh.failure;
    } else if (fresh.content != expected) {
      r.freshRun = "it left other data than it should";
    }
    return r;
  }

  // What is wrong with a restarted disk at a moment; empty when nothing.
  std::vector<std::string> problemsOf(const Moment& m, const Restart& r) const {
    std::vector<std::string> problems;
    if (r.system != "old" && r.system != "committed") {
      problems.push_back("the system database is " + r.system);
    }
    if (r.systemIntegrity != "ok") {
      problems.push_back("the system database fails its integrity check: " + r.systemIntegrity);
    }
    if (m.instructions == kCommitted && !scenario().external && r.system != "committed") {
      problems.push_back("Close said it was updated, but the system database is " + r.system);
    }
    if (!r.backupsNotOld.empty())
      problems.push_back("backups not the old database: " + r.backupsNotOld);
    if (m.backupReturned && !r.backupThere) problems.push_back("the backup is gone");
    if (m.reportedWorking) {
      if (r.working != *m.reportedWorking) {
        problems.push_back("the working copy is not what the window reported");
      }
      if (r.workingHasHotJournal) {
        problems.push_back("a journal beside the working copy would undo what the window reported");
      }
    }
    if (!r.chosenKept) problems.push_back("the chosen file changed");
    if (!r.freshRun.empty()) problems.push_back("a fresh run on the disk: " + r.freshRun);
    return problems;
  }

  support::ScopedEnv tmpdir_;
  const int seeds_;
  const int seed_;
  std::string old_;
  std::string committed_;  // what Close commits, in its scenarios
  std::string workingPath_;
  bool completed_ = false;
  int points_ = 0;
  std::vector<Moment> moments_;
  std::vector<std::string> freshFromOld_;
  std::vector<std::string> freshFromCommitted_;
};

TEST_P(PowerCutTest, NothingIsLostWhereverThePowerFails) {
  takeReferences();
  if (HasFatalFailure()) return;
  Lab lab;
  lay(lab, scenario().external);
  old_ = lab.bytes(kSystemDatabase);
  runWatched(lab);
  if (HasFatalFailure()) return;

  std::map<std::string, Restart> restarted;  // by the disk's fingerprint
  int cuts = 0;
  int failures = 0;
  int withLeftovers = 0;
  for (const Moment& moment : moments_) {
    for (const Cut& cut : moment.cuts) {
      ++cuts;
      const std::string fingerprint = fingerprintOf(cut.image.files());
      auto found = restarted.find(fingerprint);
      if (found == restarted.end()) {
        found = restarted.emplace(fingerprint, restartOn(lab, cut.image)).first;
        if (found->second.leftovers) ++withLeftovers;
      }
      for (const std::string& problem : problemsOf(moment, found->second)) {
        if (++failures <= 20) {
          ADD_FAILURE() << scenario().name << ", " << moment.where << ", " << cut.variant << ": "
                        << problem;
        }
      }
    }
  }
  EXPECT_EQ(failures, 0) << "cuts that lost something";
  std::cout << "[ power ] " << scenario().name << ": " << points_ << " cut points, "
            << moments_.size() << " moments x " << moments_.front().cuts.size()
            << " variants (lost, names kept, torn with seeds " << seed_ << ".."
            << seed_ + seeds_ - 1 << ") = " << cuts << " cuts, " << restarted.size()
            << " distinct disks restarted, " << withLeftovers
            << " with a copy's temporary file left, " << failures << " losing something\n";
}

INSTANTIATE_TEST_SUITE_P(Actions, PowerCutTest, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvane::reliability
