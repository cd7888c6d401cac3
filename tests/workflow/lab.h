// The test bench of the workflow tests: a temporary Wine-style prefix with
// drives C: and D:, the real file services, a fixed clock, a command frame,
// and a record of what the frame told the window.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "fs/clock.h"
#include "fs/file_services.h"
#include "fs/path_map.h"
#include "support/temp_prefix.h"
#include "workflow/command_frame.h"

namespace korvane::workflow::testing {

// 7 December 2026, 08:43:15: the stamp 261207_0843.
fs::LocalTime fixedTime();
inline constexpr const char* kStamp = "261207_0843";
// The system database's backup and working copy under that stamp.
inline constexpr const char* kBackup = "C:\\data_aco\\Backup\\QX_aco_261207_0843.mdb";
inline constexpr const char* kWorking = "C:\\data_aco\\Backup\\QX_aco_261207_0843_update.mdb";

// What Update offers next, written out here as the user reads it; an external
// database's result text is exactly this.
inline constexpr const char* kUpdateChoices =
    " Press 'Delete Orphans' to delete experiments with no measured data\r\n"
    " OR\r\n"
    " Press 'Set unmeasured values to Null' to eliminate zeros for unmeasured data\r\n"
    " OR\r\n"
    " Press 'Close' to save update and exit\r\n"
    " OR\r\n"
    " Press 'Exit without update' to exit and abandom changes";

using Column = std::vector<std::string>;

// Start-up followed by the choice of the system database, or of an external
// file through the dialog, as the window makes them; or start-up, then the
// external option with the dialog cancelled.
void chooseSystemDatabase(UpdateContext& context);
void chooseExternal(UpdateContext& context, const std::string& windowsPath);
void chooseNothing(UpdateContext& context);

class Lab {
 public:
  Lab();
  ~Lab();
  Lab(const Lab&) = delete;
  Lab& operator=(const Lab&) = delete;

  std::filesystem::path prefix() const { return prefix_.root(); }
  std::filesystem::path host(const std::string& windowsPath) const;
  bool exists(const std::string& windowsPath) const;
  std::string bytes(const std::string& windowsPath) const;
  void makeFolder(const std::string& windowsPath) const;

  fs::FixedClock& clock() { return clock_; }
  fs::HostFileServices& files() { return files_; }
  CommandFrame& frame() { return *frame_; }
  bool closed() const { return frame_->closed(); }
  UpdateContext& context() { return frame_->context(); }
  const DialogState& state() const { return frame_->state(); }

  // What the window heard, in order: "busy", "default" (a state change,
  // named by the pointer it showed) and "close".
  const std::vector<std::string>& heard() const { return heard_; }
  void forget() { heard_.clear(); }

  // Builds the database `windowsPath` from the Jet SQL script `fixture`
  // (a file of this folder), replacing any file there.
  void buildDatabase(const std::string& windowsPath, const std::string& fixture) const;

  // The old system database and the template at their fixed places.
  void installSystemFiles() const;

  // Runs Jet SQL statements on `windowsPath` through an engine of its own
  // (another program, as far as the frame is concerned), then closes it.
  void alter(const std::string& windowsPath, const std::vector<std::string>& statements) const;

  // The first column of a plain SQLite query on the file, as text ("<null>"
  // for Null); read past the engine, as any SQLite tool would.
  std::vector<std::string> column(const std::string& windowsPath, const std::string& query) const;
  bool hasTable(const std::string& windowsPath, const std::string& table) const;

  // A new program run on the same files: a new frame and context.
  void restart();

  // The choices of the window on this lab's frame (see below).
  void chooseSystemDatabase() { testing::chooseSystemDatabase(context()); }
  void chooseExternal(const std::string& windowsPath) {
    testing::chooseExternal(context(), windowsPath);
  }
  void chooseNothing() { testing::chooseNothing(context()); }

 private:
  support::TempPrefix prefix_;
  fs::PathMap paths_;
  fs::HostFileServices files_;
  fs::FixedClock clock_;
  std::unique_ptr<CommandFrame> frame_;
  std::vector<std::string> heard_;
};

// The sample names of `file`, by sample date.
Column samples(const Lab& lab, const std::string& file);

}  // namespace korvane::workflow::testing
