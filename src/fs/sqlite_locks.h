// Where SQLite's connections put their POSIX record locks (its unix file
// layer): the file layer reads them to see what other programs are doing
// with a database, and takes a reader's lock itself. Internal to src/fs.
#pragma once

#include <sys/types.h>

namespace korvane::fs::detail {

// In the database file, beyond its first gigabyte, so they never cover data:
// a writer holds RESERVED while its transaction is open and PENDING while it
// waits to commit; readers hold the SHARED range, a committing writer (or a
// connection that has the file to itself) holds all of it exclusively.
inline constexpr off_t kPendingByte = 0x40000000;
inline constexpr off_t kReservedByte = kPendingByte + 1;
inline constexpr off_t kSharedFirst = kReservedByte + 1;
inline constexpr off_t kSharedSize = 510;
// PENDING, RESERVED and SHARED together.
inline constexpr off_t kDatabaseLockBytes = 2 + kSharedSize;

// In the write-ahead log's "-shm" file: one byte each for the write lock,
// the checkpoint lock and the recovery lock, five read marks, then the "DMS"
// byte that every connection having the database open holds shared.
inline constexpr off_t kWalWriteLock = 120;
inline constexpr off_t kWalExclusiveLocks = 3;  // write, checkpoint, recovery
inline constexpr off_t kWalDmsByte = 128;

}  // namespace korvane::fs::detail
