// A real Jet file served to the engine: a read-only SQLite copy of it, made
// when the file is opened and removed when the handle lets it go.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace korvane::db {

class JetSourceCopy {
 public:
  // Imports every user table of `jetFile` into a new SQLite file in a folder
  // of its own under the system's temporary folder. `jetFile` is only read.
  // Fails as importJetFileToNewDatabase does (3024 missing, 3343 not a
  // readable Jet 3 or Jet 4 file or damaged), 3043 when the temporary folder
  // cannot be made; on failure nothing is left behind.
  static std::unique_ptr<JetSourceCopy> import(const std::filesystem::path& jetFile,
                                               const std::string& windowsPath);
  // Removes the copy and its folder; the connection on it must be closed.
  ~JetSourceCopy();
  JetSourceCopy(const JetSourceCopy&) = delete;
  JetSourceCopy& operator=(const JetSourceCopy&) = delete;

  const std::filesystem::path& file() const { return file_; }

 private:
  JetSourceCopy(std::filesystem::path folder, std::filesystem::path file)
      : folder_(std::move(folder)), file_(std::move(file)) {}
  std::filesystem::path folder_;
  std::filesystem::path file_;
};

}  // namespace korvane::db
