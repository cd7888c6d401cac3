// Choosing how a database that is only read is opened (source_reading.h).
//
// SQLite itself would write such a file in four ways: a connection that may
// write rolls a hot journal back into it; the last connection to close a
// write-ahead-log database checkpoints the log into it and deletes the log;
// "PRAGMA journal_mode" rewrites its header; and even a read-only
// connection creates the "-wal" and "-shm" files it lacks (and writes read
// marks and a rebuilt index into an "-shm" it can write). So:
// - a rollback-journal file without a hot journal opens "mode=ro";
// - a write-ahead-log file whose log and index are both there opens
//   "mode=ro&readonly_shm=1": SQLite reads the log's committed frames and
//   never writes the index (with no other connection open it builds its
//   index in memory);
// - a write-ahead-log file with no frames to read and no index opens
//   "immutable=1", which looks at nothing beside it; the reader's lock the
//   handle holds keeps rollback-journal writers, checkpoints on close and
//   journal-mode changes out meanwhile;
// - a hot journal, or a log without its index, is copied aside with the
//   file into a private folder and settled there by SQLite, and the copy is
//   read. That costs a whole copy, but only in these two uncommon cases.
#include "db/opening/source_reading.h"

#include "db/opening/private_folder.h"
#include "db/values/jet_collation.h"
#include "fs/database_files.h"
#include "fs/failure.h"
#include "sqlite/connection.h"
#include "sqlite/jet_errors.h"

namespace korvane::db {

namespace stdfs = std::filesystem;

namespace {

// Copies `hostPath` with its journal or log into `folder` and lets SQLite
// roll the journal back or take the log in there, as it would have done in
// the user's file. Returns the settled copy.
stdfs::path settleAside(const stdfs::path& hostPath, const std::string& windowsPath,
                        const stdfs::path& folder) {
  const stdfs::path copy = folder / "source.sqlite";
  try {
    fs::copyDatabaseAside(hostPath, copy);
  } catch (const Failure& failure) {
    if (failure.number() == fserr::kPermissionDenied) raiseJet(jeterr::kFileInUse, windowsPath);
    if (failure.number() == fserr::kDiskFull) raiseJet(jeterr::kDiskFull, {}, failure.text());
    raiseJet(jeterr::kDiskIo, {}, failure.text());
  }
  {
    // A connection that may write settles the copy as it opens it (its
    // journal mode set to DELETE takes the log into the file) and closes.
    const sqlite::Connection settle(copy, windowsPath, sqlite::OpenMode::kReadWrite);
  }
  return copy;
}

// The URI that reads `request`'s file, with `hold` on it made a reader's
// lock; a settled copy is made in `privateCopy`.
std::string uriToRead(const OpenRequest& request, fs::FileHold& hold,
                      std::unique_ptr<fs::TempFolder>& privateCopy) {
  const stdfs::path& hostPath = request.hostPath;
  if (!hold.lockAsReader()) raiseJet(jeterr::kFileInUse, request.windowsPath);
  const fs::DatabaseState state = fs::inspectDatabase(hostPath);
  if (state.writing) raiseJet(jeterr::kFileInUse, request.windowsPath);

  if (state.hotJournal || (state.walFrames && !state.shmFile)) {
    privateCopy = makePrivateFolder(PrivateCopy::kSettledSource);
    return uriOf(settleAside(hostPath, request.windowsPath, privateCopy->path()), "ro");
  }
  if (state.walFile && state.shmFile) return uriOf(hostPath, "ro", "readonly_shm=1");
  if (state.walMode || state.walFile) return uriOf(hostPath, "ro", "immutable=1");
  return uriOf(hostPath, "ro");
}

}  // namespace

ReadOnlySource::ReadOnlySource(const OpenRequest& request) {
  checkDatabaseFile(request.hostPath, request.windowsPath);
  const std::string uri = uriToRead(request, hold(request), privateCopy_);
  connection_ =
      openJetConnection(stdfs::path(uri), request.windowsPath, sqlite::OpenMode::kReadWrite);
}

}  // namespace korvane::db
