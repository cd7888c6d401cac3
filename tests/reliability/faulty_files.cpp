// The fault-injecting file services. A partial write is provoked with the
// process's file size limit, so the real copy meets a real write error
// (EFBIG) halfway through its temporary file; a failing flush, rename, link
// or removal through the system calls the real services make their changes
// with.
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
    default:
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
    case FileFault::kFileFlushFails:
      return "FileFlushFails";
    case FileFault::kPublishFails:
      return "PublishFails";
    case FileFault::kFolderFlushFails:
      return "FolderFlushFails";
    case FileFault::kUnlinkFails:
      return "UnlinkFails";
  }
  return "?";
}

FaultyFileServices::FaultyFileServices(fs::FileServices& real, fs::PathMap paths,
                                       FailingSystemCalls& calls)
    : ForwardingFileServices(real), paths_(std::move(paths)), systemCalls_(calls) {}

void FaultyFileServices::failCall(int call, FileFault fault) {
  resetCounts();
  faultCall_ = call;
  fault_ = fault;
}

void FaultyFileServices::resetCounts() {
  calls_ = 0;
  fired_ = false;
  kinds_.clear();
}

bool FaultyFileServices::isFaultyCall(Kind kind) {
  kinds_.push_back(kind);
  const bool faulty = calls_ == faultCall_;
  ++calls_;
  if (faulty) fired_ = true;
  return faulty;
}

template <typename Real>
bool FaultyFileServices::failInside(Real real) {
  using Call = FailingSystemCalls::Call;
  Call call = Call::kNone;
  switch (fault_) {
    case FileFault::kFileFlushFails:
      call = Call::kFileFlush;
      break;
    case FileFault::kPublishFails:
      call = Call::kPublish;
      break;
    case FileFault::kFolderFlushFails:
      call = Call::kFolderFlush;
      break;
    case FileFault::kUnlinkFails:
      call = Call::kUnlink;
      break;
    default:
      return false;
  }
  systemCalls_.failNext(call);
  try {
    real();
  } catch (...) {
    // Failed before it reached the system call: its own failure, not ours.
    fired_ = systemCalls_.fired();
    systemCalls_.failNext(Call::kNone);
    throw;
  }
  fired_ = systemCalls_.fired();
  systemCalls_.failNext(Call::kNone);
  // A call that went through although its system call failed hid a fault.
  if (fired_)
    throw std::logic_error(std::string("the file services ignored a failed system call: ") +
                           nameOf(fault_));
  return true;
}

void FaultyFileServices::copyFile(const std::string& from, const std::string& to,
                                  fs::Overwrite mode) {
  if (!isFaultyCall(Kind::kCopy)) return real_.copyFile(from, to, mode);
  if (fault_ == FileFault::kPartialWrite) return copyWithWriteLimit(from, to, mode);
  if (failInside([&] { real_.copyFile(from, to, mode); })) return;
  raiseFileFailure(numberOf(fault_), to);
}

void FaultyFileServices::deleteFile(const std::string& path) {
  if (!isFaultyCall(Kind::kDelete)) return real_.deleteFile(path);
  if (failInside([&] { real_.deleteFile(path); })) return;
  raiseFileFailure(numberOf(fault_), path);
}

void FaultyFileServices::flush(const std::string& path) {
  if (!isFaultyCall(Kind::kFlush)) return real_.flush(path);
  if (failInside([&] { real_.flush(path); })) return;
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
