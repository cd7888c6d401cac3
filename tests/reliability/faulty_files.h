// Test file services that wrap the real ones and make one chosen call fail,
// after the fashion of a fault-injecting environment: the real copy, delete
// and flush run, and the fault is either raised in their place or provoked
// inside them (a write that fails halfway through the copy, a flush, rename,
// link or removal the system refuses).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "fs/file_services.h"
#include "fs/path_map.h"
#include "support/failing_calls.h"
#include "support/forwarding_files.h"

namespace korvane::reliability {

using support::FailingSystemCalls;

enum class FileFault {
  kPartialWrite,      // the copy's writes fail once half of `from` is written
  kDiskFull,          // 61 before anything is touched
  kHeld,              // 70: another program holds a file
  kAccessError,       // 75: a read or rename the system refused
  kFileFlushFails,    // the flush of the copy's new file, or of a flushed file, fails
  kPublishFails,      // the rename or link that names the copy fails
  kFolderFlushFails,  // the flush of the folder after the copy, or of a flushed file's, fails
  kUnlinkFails,       // the removal itself fails
};

// The faults that make sense for a copy, for a delete, and for a flush.
inline constexpr FileFault kCopyFaults[] = {
    FileFault::kPartialWrite,    FileFault::kDiskFull,       FileFault::kHeld,
    FileFault::kAccessError,     FileFault::kFileFlushFails, FileFault::kPublishFails,
    FileFault::kFolderFlushFails};
inline constexpr FileFault kDeleteFaults[] = {FileFault::kHeld, FileFault::kAccessError,
                                              FileFault::kUnlinkFails};
inline constexpr FileFault kFlushFaults[] = {FileFault::kAccessError, FileFault::kFileFlushFails,
                                             FileFault::kFolderFlushFails};

const char* nameOf(FileFault fault);

class FaultyFileServices : public support::ForwardingFileServices {
 public:
  enum class Kind { kCopy, kDelete, kFlush };

  // `real` makes its changes through `calls`.
  FaultyFileServices(fs::FileServices& real, fs::PathMap paths, FailingSystemCalls& calls);

  // Call number `call` (0 = the next one) fails with `fault`; later calls
  // run normally.
  void failCall(int call, FileFault fault);
  void clearFault() { faultCall_ = -1; }

  // Calls since the last failCall/resetCounts, and whether the fault fired.
  int calls() const { return calls_; }
  bool fired() const { return fired_; }
  // What call number `call` since the last reset was.
  Kind kindOf(int call) const { return kinds_.at(static_cast<std::size_t>(call)); }
  void resetCounts();

  void copyFile(const std::string& from, const std::string& to,
                fs::Overwrite mode = fs::Overwrite::kReplace) override;
  void deleteFile(const std::string& path) override;
  void flush(const std::string& path) override;
  // fileExists and identify are questions, not actions: they cannot fail,
  // so they are passed through.

 private:
  // True when this call is the one to fail (and counts it).
  bool isFaultyCall(Kind kind);
  void copyWithWriteLimit(const std::string& from, const std::string& to, fs::Overwrite mode);
  // Runs `real` with the system call that `fault` names failing inside it;
  // false when the fault is not one of those. A call that never reached
  // that system call completes as it would, and the fault has not fired.
  template <typename Real>
  bool failInside(Real real);

  fs::PathMap paths_;
  FailingSystemCalls& systemCalls_;
  int calls_ = 0;
  int faultCall_ = -1;
  FileFault fault_ = FileFault::kDiskFull;
  bool fired_ = false;
  std::vector<Kind> kinds_;
};

}  // namespace korvane::reliability
