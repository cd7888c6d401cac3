// For tests of files and folders without write permission: the superuser's
// writes are not stopped by permission bits, so such a test run as root
// proves nothing unless it drops its privileges for the while.
#pragma once

#include <grp.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <vector>

namespace korvane::testing {

// While it lives, this process acts as an ordinary user: when it runs as
// root, as "nobody" (65534), after handing `folders` and everything in them
// to that user; otherwise as itself, and `folders` stay as they are.
class AsUnprivilegedUser {
 public:
  explicit AsUnprivilegedUser(const std::vector<std::filesystem::path>& folders) {
    if (::geteuid() != 0) return;
    for (const std::filesystem::path& folder : folders) handOver(folder);
    groups_.resize(static_cast<std::size_t>(::getgroups(0, nullptr)));
    if (::getgroups(static_cast<int>(groups_.size()), groups_.data()) < 0 ||
        ::setgroups(0, nullptr) != 0 || ::setegid(kNobody) != 0 || ::seteuid(kNobody) != 0) {
      throw std::runtime_error("cannot act as an unprivileged user");
    }
    dropped_ = true;
  }
  ~AsUnprivilegedUser() {
    if (!dropped_) return;
    // The saved user id is still root's, so the way back is open.
    (void)!::seteuid(0);
    (void)!::setegid(0);
    (void)!::setgroups(groups_.size(), groups_.data());
  }
  AsUnprivilegedUser(const AsUnprivilegedUser&) = delete;
  AsUnprivilegedUser& operator=(const AsUnprivilegedUser&) = delete;

 private:
  static constexpr uid_t kNobody = 65534;

  static void handOver(const std::filesystem::path& folder) {
    (void)!::lchown(folder.c_str(), kNobody, kNobody);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
      (void)!::lchown(entry.path().c_str(), kNobody, kNobody);
    }
  }

  bool dropped_ = false;
  std::vector<gid_t> groups_;
};

}  // namespace korvane::testing
