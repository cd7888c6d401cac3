// The catalog of one open file: its tables, their fields, and the field
// properties (captions, descriptions) Jet keeps with them.
//
// Names are looked up as Jet looks them up, without regard to case. SQLite's
// own tables and the property table MSysFieldProperties are not part of the
// catalog. Properties live in MSysFieldProperties(TableName, FieldName,
// PropertyName, Value), made on first use, keyed by the stored names.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sqlite/connection.h"
#include "sqlite/jet_types.h"

namespace korvane::db {

inline constexpr std::string_view kPropertyTable = "MSysFieldProperties";

struct ColumnInfo {
  std::string name;  // as stored
  JetType type = JetType::kUnknown;
  bool notNull = false;
  bool hasDefault = false;
};

struct TableInfo {
  std::string name;  // as stored
  std::vector<ColumnInfo> columns;

  const ColumnInfo* findColumn(std::string_view name) const;
  // The AutoNumber field, if the table has one.
  const ColumnInfo* counter() const;
};

class Catalog {
 public:
  // The catalog of schema `schema` ("main", or an attached file's name).
  Catalog(sqlite::Connection& connection, std::string schema);

  // The table named `name` (any case), or nullptr.
  const TableInfo* findTable(std::string_view name);
  std::vector<std::string> tableNames();
  // True when an index named `name` (any case) exists.
  bool hasIndex(std::string_view name);
  const std::string& schema() const { return schema_; }

  // Forgets what was read, so the next lookup reads the file again.
  void refresh();

  // Field properties. `table` and `field` must be stored names.
  void setFieldProperty(const std::string& table, const std::string& field,
                        const std::string& property, const std::string& value);
  std::optional<std::string> fieldProperty(const std::string& table, const std::string& field,
                                           const std::string& property);
  // The statement that removes every property of `table` (it is being
  // dropped), or "" when the file keeps no properties.
  std::string dropFieldPropertiesSql(const std::string& table);
  bool hasPropertyTable();

 private:
  void load();

  sqlite::Connection& connection_;
  std::string schema_;
  bool loaded_ = false;
  std::vector<std::string> tableNames_;
  std::deque<TableInfo> tables_;  // read on demand; pointers to them stay valid
};

}  // namespace korvane::db
