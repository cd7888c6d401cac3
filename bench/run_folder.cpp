// The children's folders and plain file operations.
#include "run_folder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "children.h"
#include "support/temp_prefix.h"

namespace korvane::bench {

namespace stdfs = std::filesystem;

stdfs::path makeLayout(const stdfs::path& run) {
  support::layOutPrefix(run / "prefix");
  const stdfs::path data = run / "prefix" / "drive_c" / "data_aco";
  stdfs::create_directories(data / "Backup");
  return data;
}

void removeFiles(const stdfs::path& folder) {
  if (!stdfs::exists(folder)) return;
  std::vector<stdfs::path> files;
  for (const auto& entry : stdfs::recursive_directory_iterator(folder))
    if (entry.is_regular_file() && !entry.is_symlink()) files.push_back(entry.path());
  for (const auto& file : files) stdfs::remove(file);
}

void copyPlain(const stdfs::path& from, const stdfs::path& to) {
  stdfs::copy_file(from, to, stdfs::copy_options::overwrite_existing);
}

void fsyncFile(const stdfs::path& file) {
  FILE* f = std::fopen(file.c_str(), "r+");
  if (!f) fail("cannot open " + file.string());
  fsync(fileno(f));
  std::fclose(f);
}

void fsyncFolder(const stdfs::path& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) fail("cannot open " + folder.string());
  fsync(fd);
  close(fd);
}

}  // namespace korvane::bench
