// A real Jet file served to the engine: a read-only SQLite copy of it, made
// when the file is opened (in the helper program, jet_import_process.h) and
// removed when the handle lets it go.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace korvane::fs {
class TempFolder;
}

namespace korvane::db {

class JetSourceCopy {
 public:
  // Imports every user table of `jetFile` into a new SQLite file in a folder
  // of its own under the system's temporary folder, first removing the
  // folders of runs that were killed. `jetFile` is only read. Fails as
  // importJetFileInHelper does (3024 missing, 3343 not a readable Jet 3 or
  // Jet 4 file, damaged, or the reader crashed or reached a limit), 3043 when
  // the temporary folder cannot be made; on failure nothing is left behind.
  static std::unique_ptr<JetSourceCopy> import(const std::filesystem::path& jetFile,
                                               const std::string& windowsPath);
  // Removes the copy and its folder; the connection on it must be closed.
  ~JetSourceCopy();
  JetSourceCopy(const JetSourceCopy&) = delete;
  JetSourceCopy& operator=(const JetSourceCopy&) = delete;

  const std::filesystem::path& file() const { return file_; }

 private:
  JetSourceCopy(std::unique_ptr<fs::TempFolder> folder, std::filesystem::path file);
  std::unique_ptr<fs::TempFolder> folder_;
  std::filesystem::path file_;
};

}  // namespace korvane::db
