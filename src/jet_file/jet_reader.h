// libmdb behind a small interface: the user tables of a Jet file, their
// fields as Jet types, and their rows as exact values.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "jet_file/jet_values.h"
#include "sqlite/jet_types.h"

namespace korvane::jetfile {

struct JetColumn {
  std::string name;
  JetType type = JetType::kUnknown;
  int size = 0;   // Text: characters; Decimal: precision
  int scale = 0;  // Decimal
};

struct JetTable {
  std::string name;
  std::vector<JetColumn> columns;  // in the table's own field order
};

class JetReader {
 public:
  // Opens `file`, a Jet 3 or Jet 4 file by its header, and reads its catalog
  // and the definitions of its user tables (system tables left out).
  // `displayName` names the file in failures. Fails with 3343 when the file,
  // its catalog or a table definition cannot be read.
  JetReader(const std::filesystem::path& file, const std::string& displayName);
  ~JetReader();
  JetReader(const JetReader&) = delete;
  JetReader& operator=(const JetReader&) = delete;

  const std::vector<JetTable>& tables() const;

  // Calls `sink` with every live row of tables()[index], in file order, one
  // value per column. Fails with 3343 when a data page, a row or a value of
  // the table is damaged (table_walk.h, jet_checks.h).
  using RowSink = std::function<void(const std::vector<JetValue>&)>;
  void readRows(size_t index, const RowSink& sink);

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

// Raises 3343 for `displayName`, saying why after Jet's text.
[[noreturn]] void raiseDamaged(const std::string& displayName, const std::string& why);

}  // namespace korvane::jetfile
