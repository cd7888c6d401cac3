// The crash test's child: one program run on a prefix given on the command
// line, as the user makes it: the system database chosen, Update, then Close.
// The parent kills it at a random moment. An optional second argument sets
// the minute of the clock (a later run needs backup names of its own).
// Exits 0 when Close ended the run.
#include <cstdlib>
#include <iostream>

#include "fs/clock.h"
#include "fs/file_services.h"
#include "fs/path_map.h"
#include "workflow/command_frame.h"
#include "workflow/start_up.h"

int main(int argc, char** argv) {
  using namespace korvane;
  if (argc != 2 && argc != 3) {
    std::cerr << "usage: korvane_crash_child <prefix> [minute]\n";
    return 2;
  }
  const fs::PathMap paths{std::filesystem::path(argv[1])};
  fs::HostFileServices files(paths);
  const int minute = argc == 3 ? std::atoi(argv[2]) : 43;
  const fs::FixedClock clock(fs::LocalTime{2026, 12, 7, 8, minute, 15});
  workflow::CommandFrame frame(workflow::Services{files, clock, paths});
  workflow::startUp(frame.context());
  frame.commandClick(workflow::kUpdate);
  frame.commandClick(workflow::kClose);
  return frame.closed() ? 0 : 1;
}
