// Landlock: the files and folders a confined process may reach, and, from
// ABI 4 and 6 on, no TCP and no signals or abstract sockets outside it.
//
// Every right the kernel's ABI knows is handled, so what no rule grants is
// refused; a right a newer ABI brought is dropped on an older kernel, as
// the kernel's documentation describes. The values are the kernel's own
// (linux/landlock.h; the build machine's copy may predate ABI 3).
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "fs/failure.h"
#include "fs/posix_file.h"
#include "fs/sandbox_parts.h"

namespace korvane::fs {

namespace {

using detail::UniqueFd;

constexpr std::uint64_t kExecute = 1ULL << 0;
constexpr std::uint64_t kWriteFile = 1ULL << 1;
constexpr std::uint64_t kReadFile = 1ULL << 2;
constexpr std::uint64_t kReadDir = 1ULL << 3;
constexpr std::uint64_t kRemoveFile = 1ULL << 5;
constexpr std::uint64_t kMakeReg = 1ULL << 8;
constexpr std::uint64_t kAbi1Rights = (1ULL << 13) - 1;  // execute .. make symlink
constexpr std::uint64_t kRefer = 1ULL << 13;             // ABI 2
constexpr std::uint64_t kTruncate = 1ULL << 14;          // ABI 3
constexpr std::uint64_t kIoctlDev = 1ULL << 15;          // ABI 5
// The rights a rule on a file (not a folder) may carry.
constexpr std::uint64_t kFileRights = kExecute | kWriteFile | kReadFile | kTruncate | kIoctlDev;

constexpr std::uint64_t kBindTcp = 1ULL << 0;                  // ABI 4
constexpr std::uint64_t kConnectTcp = 1ULL << 1;               // ABI 4
constexpr std::uint64_t kScopeAbstractUnixSocket = 1ULL << 0;  // ABI 6
constexpr std::uint64_t kScopeSignal = 1ULL << 1;              // ABI 6

constexpr unsigned kAskVersion = 1U << 0;
constexpr int kRulePathBeneath = 1;

struct RulesetAttr {
  std::uint64_t handledFs;
  std::uint64_t handledNet;
  std::uint64_t scoped;
};

struct __attribute__((packed)) PathBeneathAttr {
  std::uint64_t allowed;
  std::int32_t parentFd;
};

[[noreturn]] void raise(const std::string& what) {
  throw Failure(fserr::kPathFileAccessError, "Landlock: " + what + ": " + std::strerror(errno));
}

RulesetAttr handledBy(int abi) {
  RulesetAttr attr{kAbi1Rights, 0, 0};
  if (abi >= 2) attr.handledFs |= kRefer;
  if (abi >= 3) attr.handledFs |= kTruncate;
  if (abi >= 4) attr.handledNet = kBindTcp | kConnectTcp;  // no rule: no TCP at all
  if (abi >= 5) attr.handledFs |= kIoctlDev;
  if (abi >= 6) attr.scoped = kScopeAbstractUnixSocket | kScopeSignal;
  return attr;
}

// Grants `rights` beneath `path`; a path that cannot be opened gets nothing.
void allow(int ruleset, const std::filesystem::path& path, std::uint64_t rights,
           std::uint64_t handled) {
  UniqueFd fd(::open(path.c_str(), O_PATH | O_CLOEXEC));
  struct stat status {};
  if (!fd || ::fstat(fd.get(), &status) != 0) return;
  if (!S_ISDIR(status.st_mode)) rights &= kFileRights;
  const PathBeneathAttr rule{rights & handled, fd.get()};
  if (::syscall(SYS_landlock_add_rule, ruleset, kRulePathBeneath, &rule, 0) != 0)
    raise("cannot allow " + path.string());
}

}  // namespace

int landlockAbiOfKernel() {
  const long abi = ::syscall(SYS_landlock_create_ruleset, nullptr, 0, kAskVersion);
  return abi > 0 ? static_cast<int>(abi) : 0;
}

namespace detail {

int restrictByLandlock(const SandboxPaths& paths) {
  const int abi = landlockAbiOfKernel();
  if (abi == 0) return 0;
  const RulesetAttr attr = handledBy(abi);
  UniqueFd ruleset(static_cast<int>(::syscall(SYS_landlock_create_ruleset, &attr, sizeof attr, 0)));
  if (!ruleset) raise("cannot make a ruleset");
  for (const auto& path : paths.readable)
    allow(ruleset.get(), path, kReadFile | kReadDir, attr.handledFs);
  for (const auto& path : paths.writable)
    allow(ruleset.get(), path,
          kReadFile | kReadDir | kWriteFile | kMakeReg | kRemoveFile | kTruncate, attr.handledFs);
  if (::syscall(SYS_landlock_restrict_self, ruleset.get(), 0) != 0)
    raise("cannot restrict the process");
  return abi;
}

}  // namespace detail

}  // namespace korvane::fs
