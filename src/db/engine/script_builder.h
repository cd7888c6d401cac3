// Builds a database from a script of Jet SQL: the sample databases, and the
// fixtures of tests.
//
// A script is Jet SQL statements, each ending with ';' at the end of a line
// (a statement may span lines). "--" starts a comment to the end of the line
// (outside quotes). Field properties, which Jet SQL cannot set, are written
// as directives, one per line:
//   @caption Table.Field 'text';
//   @description [Some Table].[Some Field] 'text';
// (names as in Jet SQL, the text as a Jet string literal).
#pragma once

#include <filesystem>
#include <string_view>

#include "db/engine/database_engine.h"

namespace korvane::db {

// Runs `script` on `db`, statement by statement. A failing statement raises
// its Jet failure with " (script line N)" added to the text.
void runScript(Database& db, std::string_view script);

// Creates the new database file `newHostFile` (fails with 3204 when a file is
// there, 3044 when its folder is missing) and runs the script text in it. On
// failure the half-built file is removed.
void buildDatabaseFromScript(const std::filesystem::path& newHostFile, std::string_view scriptText);

// The same with the script read from `scriptFile` (3024 when it is missing).
void buildDatabaseFromScriptFile(const std::filesystem::path& newHostFile,
                                 const std::filesystem::path& scriptFile);

}  // namespace korvane::db
