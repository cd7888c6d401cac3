// The hand-written side: the same three actions in plain SQLite on plain
// paths, each timed as Korvane's are.
#include <unistd.h>

#include "action_result.h"
#include "children.h"
#include "hand_actions.h"
#include "measure.h"
#include "run_folder.h"
#include "sides.h"

namespace korvane::bench {

namespace stdfs = std::filesystem;

void childHand(const stdfs::path& master, const stdfs::path& run, HandStyle style, bool indexes) {
  const bool durableCopies = style == HandStyle::kDurableCopies;
  const bool off = style == HandStyle::kSynchronousOff;
  const stdfs::path data = makeLayout(run);
  copyPlain(master / "QX_aco.mdb", data / "QX_aco.mdb");
  copyPlain(master / "QX_Std.mdb", data / "QX_Std.mdb");
  const HandFiles files(data);
  const HandUpdate handUpdate(files);
  sync();

  double copying = 0;
  auto cp = [&](const stdfs::path& from, const stdfs::path& to) {
    const auto start = Clock::now();
    runProgram({"cp", from.string(), to.string()});
    if (durableCopies) {
      fsyncFile(to);
      fsyncFolder(to.parent_path());
    }
    copying += secondsSince(start);
  };
  Measured update = measure([&] { handUpdate.run(cp, off); });
  update.copySeconds = copying;
  if (durableCopies) {
    Values out;
    addMeasured(out, "update", update);
    report(out);
    return;
  }
  const long maxAfterUpdate = maxRssKib();
  const Measured orphans = measure([&] { deleteOrphansByHand(files.working, off, indexes); });
  const Measured nulls = measure([&] { setNullByHand(files.working, off); });
  const long maxAfterAll = maxRssKib();

  reportActions(files.working, run, update, orphans, nulls, maxAfterUpdate, maxAfterAll);
}

}  // namespace korvane::bench
