// The catalog of one open file: its tables, their fields, and the field
// properties (captions, descriptions) Jet keeps with them.
//
// Names are looked up as Jet looks them up, without regard to case. SQLite's
// own tables and the property table MSysFieldProperties are not part of the
// catalog. A view stands where Jet's saved query would: it can be read from
// like a table, and is nothing else. Every column is listed, generated ones
// included; the hidden columns of virtual tables are not. Properties live in
// MSysFieldProperties(TableName, FieldName, PropertyName, Value), made on
// first use, keyed by the stored names.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/values/jet_convert.h"
#include "sqlite/connection.h"
#include "sqlite/jet_types.h"

namespace korvane::db {

inline constexpr std::string_view kPropertyTable = "MSysFieldProperties";

struct ColumnInfo {
  std::string name;  // as stored
  JetType type = JetType::kUnknown;
  int precision = 0, scale = 0;  // a Decimal's, as declared (0: not declared)
  bool notNull = false;          // as declared
  bool inPrimaryKey = false;     // required by Jet whatever is declared
  bool hasDefault = false;       // one other than Null
  bool rowidAlias = false;       // the one key field, INTEGER: SQLite numbers it
  bool generated = false;        // GENERATED ALWAYS AS: read, never written

  // A key field the file lets hold Null: the writers skip a row that would
  // put Null there, as Jet skips a row that breaks a key.
  bool keyMayBeNull() const { return inPrimaryKey && !notNull; }
  // Such a field that nothing fills when an append leaves it out, so that
  // every row appended without it would break the key.
  bool nullWhenOmitted() const {
    return keyMayBeNull() && !hasDefault && !rowidAlias && type != JetType::kCounter;
  }
  FieldType fieldType() const { return {type, precision, scale}; }
};

struct TableInfo {
  std::string name;  // as stored
  bool isView = false;
  std::vector<ColumnInfo> columns;

  const ColumnInfo* findColumn(std::string_view name) const;
  // The AutoNumber field, if the table has one.
  const ColumnInfo* counter() const;
};

class Catalog {
 public:
  // The catalog of schema `schema` ("main", or an attached file's name).
  Catalog(sqlite::Connection& connection, std::string schema);

  // The table named `name` (any case), or nullptr. A name spelled exactly
  // as stored wins over one that only compares equal.
  const TableInfo* findTable(std::string_view name);
  // The table or view a FROM clause names as `name`, or nullptr.
  const TableInfo* findSource(std::string_view name);
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
  struct Entry {
    std::string name;
    bool isView = false;
  };

  void load();
  const TableInfo* find(std::string_view name, bool viewsToo);
  const TableInfo* read(const Entry& entry);

  sqlite::Connection& connection_;
  std::string schema_;
  bool loaded_ = false;
  std::vector<Entry> entries_;    // tables and views, in the file's order
  std::deque<TableInfo> tables_;  // read on demand; pointers to them stay valid
};

}  // namespace korvane::db
