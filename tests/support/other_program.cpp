// Another program on a database: a forked child with its own SQLite
// connection (other_program.h).
#include "support/other_program.h"

#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <initializer_list>
#include <stdexcept>

namespace korvane::support {

namespace {

// Closes every descriptor the child inherited except `keepA` and `keepB`:
// the parent's flock marks and open-file-description locks live on in an
// inherited descriptor, and the child must hold nothing but its own.
void closeInherited(int keepA, int keepB) {
  const unsigned low = static_cast<unsigned>(std::min(keepA, keepB));
  const unsigned high = static_cast<unsigned>(std::max(keepA, keepB));
  if (low > 3) ::close_range(3, low - 1, 0);
  if (high > low + 1) ::close_range(low + 1, high - 1, 0);
  ::close_range(high + 1, ~0U, 0);
}

std::string readToEnd(int fd) {
  std::string text;
  char buffer[256];
  for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
    if (n > 0) text.append(buffer, static_cast<std::size_t>(n));
    if (n < 0 && errno != EINTR) break;
  }
  return text;
}

[[noreturn]] void runChild(const std::filesystem::path& file, const std::string& script,
                           int fromParent, int toParent) {
  closeInherited(fromParent, toParent);
  sqlite3* db = nullptr;
  const bool ran =
      sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
      sqlite3_exec(db, script.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  const char answer = ran ? 'y' : 'n';
  (void)!::write(toParent, &answer, 1);
  const std::string atEnd = readToEnd(fromParent);
  if (!atEnd.empty()) sqlite3_exec(db, atEnd.c_str(), nullptr, nullptr, nullptr);
  sqlite3_close(db);
  ::_exit(0);
}

void closeAll(std::initializer_list<int> fds) {
  for (int fd : fds) ::close(fd);
}

}  // namespace

OtherProgram::OtherProgram(const std::filesystem::path& file, const std::string& script) {
  int toChild[2];
  int toParent[2];
  if (::pipe(toChild) != 0) throw std::runtime_error("pipe failed");
  if (::pipe(toParent) != 0) {
    closeAll({toChild[0], toChild[1]});
    throw std::runtime_error("pipe failed");
  }
  pid_ = ::fork();
  if (pid_ < 0) {
    closeAll({toChild[0], toChild[1], toParent[0], toParent[1]});
    throw std::runtime_error("fork failed");
  }
  if (pid_ == 0) {
    ::close(toChild[1]);
    ::close(toParent[0]);
    runChild(file, script, toChild[0], toParent[1]);
  }
  ::close(toChild[0]);
  ::close(toParent[1]);
  toChild_ = toChild[1];
  char answer = 0;
  const bool answered = ::read(toParent[0], &answer, 1) == 1;
  ::close(toParent[0]);
  if (!answered || answer != 'y') {
    crash();
    throw std::runtime_error("the other program failed on " + file.string() + ": " + script);
  }
}

OtherProgram::~OtherProgram() {
  if (pid_ > 0) finish();
}

void OtherProgram::finish(const std::string& script) {
  if (pid_ <= 0) return;
  if (!script.empty()) (void)!::write(toChild_, script.data(), script.size());
  ::close(toChild_);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

void OtherProgram::crash() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  ::close(toChild_);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

std::unique_ptr<OtherProgram> untouched(const std::filesystem::path&) {
  return nullptr;
}

Arrangement keptOpenAfter(std::string script) {
  return [script](const std::filesystem::path& file) {
    return std::make_unique<OtherProgram>(file, script);
  };
}

Arrangement goneAfter(std::function<void(const std::filesystem::path&)> leave) {
  return [leave](const std::filesystem::path& file) {
    leave(file);
    return std::unique_ptr<OtherProgram>();
  };
}

void leaveRowsInTheLog(const std::filesystem::path& file, const std::string& inserts) {
  OtherProgram program(file, "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0; " + inserts);
  program.crash();
}

void leaveAHotJournal(const std::filesystem::path& file, const std::string& table) {
  OtherProgram program(file,
                       "PRAGMA journal_mode=DELETE; PRAGMA cache_size=2; BEGIN; "
                       "DELETE FROM \"" +
                           table +
                           "\"; CREATE TABLE spill(x); "
                           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                           "WHERE i < 2000) INSERT INTO spill SELECT randomblob(400) FROM n;");
  program.crash();
}

}  // namespace korvane::support
