// The meeting place of a statement's source and an IN 'file' target whose
// text encodings differ.
//
// SQLite attaches only databases of the main database's text encoding, and a
// database made through SQLite's UTF-16 open call is UTF-16, while our files
// are UTF-8. For such a pair the tables the statement reads are copied, with
// their declared types and every value as it is stored, into a private
// temporary database in the target's encoding; the statement then runs on
// that database, with the target attached to it. The copy lives as long as
// the bridge and is deleted by SQLite when its connection closes.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "sqlite/connection.h"

namespace korvane::db {

// The text encoding a database file declares in its header: "UTF-8",
// "UTF-16le" or "UTF-16be"; "" for a file that declares none yet (empty) or
// cannot be read.
std::string textEncodingOfFile(const std::filesystem::path& hostPath);

// The text encoding of schema `schema` on `connection`, in the same words.
std::string textEncodingOf(sqlite::Connection& connection, const std::string& schema);

class EncodingBridge {
 public:
  // Copies `tables` (tables or views, as `source` names them) of schema
  // "main" on `source` into `bridge`, a new, empty temporary database (opened
  // on the path ""), which it sets to `encoding` first. Fails with Jet's
  // number for an SQLite failure of either side.
  EncodingBridge(std::unique_ptr<sqlite::Connection> bridge, sqlite::Connection& source,
                 const std::vector<std::string>& tables, const std::string& encoding);

  sqlite::Connection& connection() { return *bridge_; }

 private:
  void copyTable(sqlite::Connection& source, const std::string& table);

  std::unique_ptr<sqlite::Connection> bridge_;
};

}  // namespace korvane::db
