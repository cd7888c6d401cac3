// Which way a handle opens its file, and the ways that read and write the
// user's file itself: a new database, an existing one, the working copy
// written as scratch (database_opener.h).
#include "db/opening/database_opener.h"

#include <cstring>
#include <fstream>

#include "db/opening/jet_source.h"
#include "db/opening/source_reading.h"
#include "db/values/jet_collation.h"
#include "jet_file/jet_file.h"
#include "sqlite/jet_errors.h"

namespace korvane::db {

namespace stdfs = std::filesystem;

namespace {

constexpr char kSqliteHeader[16] = "SQLite format 3";  // with its closing '\0'
// Marks files made by this engine ("KRVN"); files of other tools open too.
constexpr int kApplicationId = 0x4B52564E;

// A new, empty database made at the request's path; never one that replaces
// a file.
class NewFile final : public OpenedFile {
 public:
  explicit NewFile(const OpenRequest& request) {
    std::error_code ec;
    if (!stdfs::is_directory(request.hostPath.parent_path(), ec))
      raiseJet(jeterr::kInvalidPath, request.windowsPath);
    if (stdfs::exists(request.hostPath, ec)) raiseJet(jeterr::kDatabaseExists);
    connection_ =
        openJetConnection(request.hostPath, request.windowsPath, sqlite::OpenMode::kCreate);
    // Writes the header, so that the new file is a database from now on.
    connection_->exec("PRAGMA application_id = " + std::to_string(kApplicationId));
    hold(request);
  }
  sqlite::Connection& connection() override { return *connection_; }

 private:
  std::unique_ptr<sqlite::Connection> connection_;
};

// An existing database, read and written, flushed at every commit.
class WritableFile : public OpenedFile {
 public:
  explicit WritableFile(const OpenRequest& request) {
    checkDatabaseFile(request.hostPath, request.windowsPath);
    hold(request);
    connection_ =
        openJetConnection(request.hostPath, request.windowsPath, sqlite::OpenMode::kReadWrite);
  }
  sqlite::Connection& connection() override { return *connection_; }

 private:
  std::unique_ptr<sqlite::Connection> connection_;
};

// The working copy once declared scratch: written as any other, but never
// waiting for the disk.
class ScratchFile final : public WritableFile {
 public:
  explicit ScratchFile(const OpenRequest& request) : WritableFile(request) {
    connection().exec(synchronousOf("main", true));
  }
};

}  // namespace

OpenedFile::~OpenedFile() = default;

fs::FileHold& OpenedFile::hold(const OpenRequest& request) {
  hold_ = holdFile(request.hostPath, request.windowsPath);
  return *hold_;
}

std::unique_ptr<fs::FileHold> holdFile(const stdfs::path& hostPath,
                                       const std::string& windowsPath) {
  auto hold = fs::FileHold::acquire(hostPath);
  if (!hold) raiseJet(jeterr::kCannotOpen, windowsPath);
  return hold;
}

std::unique_ptr<OpenedFile> openFile(const OpenRequest& request) {
  if (request.create) return std::make_unique<NewFile>(request);
  // A Jet file is only ever read, whatever the request.
  if (jetfile::looksLikeJetFile(request.hostPath))
    return std::make_unique<ImportedJetFile>(request);
  if (request.readOnly) return std::make_unique<ReadOnlySource>(request);
  if (isScratch(request.scratch, request.hostPath)) return std::make_unique<ScratchFile>(request);
  return std::make_unique<WritableFile>(request);
}

std::string uriOf(const stdfs::path& hostPath, const char* mode, std::string_view more) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = "file:";
  for (unsigned char c : hostPath.string()) {
    if (std::isalnum(c) || std::strchr("/-_.~", c)) {
      uri += static_cast<char>(c);
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 15];
    }
  }
  uri += std::string("?mode=") + mode;
  if (!more.empty()) uri += "&" + std::string(more);
  return uri;
}

void checkDatabaseFile(const stdfs::path& hostPath, const std::string& windowsPath) {
  std::error_code ec;
  if (!stdfs::is_directory(hostPath.parent_path(), ec)) raiseJet(jeterr::kInvalidPath, windowsPath);
  const auto status = stdfs::status(hostPath, ec);
  if (!stdfs::exists(status)) raiseJet(jeterr::kFileNotFound, windowsPath);
  if (stdfs::is_directory(status)) raiseJet(jeterr::kCannotOpen, windowsPath);
  std::ifstream in(hostPath, std::ios::binary);
  if (!in) raiseJet(jeterr::kCannotOpen, windowsPath);
  char header[sizeof kSqliteHeader] = {};
  in.read(header, sizeof header);
  if (in.gcount() != sizeof header || std::memcmp(header, kSqliteHeader, sizeof header) != 0)
    raiseJet(jeterr::kNotADatabase, windowsPath);
}

bool isScratch(const std::shared_ptr<const std::set<stdfs::path>>& scratch,
               const stdfs::path& hostPath) {
  return scratch && scratch->contains(hostPath.lexically_normal());
}

std::string synchronousOf(const std::string& schema, bool scratch) {
  return "PRAGMA " + schema + ".synchronous=" + (scratch ? "OFF" : "FULL");
}

}  // namespace korvane::db
