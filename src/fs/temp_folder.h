// Folders of our own under the system's temporary folder, and the sweep that
// removes the ones a killed run left behind.
//
// A folder is held, for its whole life, by an exclusive flock on the folder
// itself. A run that is killed (power, SIGKILL) cannot remove its folder,
// but the kernel lets go of its lock; the next run's sweep removes exactly
// the folders whose lock it can take. A lock, unlike a recorded process id,
// cannot be fooled by a new process that got the same id.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace korvane::fs {

class TempFolder {
 public:
  // Makes a new, empty folder named `prefix` and six random characters under
  // $TMPDIR (else /tmp), and holds it. Returns nullptr when it cannot be
  // made; `why` then says why.
  static std::unique_ptr<TempFolder> make(const std::string& prefix, std::string& why);
  // Removes the folder and everything in it, then lets it go.
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  TempFolder(std::filesystem::path path, int fd) : path_(std::move(path)), fd_(fd) {}
  std::filesystem::path path_;
  int fd_;
};

// Removes every folder named `prefix`... under the temporary folder that
// belongs to this user and that no live TempFolder holds. Anything else
// there (files, links, other users' folders, held folders) is left alone.
// Returns how many folders it removed.
size_t removeAbandonedTempFolders(const std::string& prefix);

}  // namespace korvane::fs
