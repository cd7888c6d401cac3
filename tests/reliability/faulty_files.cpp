// The fault-injecting file services. A partial write is provoked with the
// process's file size limit, so the real copy meets a real write error
// (EFBIG) halfway through its temporary file.
#include "faulty_files.h"

#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <stdexcept>

#include "fs/failure.h"

namespace korvane::reliability {

namespace {

// Lowers the file size limit to `bytes` for its lifetime; writes past it
// fail with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    previousHandler_ = ::signal(SIGXFSZ, SIG_IGN);
    if (::getrlimit(RLIMIT_FSIZE, &previous_) != 0) throw std::runtime_error("getrlimit");
    rlimit limited = previous_;
    limited.rlim_cur = bytes;
    if (::setrlimit(RLIMIT_FSIZE, &limited) != 0) throw std::runtime_error("setrlimit");
  }
  ~FileSizeLimit() {
    (void)::setrlimit(RLIMIT_FSIZE, &previous_);
    ::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit previous_{};
  sighandler_t previousHandler_;
};

int numberOf(FileFault fault) {
  switch (fault) {
    case FileFault::kDiskFull:
      return fserr::kDiskFull;
    case FileFault::kHeld:
      return fserr::kPermissionDenied;
    case FileFault::kPartialWrite:
    case FileFault::kAccessError:
      break;
  }
  return fserr::kPathFileAccessError;
}

}  // namespace

const char* nameOf(FileFault fault) {
  switch (fault) {
    case FileFault::kPartialWrite:
      return "PartialWrite";
    case FileFault::kDiskFull:
      return "DiskFull";
    case FileFault::kHeld:
      return "Held";
    case FileFault::kAccessError:
      return "AccessError";
  }
  return "?";
}

FaultyFileServices::FaultyFileServices(fs::FileServices& real, fs::PathMap paths)
    : real_(real), paths_(std::move(paths)) {}

void FaultyFileServices::failCall(int call, FileFault fault) {
  resetCounts();
  faultCall_ = call;
  fault_ = fault;
}

void FaultyFileServices::resetCounts() {
  calls_ = 0;
  fired_ = false;
  copies_.clear();
}

bool FaultyFileServices::isFaultyCall() {
  const bool faulty = calls_ == faultCall_;
  ++calls_;
  if (faulty) fired_ = true;
  return faulty;
}

void FaultyFileServices::copyFile(const std::string& from, const std::string& to,
                                  fs::Overwrite mode) {
  copies_.push_back(true);
  if (!isFaultyCall()) return real_.copyFile(from, to, mode);
  if (fault_ == FileFault::kPartialWrite) return copyWithWriteLimit(from, to, mode);
  raiseFileFailure(numberOf(fault_), to);
}

void FaultyFileServices::deleteFile(const std::string& path) {
  copies_.push_back(false);
  if (!isFaultyCall()) return real_.deleteFile(path);
  raiseFileFailure(numberOf(fault_), path);
}

void FaultyFileServices::copyWithWriteLimit(const std::string& from, const std::string& to,
                                            fs::Overwrite mode) {
  const auto size = std::filesystem::file_size(paths_.toHost(from));
  FileSizeLimit limit(static_cast<rlim_t>(size / 2));
  real_.copyFile(from, to, mode);
  // A copy that got past the limit did not write what it claims.
  throw std::logic_error("the copy of " + from + " ignored a failed write");
}

}  // namespace korvane::reliability
