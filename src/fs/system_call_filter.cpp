// The seccomp filter of a confined process: the calls that would reach past
// Landlock's rules kill the process (SIGSYS); every other call is allowed.
//
// A list of what is forbidden rather than of what is allowed: the calls a
// sound import makes come from glibc, glib, libmdb, iconv's modules, SQLite
// and, in the tests, the sanitizer runtime, and change with their versions
// and with the path a damaged file takes; a call missing from an allowed
// list would refuse a sound file. Landlock already confines the files, so
// the filter forbids what Landlock cannot see (docs/reliability.md). Calls
// of another architecture (i386, x32) are killed whole, so that none slips
// past the list under another number.
#include <sched.h>
#include <seccomp.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "fs/failure.h"
#include "fs/sandbox_parts.h"

namespace korvane::fs {

namespace {

constexpr std::uint32_t kKill = SCMP_ACT_KILL_PROCESS;

// Forbidden whatever their arguments.
constexpr const char* kForbidden[] = {
    // the network and other processes' sockets
    "socket", "socketpair", "connect", "bind", "listen", "accept", "accept4", "socketcall",
    // starting a program
    "execve", "execveat",
    // mounts and the root
    "mount", "umount", "umount2", "pivot_root", "chroot", "open_tree", "move_mount", "fsopen",
    "fsconfig", "fsmount", "fspick", "mount_setattr",
    // namespaces
    "unshare", "setns",
    // keyrings
    "add_key", "request_key", "keyctl",
    // another process's descriptors and signals by descriptor
    "pidfd_getfd", "pidfd_send_signal",
    // a file changed by its name where Landlock does not look (permissions,
    // owner, times, attributes, size before Landlock ABI 3)
    "chmod", "fchmodat", "fchmodat2", "chown", "lchown", "fchownat", "utime", "utimes", "futimesat",
    "utimensat", "setxattr", "lsetxattr", "removexattr", "lremovexattr", "truncate",
    "name_to_handle_at", "open_by_handle_at",
    // the kernel's rarely used interfaces, where its faults are found
    "bpf", "perf_event_open", "userfaultfd", "io_uring_setup", "io_uring_enter",
    "io_uring_register", "kexec_load", "kexec_file_load", "init_module", "finit_module",
    "delete_module", "reboot", "swapon", "swapoff", "acct", "quotactl", "quotactl_fd",
    "personality", "syslog", "lookup_dcookie", "vhangup", "iopl", "ioperm", "uselib",
    "process_madvise", "memfd_secret"};

// Calls of Linux 6.5 and later (numbered alike on every architecture)
// answer that they do not exist, glibc then falling back to older ones: a
// list of what is forbidden must not let through what it has never seen
// (fchmodat2, setxattrat, ...). x32's numbers start at 512 on x86_64.
constexpr int kFirstUnlistedCall = 451;
constexpr int kPastLastCall = 512;

// Namespaces a new process could be given.
constexpr unsigned long kNamespaceFlags[] = {CLONE_NEWNS,    CLONE_NEWUTS, CLONE_NEWIPC,
                                             CLONE_NEWUSER,  CLONE_NEWPID, CLONE_NEWNET,
                                             CLONE_NEWCGROUP};

struct FilterDeleter {
  void operator()(void* filter) const { seccomp_release(filter); }
};
using Filter = std::unique_ptr<void, FilterDeleter>;

[[noreturn]] void raise(const std::string& what, int error) {
  throw Failure(fserr::kPathFileAccessError, "seccomp: " + what + ": " + std::strerror(error));
}

void check(int result, const std::string& what) {
  if (result < 0) raise(what, -result);
}

// Returns the call's number, or -1 when it is not a call of this
// architecture (socketcall on x86_64).
int forbid(scmp_filter_ctx filter, const char* name) {
  const int call = seccomp_syscall_resolve_name(name);
  if (call < 0) return -1;
  check(seccomp_rule_add(filter, kKill, call, 0), std::string("cannot forbid ") + name);
  return call;
}

// Another process may not be traced, read, written or signalled; this one
// may (abort() signals itself; LeakSanitizer traces it from a clone).
void forbidOtherProcesses(scmp_filter_ctx filter) {
  const auto self = static_cast<scmp_datum_t>(::getpid());
  const struct {
    int call;
    unsigned argument;
  } targeted[] = {{SCMP_SYS(ptrace), 1},
                  {SCMP_SYS(process_vm_readv), 0},
                  {SCMP_SYS(process_vm_writev), 0},
                  {SCMP_SYS(kill), 0},
                  {SCMP_SYS(tkill), 0},
                  {SCMP_SYS(tgkill), 0},
                  {SCMP_SYS(rt_sigqueueinfo), 0},
                  {SCMP_SYS(rt_tgsigqueueinfo), 0}};
  for (const auto& t : targeted)
    check(
        seccomp_rule_add(filter, kKill, t.call, 1, scmp_arg_cmp{t.argument, SCMP_CMP_NE, self, 0}),
        "cannot limit a call to this process");
}

// clone may make a process or thread but no namespace; clone3, whose flags
// a filter cannot read, says it does not exist, and glibc falls back to clone.
void forbidNewNamespaces(scmp_filter_ctx filter) {
  for (unsigned long flag : kNamespaceFlags)
    check(seccomp_rule_add(filter, kKill, SCMP_SYS(clone), 1,
                           scmp_arg_cmp{0, SCMP_CMP_MASKED_EQ, flag, flag}),
          "cannot limit clone");
  check(seccomp_rule_add(filter, SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(clone3), 0),
        "cannot turn clone3 away");
}

// No typing into a terminal: the kernel reads the request as 32 bits.
void forbidTerminalInput(scmp_filter_ctx filter) {
  for (unsigned long request : {TIOCSTI, TIOCLINUX})
    check(seccomp_rule_add(filter, kKill, SCMP_SYS(ioctl), 1,
                           scmp_arg_cmp{1, SCMP_CMP_MASKED_EQ, 0xffffffffUL, request}),
          "cannot limit ioctl");
}

void turnAwayUnlistedCalls(scmp_filter_ctx filter, const std::set<int>& forbidden) {
  for (int call = kFirstUnlistedCall; call < kPastLastCall; ++call)
    if (!forbidden.count(call))
      check(seccomp_rule_add(filter, SCMP_ACT_ERRNO(ENOSYS), call, 0),
            "cannot turn new calls away");
}

}  // namespace

bool kernelFiltersSystemCalls() {
  std::uint32_t action = SECCOMP_RET_KILL_PROCESS;
  return ::syscall(SYS_seccomp, SECCOMP_GET_ACTION_AVAIL, 0, &action) == 0;
}

namespace detail {

bool filterSystemCalls() {
  if (!kernelFiltersSystemCalls()) return false;
  Filter filter(seccomp_init(SCMP_ACT_ALLOW));
  if (!filter) raise("cannot make a filter", ENOMEM);
  check(seccomp_attr_set(filter.get(), SCMP_FLTATR_ACT_BADARCH, kKill),
        "cannot refuse other architectures");
  check(seccomp_attr_set(filter.get(), SCMP_FLTATR_CTL_OPTIMIZE, 2), "cannot sort the filter");
  std::set<int> forbidden;
  for (const char* name : kForbidden) forbidden.insert(forbid(filter.get(), name));
  forbidOtherProcesses(filter.get());
  forbidNewNamespaces(filter.get());
  forbidTerminalInput(filter.get());
  turnAwayUnlistedCalls(filter.get(), forbidden);
  check(seccomp_load(filter.get()), "cannot load the filter");
  return true;
}

}  // namespace detail

}  // namespace korvane::fs
