// What an SQLite database's own files say about it, read without disturbing
// any connection: whether another program is writing it right now, whether
// a write was interrupted, and whether committed rows still wait in its
// write-ahead log. docs/file-format.md says how a live writer is told from
// what a finished or crashed one left behind.
#pragma once

#include <filesystem>

namespace korvane::fs {

struct DatabaseState {
  bool writing = false;     // a connection holds a write lock: a write is under way
  bool connected = false;   // a connection has it open (write-ahead log) or is reading it
  bool hotJournal = false;  // a rollback journal that SQLite would roll back into it
  bool walFile = false;     // a "-wal" file lies beside it
  bool walFrames = false;   // ... and it is not empty
  bool shmFile = false;     // a "-shm" file lies beside it
  bool walMode = false;     // its header names the write-ahead log (bytes 18 and 19 are 2)

  // A journal or log beside it holds what the file alone lacks.
  bool pendingBeside() const { return hotJournal || walFrames; }
  // A copy of the file alone would not be the database as committed.
  bool cannotBeCopiedAlone() const { return writing || pendingBeside(); }

  bool operator==(const DatabaseState&) const = default;
};

// How `file` stands now, from the files beside it and the record locks
// SQLite's connections hold on it and on its "-shm" file (seen, never
// taken). A file that does not exist has only what lies beside it.
// It opens and closes the files it looks at, and POSIX drops a process's own
// record locks on a file when any of its descriptors is closed: it is never
// asked about a database that an SQLite connection of this process has open.
DatabaseState inspectDatabase(const std::filesystem::path& file);

// Copies the database `file` to the new file `copy`, with its hot rollback
// journal or its write-ahead log beside it as `copy` + "-journal" or "-wal",
// so that SQLite can settle the copy instead of the file. Holds a reader's
// lock on `file` meanwhile (no connection can commit into it or roll its
// journal back while it is copied). Fails with 70 when another connection is
// writing it, with the number of the system's error (failure.h) when it
// cannot be read or the copy cannot be written.
void copyDatabaseAside(const std::filesystem::path& file, const std::filesystem::path& copy);

}  // namespace korvane::fs
