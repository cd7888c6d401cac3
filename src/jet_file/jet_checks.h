// What the reader checks in a Jet file before libmdb is trusted with it.
//
// libmdb believes what the file says: a usage map of no bytes is used as if
// it were there (a crash), a page just past the end of the file reads as a
// page of zeros, counts of columns and indexes are followed however large,
// and a column name it cannot read is left empty. Each check here stands
// between one such weakness and libmdb, and fails with 3343 and a reason. The
// budgets bound the whole import's work by the file's size, whatever loops a
// damaged file holds. Data pages and rows are checked as they are walked
// (table_walk.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet_file/libmdb.h"

namespace korvane::jetfile {

// A table definition may have at most this many fields and indexes (Jet's
// own limits are 255 and 32).
inline constexpr int kMaxColumns = 255;
inline constexpr int kMaxIndexes = 32;

// The structure of the file around libmdb's calls. Fails with 3343 naming
// `displayName`.
class FileChecks {
 public:
  // Fails when the file does not end at a page's end.
  FileChecks(MdbHandle* mdb, std::uint64_t fileSize, std::string displayName);

  size_t pageCount() const { return pageCount_; }

  // Before mdb_read_table: `page` is inside the file and is a table
  // definition whose counts are within Jet's limits and whose usage map is a
  // row inside the file, a bitmap of at least five bytes or a list of map
  // pages inside the file.
  void requireTableDefinition(std::uint32_t page, const std::string& table);

  // After mdb_read_columns: every field has a name, and no two names are
  // the same but for letter case (the program's one fold, text/case_fold.h).
  void requireColumnNames(const MdbTableDef& def) const;

  // The user tables' names, likewise; nor may one begin with "sqlite_",
  // which SQLite keeps for itself.
  void requireTableNames(const std::vector<std::string>& names) const;

  // After each row: libmdb has read no more pages, and the reader decoded no
  // more row bytes, than a file of this size can justify. `rowBytes` is the
  // length of the row just read.
  void spendRow(size_t rowBytes);

  // Before a long value's bytes are copied: the import's long values stay
  // within what the file can hold.
  void spendLongValue(size_t bytes);

  // The pages libmdb has read so far. Reads made for long values are set
  // aside from spendRow's count (a page may hold many short values, each
  // read on its own): spendLongValue bounds them instead.
  std::uint64_t pageReads() const;
  void setAsideReads(std::uint64_t reads) { setAside_ += reads; }

 private:
  [[noreturn]] void fail(const std::string& why) const;

  MdbHandle* mdb_;
  std::uint64_t fileSize_;
  std::string name_;
  size_t pageCount_;
  std::uint64_t rowBytes_ = 0;
  std::uint64_t longValueBytes_ = 0;
  std::uint64_t setAside_ = 0;
};

}  // namespace korvane::jetfile
