// Copies of databases that other programs have open: a program reading a
// database is no obstacle to copying it, one writing it is; a database any
// program has open is never replaced or removed under it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "fs/failure.h"
#include "fs/file_services.h"
#include "support/failure_of.h"
#include "support/files.h"
#include "support/other_program.h"
#include "support/sqlite_file.h"
#include "support/temp_prefix.h"

namespace korvane::fs {
namespace {

namespace stdfs = std::filesystem;
using support::failureOf;
using support::OtherProgram;
using support::readFile;
using support::TempPrefix;

const char kSystem[] = "C:\\data_aco\\QX_aco.mdb";
const char kBackup[] = "C:\\data_aco\\Backup\\QX_aco_261207_0843.mdb";
const char kWorking[] = "C:\\data_aco\\Backup\\QX_aco_261207_0843_update.mdb";

void makeDatabase(const stdfs::path& file, const char* journalMode) {
  support::runSql(file, std::string("PRAGMA journal_mode=") + journalMode +
                            "; CREATE TABLE t(x); INSERT INTO t VALUES (1);");
}

struct SharingCase {
  const char* name;
  const char* journalMode;
  const char* otherProgram;  // what it runs on the system database and keeps open
  int backup;                // copying it: 0 or the failure's number
  int replace;               // replacing it by the working copy
};

std::ostream& operator<<(std::ostream& out, const SharingCase& c) {
  return out << c.name;
}

const SharingCase kCases[] = {
    {"RollbackJournalReader", "DELETE", "BEGIN; SELECT count(*) FROM t;", 0,
     fserr::kPermissionDenied},
    {"RollbackJournalWriter", "DELETE", "BEGIN IMMEDIATE; INSERT INTO t VALUES (2);",
     fserr::kPermissionDenied, fserr::kPermissionDenied},
    {"WriteAheadLogIdleConnection", "WAL", "SELECT count(*) FROM t;", 0, fserr::kPermissionDenied},
    {"WriteAheadLogReader", "WAL", "BEGIN; SELECT count(*) FROM t;", 0, fserr::kPermissionDenied},
    {"WriteAheadLogWriter", "WAL", "BEGIN IMMEDIATE; INSERT INTO t VALUES (2);",
     fserr::kPermissionDenied, fserr::kPermissionDenied},
};

class CopySharing : public ::testing::TestWithParam<SharingCase> {
 protected:
  CopySharing() {
    stdfs::create_directories(host(kBackup).parent_path());
    makeDatabase(host(kSystem), GetParam().journalMode);
    makeDatabase(host(kWorking), "DELETE");
  }
  stdfs::path host(const std::string& windowsPath) const {
    return PathMap(prefix_.root()).toHost(windowsPath);
  }

  TempPrefix prefix_;
  HostFileServices files_{PathMap(prefix_.root())};
};

TEST_P(CopySharing, ReadersDoNotStopACopyWritersDoAndNoOpenDatabaseIsReplaced) {
  const std::string old = readFile(host(kSystem));
  {
    OtherProgram program(host(kSystem), GetParam().otherProgram);
    EXPECT_EQ(failureOf([&] { files_.copyFile(kSystem, kBackup, Overwrite::kNever); }).number,
              GetParam().backup);
    EXPECT_EQ(failureOf([&] { files_.copyFile(kWorking, kSystem, Overwrite::kReplace); }).number,
              GetParam().replace);
    EXPECT_EQ(failureOf([&] { files_.deleteFile(kSystem); }).number, fserr::kPermissionDenied);
    EXPECT_EQ(readFile(host(kSystem)), old);
    if (GetParam().backup == 0) {
      EXPECT_EQ(readFile(host(kBackup)), old);
    }
    program.finish("ROLLBACK");
  }
  // Once the other program has left, the database can be replaced.
  files_.copyFile(kWorking, kSystem, Overwrite::kReplace);
  EXPECT_EQ(readFile(host(kSystem)), readFile(host(kWorking)));
}

INSTANTIATE_TEST_SUITE_P(Cases, CopySharing, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvane::fs
