// Temporary folders and prefixes for tests.
#include "support/temp_prefix.h"

#include <stdlib.h>

#include <stdexcept>
#include <system_error>

namespace korvane::support {

namespace stdfs = std::filesystem;

TempFolder::TempFolder(const stdfs::path& parent) {
  std::string pattern = (parent / "korvane-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp " + pattern);
  path_ = stdfs::canonical(pattern);
}

namespace {

// Gives the owner every right on `folder` and the folders below it (links
// are not followed), so that a test that took write permission away from a
// folder does not leave its files behind.
void makeRemovable(const stdfs::path& folder) {
  std::error_code ec;
  if (!stdfs::is_directory(stdfs::symlink_status(folder, ec))) return;
  stdfs::permissions(folder, stdfs::perms::owner_all, stdfs::perm_options::add, ec);
  for (stdfs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    makeRemovable(it->path());
}

}  // namespace

TempFolder::~TempFolder() {
  makeRemovable(path_);
  std::error_code ignored;  // a folder left behind in the temporary folder harms no test
  stdfs::remove_all(path_, ignored);
}

void layOutPrefix(const stdfs::path& root, std::string_view drives) {
  stdfs::create_directories(root / "dosdevices");
  for (const char letter : drives) {
    const std::string folder = std::string("drive_") + letter;
    const stdfs::path link = root / "dosdevices" / (std::string(1, letter) + ":");
    stdfs::create_directories(root / folder);
    if (!stdfs::is_symlink(link)) stdfs::create_directory_symlink(".." / stdfs::path(folder), link);
  }
}

TempPrefix::TempPrefix(std::string_view drives) {
  layOutPrefix(root(), drives);
}

stdfs::path TempPrefix::drive(char letter) const {
  return root() / (std::string("drive_") + letter);
}

void TempPrefix::mapDrive(const std::string& entry, const stdfs::path& folder) const {
  stdfs::create_directory_symlink(folder, root() / "dosdevices" / entry);
}

}  // namespace korvane::support
