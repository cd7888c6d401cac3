// What a test changes in its own process for one scope, and puts back
// afterwards: an environment variable, the umask, and the superuser's power
// to write where the permission bits forbid it.
#pragma once

#include <linux/capability.h>
#include <sys/types.h>

#include <optional>
#include <string>

namespace korvane::support {

// Sets the environment variable `name` to `value` (unsets it when null) and
// restores what it was when destroyed.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// Sets the process's umask to `mask` and restores it when destroyed.
class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t mask);
  ~ScopedUmask();
  ScopedUmask(const ScopedUmask&) = delete;
  ScopedUmask& operator=(const ScopedUmask&) = delete;

 private:
  mode_t old_;
};

// Takes away, for its lifetime, root's power to write where the permission
// bits forbid it, so that a read-only file or folder is read-only even to
// the superuser and a test of one proves something when run as root. For
// any other user it changes nothing.
class WithoutPermissionOverride {
 public:
  WithoutPermissionOverride();
  ~WithoutPermissionOverride();
  WithoutPermissionOverride(const WithoutPermissionOverride&) = delete;
  WithoutPermissionOverride& operator=(const WithoutPermissionOverride&) = delete;

 private:
  __user_cap_header_struct header_{};
  __user_cap_data_struct saved_[2]{};
  bool active_ = false;
};

}  // namespace korvane::support
