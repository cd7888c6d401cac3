// What the file layer's tests share: fresh folders for one test (a Wine-style
// prefix whose drive C: is a folder of its own, removed with everything in it
// when the test ends), file contents, and the number of a failure.
#pragma once

#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "fs/failure.h"

namespace korvane::fs::testing {

// A new, empty folder made by mkdtemp under `parent`; removed when destroyed.
class TempFolder {
 public:
  explicit TempFolder(
      const std::filesystem::path& parent = std::filesystem::temp_directory_path()) {
    std::string pattern = (parent / "korvane-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp " + pattern);
    path_ = std::filesystem::canonical(pattern);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// <temp>/prefix/dosdevices/c: -> ../drive_c, as Wine lays it out.
class TempPrefix {
 public:
  TempPrefix() {
    std::filesystem::create_directories(root() / "dosdevices");
    std::filesystem::create_directories(driveC());
    std::filesystem::create_directory_symlink("../drive_c", root() / "dosdevices" / "c:");
  }

  // The prefix folder; hand it to PathMap.
  std::filesystem::path root() const { return folder_.path() / "prefix"; }
  // The folder drive C: maps to.
  std::filesystem::path driveC() const { return root() / "drive_c"; }
  // A folder beside the prefix that no drive maps to (except z:, once mapped).
  std::filesystem::path outside() const { return folder_.path(); }

  // Maps drive `entry` ("e:", "D:", "z:") to `folder` with a link.
  void mapDrive(const std::string& entry, const std::filesystem::path& folder) const {
    std::filesystem::create_directory_symlink(folder, root() / "dosdevices" / entry);
  }

 private:
  TempFolder folder_;
};

inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The names in `folder`, sorted.
inline std::vector<std::string> entriesOf(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The files of `folder` and their bytes; a folder in it stands as "<folder>".
using FolderBytes = std::map<std::string, std::string>;
inline FolderBytes bytesIn(const std::filesystem::path& folder) {
  FolderBytes files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    files[entry.path().filename().string()] =
        entry.is_directory() ? "<folder>" : readFile(entry.path());
  }
  return files;
}

// What is not in `folder` as `before` has it: the files changed, gone and
// new, by name; "" when nothing is.
inline std::string changesIn(const std::filesystem::path& folder, const FolderBytes& before) {
  std::string changes;
  const FolderBytes now = bytesIn(folder);
  for (const auto& [name, bytes] : before) {
    const auto found = now.find(name);
    if (found == now.end()) {
      changes += name + " is gone; ";
    } else if (found->second != bytes) {
      changes += name + " changed; ";
    }
  }
  for (const auto& [name, bytes] : now) {
    if (before.count(name) == 0) changes += name + " is new; ";
  }
  return changes;
}

// Sets an environment variable for one scope and restores it afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// Sets the process's umask for one scope.
class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t mask) : old_(::umask(mask)) {}
  ~ScopedUmask() { ::umask(old_); }
  ScopedUmask(const ScopedUmask&) = delete;
  ScopedUmask& operator=(const ScopedUmask&) = delete;

 private:
  mode_t old_;
};

// lstat(2) of `path`: the link itself when it is one. All zero when there
// is nothing there.
inline struct stat statOf(const std::filesystem::path& path) {
  struct stat info = {};
  if (::lstat(path.c_str(), &info) != 0) info = {};
  return info;
}

// The number of the Failure that `action` raises; 0 when it raises none.
template <class Action>
int failureOf(Action&& action) {
  try {
    action();
  } catch (const Failure& failure) {
    return failure.number();
  }
  return 0;
}

}  // namespace korvane::fs::testing
