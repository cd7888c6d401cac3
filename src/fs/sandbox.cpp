// enterSandbox: no new privileges, then Landlock, then the seccomp filter.
#include "fs/sandbox.h"

#include <sys/prctl.h>

#include <cerrno>
#include <cstring>

#include "fs/failure.h"
#include "fs/sandbox_parts.h"

namespace korvane::fs {

Confinement enterSandbox(const SandboxPaths& paths) {
  // Landlock and an unprivileged seccomp filter both require it; every
  // kernel that has either has it.
  if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 && errno != EINVAL)
    throw Failure(fserr::kPathFileAccessError,
                  std::string("cannot give up new privileges: ") + std::strerror(errno));
  Confinement confinement;
  confinement.landlockAbi = detail::restrictByLandlock(paths);
  confinement.seccomp = detail::filterSystemCalls();
  return confinement;
}

}  // namespace korvane::fs
