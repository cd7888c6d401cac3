// Temporary folders and the temporary Wine-style prefix every test lays its
// drives out in, so that no test touches the user's ~/.wine or another
// test's files.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace korvane::support {

// A new, empty folder made by mkdtemp under `parent`; removed with
// everything in it when destroyed.
class TempFolder {
 public:
  explicit TempFolder(const std::filesystem::path& parent = std::filesystem::temp_directory_path());
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Lays out a Wine-style prefix in `root` (made when missing): for each
// letter of `drives`, the folder drive_<x> and the link dosdevices/<x>: to
// it, relative as Wine makes it. What is already there stays, so a caller
// may lay out the same prefix again.
void layOutPrefix(const std::filesystem::path& root, std::string_view drives = "c");

// <temp>/prefix laid out with `drives` in a TempFolder of its own.
class TempPrefix {
 public:
  explicit TempPrefix(std::string_view drives = "c");

  // The prefix folder; hand it to PathMap.
  std::filesystem::path root() const { return folder_.path() / "prefix"; }
  // The folder drive `letter` (lower case) maps to.
  std::filesystem::path drive(char letter) const;
  std::filesystem::path driveC() const { return drive('c'); }
  // A folder beside the prefix that no drive maps to (except z:, once mapped).
  std::filesystem::path outside() const { return folder_.path(); }

  // Maps drive `entry` ("e:", "D:", "z:") to `folder` with a link.
  void mapDrive(const std::string& entry, const std::filesystem::path& folder) const;

 private:
  TempFolder folder_;
};

}  // namespace korvane::support
