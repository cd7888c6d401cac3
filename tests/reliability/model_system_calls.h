// The file services' system calls, watched by the power-cut model: the
// host's calls run as usual, and each change they make under the model's
// folder is reported to it (disk_model.h).
#pragma once

#include "disk_model.h"
#include "fs/system_calls.h"

namespace korvane::reliability {

class ModelSystemCalls : public fs::SystemCalls {
 public:
  explicit ModelSystemCalls(DiskModel& model) : model_(model) {}

  int open(const char* path, int flags, mode_t mode) override;
  ssize_t write(int fd, const void* data, std::size_t size) override;
  ssize_t copyFileRange(int from, int to, std::size_t size) override;
  int fsync(int fd) override;
  int rename(const char* from, const char* to, bool noReplace) override;
  int link(const char* from, const char* to) override;
  int unlink(const char* path) override;

 private:
  // The file `fd` names when the model watches it.
  bool watched(int fd, FileKey& key) const;

  DiskModel& model_;
};

}  // namespace korvane::reliability
