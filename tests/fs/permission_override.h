// For tests of files and folders without write permission: root writes
// wherever it likes, so such a test run as root proves nothing unless the
// superuser's power to override permission bits is taken away meanwhile.
#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace korvane::testing {

// Takes away, for its lifetime, the power of root to write where the
// permission bits forbid it, so a read-only folder is read-only even to
// the superuser. For any other user it changes nothing.
class WithoutPermissionOverride {
 public:
  WithoutPermissionOverride() {
    header_.version = _LINUX_CAPABILITY_VERSION_3;
    if (::syscall(SYS_capget, &header_, saved_) != 0) return;
    __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
    lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_FOWNER));
    active_ = ::syscall(SYS_capset, &header_, lowered) == 0;
  }
  ~WithoutPermissionOverride() {
    if (active_) (void)::syscall(SYS_capset, &header_, saved_);
  }
  WithoutPermissionOverride(const WithoutPermissionOverride&) = delete;
  WithoutPermissionOverride& operator=(const WithoutPermissionOverride&) = delete;

 private:
  __user_cap_header_struct header_{};
  __user_cap_data_struct saved_[2]{};
  bool active_ = false;
};

}  // namespace korvane::testing
