// Confines korvane-jet-import before libmdb reads the Jet file: what the
// import reaches late is opened, seeded or pointed into the private folder
// first, or allowed read-only.
#include "jet_file/jet_import_sandbox.h"

#include <dlfcn.h>
#include <gnu/libc-version.h>
#include <sqlite3.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "fs/failure.h"
#include "fs/sandbox.h"
#include "jet_file/sanitized_build.h"
#include "sqlite/jet_errors.h"

namespace korvane::jetfile {

namespace {

namespace stdfs = std::filesystem;

// Where iconv loads its modules from (libmdb's code pages and UCS-2): the
// folders of GCONV_PATH, then glibc's own, `gconv` beside libc.
std::vector<stdfs::path> iconvModuleFolders() {
  std::vector<stdfs::path> folders;
  if (const char* value = std::getenv("GCONV_PATH")) {
    std::istringstream list(value);
    for (std::string folder; std::getline(list, folder, ':');)
      if (!folder.empty()) folders.emplace_back(folder);
  }
  // A function of glibc's that no sanitizer stands in for.
  Dl_info libc{};
  if (::dladdr(reinterpret_cast<void*>(&gnu_get_libc_version), &libc) != 0 && libc.dli_fname)
    folders.push_back(stdfs::path(libc.dli_fname).parent_path() / "gconv");
  return folders;
}

// SQLite's temporary files go to the private folder, and its random
// numbers are seeded (from /dev/urandom) while it can still be read.
void prepareSqlite(const stdfs::path& folder) {
  sqlite3_temp_directory = sqlite3_mprintf("%s", folder.c_str());
  unsigned char seed;
  sqlite3_randomness(sizeof seed, &seed);
}

}  // namespace

void confineTheImport(const stdfs::path& jetFile, const stdfs::path& targetFile,
                      const std::string& displayName) {
  const stdfs::path folder = stdfs::absolute(targetFile).parent_path();
  prepareSqlite(folder);
  fs::SandboxPaths paths;
  paths.readable = iconvModuleFolders();
  paths.readable.push_back(jetFile);
  // The sanitizer runtime reads it when it looks for leaks at exit.
  if (kBuiltWithAddressSanitizer) paths.readable.emplace_back("/proc/self");
  paths.writable.push_back(folder);
  try {
    fs::enterSandbox(paths);
  } catch (const Failure& failure) {
    raiseJet(jeterr::kNotADatabase, displayName,
             "reading it was refused: its sandbox could not be set up (" + failure.text() + ")");
  }
}

}  // namespace korvane::jetfile
