// A model of what a power cut leaves on a disk.
//
// The real code runs on real files under one watched folder; the model keeps
// beside them what the disk is sure to hold: for each file its bytes as of
// its last flush and the writes made since, and for each folder its names as
// of its last flush and the names made, replaced or removed since. The file
// services' system calls (ModelSystemCalls) and SQLite's files (ModelVfs)
// report every change, after the real call succeeded. After every write,
// truncation, flush, rename, link and removal the model counts a point at
// which the power may fail, and can tell what a cut there would leave
// (DiskImage), which a test writes back as the restarted machine's disk.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvane::reliability {

// What a cut does to what was not flushed.
enum class CutVariant {
  kLost,       // every unflushed write and every unflushed name change is lost
  kTorn,       // of each file's unflushed writes a random prefix survives, the
               // write after it torn at a 512-byte boundary; of each folder's
               // unflushed name changes a random prefix survives
  kNamesKept,  // every unflushed name change survives, no unflushed write does
};

const char* nameOf(CutVariant variant);

// A file as it is known: device and inode.
using FileKey = std::pair<dev_t, ino_t>;

// One change to a file's bytes: a write, or a truncation to `offset`.
struct FileChange {
  bool truncation = false;
  std::int64_t offset = 0;
  std::string bytes;
};

// What the disk holds after a cut: every file of the watched folders, by its
// path relative to the watched root.
class DiskImage {
 public:
  // The files with their bytes.
  std::map<std::string, std::string> files() const;

  // Makes the watched folders under `root` hold exactly the image's files:
  // every other file in them is removed, folders and links stay.
  void writeTo(const std::filesystem::path& root) const;

 private:
  friend class DiskModel;
  struct File {
    std::string path;
    std::shared_ptr<const std::string> flushed;
    std::shared_ptr<const std::vector<FileChange>> changes;  // since the flush
    std::size_t kept = 0;                                    // changes that survive whole
    std::size_t tornBytes = 0;                               // bytes of the next one that survive
  };
  std::vector<std::string> folders_;
  std::vector<File> files_;
};

class DiskModel {
 public:
  // Watches every folder under `root` (an existing folder, its links not
  // followed); what the files there hold now counts as flushed.
  explicit DiskModel(const std::filesystem::path& root);

  const std::filesystem::path& root() const { return root_; }
  // True when `path` (absolute) is a watched folder or lies in one.
  bool watches(const std::filesystem::path& path) const;

  // What the file layers report, each after the real call succeeded. None
  // throws: what the model cannot follow is kept in confusions().

  // `file` was made, empty, by this name.
  void created(const std::filesystem::path& file);
  void wrote(FileKey file, std::int64_t offset, std::string_view bytes);
  void truncated(FileKey file, std::int64_t size);
  // fsync or fdatasync of a file or a folder; `readable` names the file's
  // bytes now (its path, or /proc/self/fd/N), to check the model against.
  void flushed(FileKey file, const std::filesystem::path& readable);
  // A folder flushed by its path (SQLite's unix files do that themselves).
  void folderFlushed(const std::filesystem::path& folder);
  void renamed(const std::filesystem::path& from, const std::filesystem::path& to);
  void linked(const std::filesystem::path& from, const std::filesystem::path& to);
  void unlinked(const std::filesystem::path& path);

  // Called after every point, with its number (from 1).
  void onPoint(std::function<void(int)> listener) { onPoint_ = std::move(listener); }
  int points() const { return points_; }

  // What a cut now would leave; kTorn draws from `random`.
  DiskImage imageNow(CutVariant variant, std::mt19937_64& random) const;

  // What the model could not follow (a change to a file it never saw made,
  // bytes that differ from the real file's at a flush): each a fault of the
  // model or of its wiring, never of the program.
  const std::vector<std::string>& confusions() const { return confusions_; }

 private:
  struct Node {
    std::shared_ptr<const std::string> flushed;
    std::shared_ptr<std::vector<FileChange>> changes;
  };
  struct Folder {
    std::map<std::string, int> flushed;  // name -> node
    std::map<std::string, int> now;
    std::vector<std::pair<std::string, int>> changes;  // -1: removed
  };

  // The watched folder `folder` is (through links), relative to the root.
  std::optional<std::string> watchedFolder(const std::filesystem::path& folder) const;
  // The watched folder `path` lies in, and its name there.
  Folder* folderOf(const std::filesystem::path& path, std::string& name);
  int nodeOf(FileKey file) const;
  void setName(const std::filesystem::path& path, int node);
  void point();
  void confused(std::string what);

  std::filesystem::path root_;
  std::vector<Node> nodes_;
  std::map<FileKey, int> nodesByKey_;
  std::map<std::string, Folder> folders_;  // by path relative to the root
  std::map<FileKey, std::string> foldersByKey_;
  int points_ = 0;
  std::function<void(int)> onPoint_;
  std::vector<std::string> confusions_;
};

// The bytes a file holds after `changes` are applied to `base` in order.
std::string applied(std::string base, const std::vector<FileChange>& changes, std::size_t count);

}  // namespace korvane::reliability
