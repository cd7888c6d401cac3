// Test file services that wrap the real ones and make one chosen call fail,
// after the fashion of a fault-injecting environment: the real copy and
// delete run, and the fault is either raised in their place or provoked
// inside them (a write that fails halfway through the copy).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "fs/file_services.h"
#include "fs/path_map.h"

namespace korvane::reliability {

enum class FileFault {
  kPartialWrite,  // the copy's writes fail once half of `from` is written
  kDiskFull,      // 61 before anything is touched
  kHeld,          // 70: another program holds a file
  kAccessError,   // 75: a read or rename the system refused
};

// The faults that make sense for a copy, and for a delete.
inline constexpr FileFault kCopyFaults[] = {FileFault::kPartialWrite, FileFault::kDiskFull,
                                            FileFault::kHeld, FileFault::kAccessError};
inline constexpr FileFault kDeleteFaults[] = {FileFault::kHeld, FileFault::kAccessError};

const char* nameOf(FileFault fault);

class FaultyFileServices : public fs::FileServices {
 public:
  FaultyFileServices(fs::FileServices& real, fs::PathMap paths);

  // Call number `call` (0 = the next one) fails with `fault`; later calls
  // run normally.
  void failCall(int call, FileFault fault);
  void clearFault() { faultCall_ = -1; }

  // Calls since the last failCall/resetCounts, and whether the fault fired.
  int calls() const { return calls_; }
  bool fired() const { return fired_; }
  // Whether call number `call` since the last reset was a copy (else a
  // delete).
  bool wasCopy(int call) const { return copies_.at(static_cast<std::size_t>(call)); }
  void resetCounts();

  void copyFile(const std::string& from, const std::string& to,
                fs::Overwrite mode = fs::Overwrite::kReplace) override;
  void deleteFile(const std::string& path) override;
  // Questions, not actions: they cannot fail, so they are passed through.
  bool fileExists(const std::string& path) override { return real_.fileExists(path); }
  std::optional<fs::FileIdentity> identify(const std::string& path) override {
    return real_.identify(path);
  }

 private:
  // True when this call is the one to fail (and counts it).
  bool isFaultyCall();
  void copyWithWriteLimit(const std::string& from, const std::string& to, fs::Overwrite mode);

  fs::FileServices& real_;
  fs::PathMap paths_;
  int calls_ = 0;
  int faultCall_ = -1;
  FileFault fault_ = FileFault::kDiskFull;
  bool fired_ = false;
  std::vector<bool> copies_;
};

}  // namespace korvane::reliability
