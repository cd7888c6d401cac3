// Copies the tables a statement reads into a temporary database of the IN
// 'file' target's text encoding.
#include "db/opening/encoding_bridge.h"

#include <algorithm>
#include <array>
#include <fstream>

#include "sqlite/sql_text.h"

namespace korvane::db {

using sqlite::appendToList;
using sqlite::qualifiedName;
using sqlite::quoteName;

std::string textEncodingOfFile(const std::filesystem::path& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  std::array<unsigned char, 60> header{};
  if (!in.read(reinterpret_cast<char*>(header.data()), header.size())) return "";
  // Bytes 56-59: 1 UTF-8, 2 UTF-16le, 3 UTF-16be, big-endian.
  if (header[56] != 0 || header[57] != 0 || header[58] != 0) return "";
  switch (header[59]) {
    case 1:
      return "UTF-8";
    case 2:
      return "UTF-16le";
    case 3:
      return "UTF-16be";
    default:
      return "";
  }
}

std::string textEncodingOf(sqlite::Connection& connection, const std::string& schema) {
  std::string encoding;
  connection.query("PRAGMA " + quoteName(schema) + ".encoding", {},
                   [&](const sqlite::Connection::ColumnText& col) { encoding = col(0); });
  return encoding;
}

EncodingBridge::EncodingBridge(std::unique_ptr<sqlite::Connection> bridge,
                               sqlite::Connection& source, const std::vector<std::string>& tables,
                               const std::string& encoding)
    : bridge_(std::move(bridge)) {
  // Before anything is written, while the bridge's encoding can still be set.
  bridge_->exec("PRAGMA encoding = " + sqlite::quoteText(encoding));
  bridge_->exec("BEGIN");
  std::vector<std::string> copied;
  for (const auto& table : tables) {
    if (std::find(copied.begin(), copied.end(), table) != copied.end()) continue;
    copyTable(source, table);
    copied.push_back(table);
  }
  bridge_->exec("COMMIT");
}

void EncodingBridge::copyTable(sqlite::Connection& source, const std::string& table) {
  std::string columns, declared, parameters;
  int count = 0;
  source.query("SELECT name, type FROM pragma_table_xinfo(?1, 'main') WHERE hidden <> 1", {table},
               [&](const sqlite::Connection::ColumnText& col) {
                 const std::string name = quoteName(col(0));
                 appendToList(columns, name);
                 // The declared type as the file wrote it, so that the copy
                 // has the same affinity and keeps each value as it is.
                 appendToList(declared, name + " " + col(1));
                 appendToList(parameters, "?");
                 ++count;
               });
  const std::string copy = qualifiedName("main", table);
  bridge_->exec("CREATE TABLE " + copy + " (" + declared + ")");
  sqlite::Statement read(source.handle(), "SELECT " + columns + " FROM " + copy,
                         source.displayName());
  sqlite::Statement write(bridge_->handle(), "INSERT INTO " + copy + " VALUES (" + parameters + ")",
                          bridge_->displayName());
  while (read.step()) {
    // Each value with its storage class; text is stored in the bridge's
    // encoding.
    for (int i = 0; i < count; ++i) write.bindColumn(i + 1, read, i);
    write.step();
    write.reset();
  }
}

}  // namespace korvane::db
