// Process settings changed for one scope (scoped_process.h).
#include "support/scoped_process.h"

#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>

namespace korvane::support {

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
  if (const char* old = std::getenv(name)) old_ = old;
  value ? ::setenv(name, value, 1) : ::unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
  old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_);
}

ScopedUmask::ScopedUmask(mode_t mask) : old_(::umask(mask)) {}

ScopedUmask::~ScopedUmask() {
  ::umask(old_);
}

WithoutPermissionOverride::WithoutPermissionOverride() {
  header_.version = _LINUX_CAPABILITY_VERSION_3;
  if (::syscall(SYS_capget, &header_, saved_) != 0) return;
  __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
  lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_FOWNER));
  active_ = ::syscall(SYS_capset, &header_, lowered) == 0;
}

WithoutPermissionOverride::~WithoutPermissionOverride() {
  if (active_) (void)::syscall(SYS_capset, &header_, saved_);
}

}  // namespace korvane::support
