// Database files read and written with SQLite itself, past the engine, as
// any other SQLite tool would: what a test checks is what is on disk.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace korvane::support {

using Rows = std::vector<std::vector<std::string>>;

// How a Null value reads.
inline constexpr const char* kNull = "<null>";

// The rows `sql` gives on `file` (opened read-only, never written), each
// value as SQLite's text of it. Throws std::runtime_error when the file
// cannot be opened or `sql` fails.
Rows readRows(const std::filesystem::path& file, const std::string& sql);

// The first column of those rows.
std::vector<std::string> readColumn(const std::filesystem::path& file, const std::string& sql);

// The one value `sql` gives; throws std::runtime_error when it gives
// another number of rows or columns.
std::string readValue(const std::filesystem::path& file, const std::string& sql);

// Runs the statements `sql` on `file`, creating it when it is missing.
// Throws std::runtime_error when one fails.
void runSql(const std::filesystem::path& file, const std::string& sql);

}  // namespace korvane::support
