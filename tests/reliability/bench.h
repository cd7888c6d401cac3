// The reliability test bench: the workflow tests' temporary prefix and fixed
// clock, with a command frame of its own whose file services can be made to
// fail, before a call or inside it.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "faulty_files.h"
#include "lab.h"
#include "workflow/command_frame.h"

namespace korvane::reliability {

// Equal bytes; on a difference the message gives sizes, not the contents.
::testing::AssertionResult sameBytes(const std::string& actual, const std::string& expected);

using workflow::testing::Lab;

// PRAGMA integrity_check's verdict on a file of `lab` ("ok" when sound).
std::string integrityOf(const Lab& lab, const std::string& windowsPath);
// What the user cares about in a database: the samples, the materials and
// the readings left at zero, as text.
std::vector<std::string> contentOf(const Lab& lab, const std::string& windowsPath);

class Bench {
 public:
  Bench();  // the old system database and the template in place

  Lab& lab() { return lab_; }
  FaultyFileServices& files() { return files_; }
  workflow::CommandFrame& frame() { return *frame_; }
  const workflow::DialogState& state() const { return frame_->state(); }

  void click(int index) { frame_->commandClick(index); }
  // The choices the window makes, on this bench's frame.
  void chooseSystemDatabase();
  void chooseExternal(const std::string& windowsPath);
  // The clock one minute on, so a new Update gets names of its own.
  void nextMinute();

  // The bytes of a file, or "<missing>" when there is none.
  std::string bytesOf(const std::string& windowsPath) const;
  // The backups in C:\data_aco\Backup (not the working copies), by name.
  std::vector<std::string> backups() const;
  // Files the copy left behind under C:\data_aco: its temporary files.
  std::vector<std::string> leftovers() const;
  // PRAGMA integrity_check's verdict on a file ("ok" when sound).
  std::string integrityOf(const std::string& windowsPath) const;
  // What the user cares about in a database: the samples, the materials and
  // the readings left at zero, as text.
  std::vector<std::string> contentOf(const std::string& windowsPath) const;

 private:
  Lab lab_;
  fs::PathMap paths_;
  FailingSystemCalls systemCalls_;
  fs::HostFileServices host_;
  FaultyFileServices files_;
  std::unique_ptr<workflow::CommandFrame> frame_;
};

// What a file's bytes read as when it is not there.
inline constexpr const char* kMissing = "<missing>";

// The bytes of `file`, or kMissing when it is no regular file.
std::string bytesOrMissing(const std::filesystem::path& file);

// The number in environment variable `name` (a long run's setting), or
// `fallback` when it is unset or empty.
int settingOf(const char* name, int fallback);

}  // namespace korvane::reliability
