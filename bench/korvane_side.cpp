// Korvane's side: the real command frame with the real file services on a
// Wine-style prefix in the run folder, a fixed clock, and the engine it
// creates, its three actions pressed in turn.
#include <unistd.h>

#include <optional>
#include <string>

#include "action_result.h"
#include "children.h"
#include "fs/clock.h"
#include "fs/file_services.h"
#include "fs/path_map.h"
#include "measure.h"
#include "run_folder.h"
#include "sides.h"
#include "workflow/command_frame.h"
#include "workflow/dialog_state.h"
#include "workflow/naming.h"
#include "workflow/start_up.h"

namespace korvane::bench {

namespace stdfs = std::filesystem;

namespace {

// The real file services, with the time spent in copyFile added up.
class TimedFileServices : public fs::FileServices {
 public:
  explicit TimedFileServices(fs::FileServices& real) : real_(real) {}
  void copyFile(const std::string& from, const std::string& to, fs::Overwrite mode) override {
    const auto start = Clock::now();
    try {
      real_.copyFile(from, to, mode);
    } catch (...) {
      seconds += secondsSince(start);
      throw;
    }
    seconds += secondsSince(start);
  }
  void deleteFile(const std::string& path) override { real_.deleteFile(path); }
  void flush(const std::string& path) override { real_.flush(path); }
  bool fileExists(const std::string& path) override { return real_.fileExists(path); }
  std::optional<fs::FileIdentity> identify(const std::string& path) override {
    return real_.identify(path);
  }
  double seconds = 0;

 private:
  fs::FileServices& real_;
};

}  // namespace

void childKorvane(const stdfs::path& master, const stdfs::path& run) {
  using namespace korvane::workflow;
  const stdfs::path data = makeLayout(run);
  const stdfs::path prefix = run / "prefix";
  copyPlain(master / "QX_aco.mdb", data / "QX_aco.mdb");
  copyPlain(master / "QX_Std.mdb", data / "QX_Std.mdb");
  sync();

  fs::PathMap paths(prefix);
  fs::HostFileServices hostFiles(paths);
  TimedFileServices files(hostFiles);
  fs::FixedClock clock(fs::LocalTime{2026, 12, 7, 8, 43, 15});
  CommandFrame frame(Services{files, clock, paths});
  UpdateContext& context = frame.context();
  startUp(context);  // which chooses the system database

  auto click = [&](Command command, const char* name, auto completed) {
    files.seconds = 0;
    Measured m = measure([&] { frame.commandClick(command); });
    m.copySeconds = files.seconds;
    if (!completed())
      fail(std::string("Korvane's ") + name +
           " stopped at a failing step; last statement: " + context.sql);
    return m;
  };
  const auto update = click(kUpdate, "Update", [&] {
    return !context.state.command(kUpdate).visible && context.state.command(kDeleteOrphans).visible;
  });
  const long maxAfterUpdate = maxRssKib();
  const auto orphans = click(kDeleteOrphans, "Delete orphans",
                             [&] { return !context.state.command(kDeleteOrphans).visible; });
  const auto nulls = click(kSetNull, "Set un-measured values to Null",
                           [&] { return !context.state.command(kSetNull).visible; });
  const long maxAfterAll = maxRssKib();

  const stdfs::path working = paths.toHost(systemNames(kStamp).workingPath);
  reportActions(working, run, update, orphans, nulls, maxAfterUpdate, maxAfterAll);
}

}  // namespace korvane::bench
