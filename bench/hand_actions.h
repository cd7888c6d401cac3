// The three actions written by hand in SQLite, as a person would write them
// for these files: `cp` for the copies, ATTACH and INSERT ... SELECT with
// explicit column lists, the anti-join deletes, the three UPDATEs. Each
// statement is its own transaction, as each Execute is in Jet; rows that
// break a key are skipped with OR IGNORE, as Jet skips them.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace korvane::bench {

// The hand-written side's files: the old database and the template in
// `data`, the backup and the working copy in its Backup folder.
struct HandFiles {
  explicit HandFiles(const std::filesystem::path& data);
  std::filesystem::path oldSystem, templateFile, backup, working;
};

// Copies `from` over `to`.
using CopyFile = std::function<void(const std::filesystem::path&, const std::filesystem::path&)>;

class HandUpdate {
 public:
  // Writes the statements for the old layout and the template's standard
  // materials; their column lists are read here, before any timing.
  explicit HandUpdate(const HandFiles& files);

  // Copies the old database to the backup and the template to the working
  // copy with `copy`, transfers the data, swaps in the standard materials
  // and drops their table; with `synchronousOff`, nothing waits for the disk.
  void run(const CopyFile& copy, bool synchronousOff) const;

 private:
  HandFiles files_;
  std::vector<std::string> transfers_;
  std::string standardColumns_;
};

// NOT EXISTS where the link columns are indexed (`indexes`); without them,
// LEFT JOIN ... IS NULL, which SQLite joins through an automatic index.
void deleteOrphansByHand(const std::filesystem::path& working, bool synchronousOff, bool indexes);

void setNullByHand(const std::filesystem::path& working, bool synchronousOff);

}  // namespace korvane::bench
