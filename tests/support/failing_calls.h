// The host's system calls with one of them made to fail, for tests of the
// file services: the next flush of a file or of a folder, the next rename or
// link, or the next removal reports an I/O error (EIO) and does nothing. The
// fault strikes inside the real copy, delete or flush, where a fault raised
// before the call cannot reach.
#pragma once

#include "fs/system_calls.h"

namespace korvane::support {

class FailingSystemCalls : public fs::SystemCalls {
 public:
  enum class Call { kNone, kFileFlush, kFolderFlush, kPublish, kUnlink };

  // The next `call` fails, once; kNone disarms.
  void failNext(Call call) {
    failing_ = call;
    fired_ = false;
  }
  bool fired() const { return fired_; }

  int open(const char* path, int flags, mode_t mode) override;
  ssize_t write(int fd, const void* data, std::size_t size) override;
  ssize_t copyFileRange(int from, int to, std::size_t size) override;
  int fsync(int fd) override;
  // kPublish covers both ways a copy names its file.
  int rename(const char* from, const char* to, bool noReplace) override;
  int link(const char* from, const char* to) override;
  int unlink(const char* path) override;

 private:
  // True, with errno set, when `call` is the one to fail.
  bool fails(Call call);

  Call failing_ = Call::kNone;
  bool fired_ = false;
};

}  // namespace korvane::support
