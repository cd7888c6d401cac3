// Another program using a database through SQLite, for tests: a child
// process with a connection of its own, so that the record locks it holds
// really are another process's. It runs a script and waits; it is then told
// to finish (close its connection as a program does on leaving) or killed
// where it stands, as a program that crashes. The child is forked: it must be
// started while this process has no SQLite connection on the same file
// (SQLite's record of its own locks would be inherited with the memory).
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace korvane::support {

class OtherProgram {
 public:
  // Opens `file` in a new child process, runs `script` there and returns
  // once it has; throws std::runtime_error when the child could not open the
  // file or the script failed.
  OtherProgram(const std::filesystem::path& file, const std::string& script);
  // Finishes the child unless it has already ended.
  ~OtherProgram();
  OtherProgram(const OtherProgram&) = delete;
  OtherProgram& operator=(const OtherProgram&) = delete;

  // Runs `script` (a "COMMIT", say), closes the connection and waits for the
  // child to end.
  void finish(const std::string& script = {});

  // Kills the child: its transaction, journal and log stay as they are.
  void crash();

 private:
  pid_t pid_ = -1;
  int toChild_ = -1;
};

// What other programs did with a database before a test uses it, or still
// do: returns the program that keeps it open, or none.
using Arrangement = std::function<std::unique_ptr<OtherProgram>(const std::filesystem::path&)>;

// Nobody touched the database since it was made.
std::unique_ptr<OtherProgram> untouched(const std::filesystem::path& file);
// A program ran `script` and keeps its connection, and any transaction, open.
Arrangement keptOpenAfter(std::string script);
// A program did `leave` to the database and is gone.
Arrangement goneAfter(std::function<void(const std::filesystem::path&)> leave);

// Makes `file` a write-ahead-log database whose "-wal" holds committed rows
// the file itself lacks, beside an "-shm" left over from a program that
// crashed: `inserts` run without a checkpoint, then the program is killed.
void leaveRowsInTheLog(const std::filesystem::path& file, const std::string& inserts);

// Gives the rollback-journal database `file` a hot journal: a program
// deletes every row of `table` in a transaction large enough to spill into
// the file, and is killed before it commits. The rows as they were are the
// committed ones; the file alone is torn.
void leaveAHotJournal(const std::filesystem::path& file, const std::string& table);

}  // namespace korvane::support
