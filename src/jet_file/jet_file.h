// Reading real Jet database files (Access .mdb, Jet 3 and Jet 4).
//
// Korvane's own databases are SQLite files; a lab's older data may still be in
// a real Jet file. Such a file is never written: it is read whole, once, into
// a fresh SQLite database in our file format (one table per user table, our
// declared types, every value exact), and the engine serves that copy.
#pragma once

#include <filesystem>
#include <string>

struct sqlite3;

namespace korvane::jetfile {

enum class JetFileFormat {
  kNotJet,  // no Jet header (an SQLite file, say)
  kJet3,    // Access 97
  kJet4,    // Access 2000-2003
  kAce,     // Access 2007 and later: recognised, not readable
};

// The format named by the first bytes of `file`. kNotJet when the file is
// missing, unreadable or too short to hold a header.
JetFileFormat jetFileFormatOf(const std::filesystem::path& file);

// True when `file` starts with a Jet or ACE header, i.e. it is not one of our
// SQLite files and must go through importJetFile (which refuses ACE).
bool looksLikeJetFile(const std::filesystem::path& file);

// Copies every user table of the Jet file `jetFile` into `target`, an open
// SQLite database (schema "main") that holds none of those tables yet.
// Either everything is imported or, on failure, nothing is: the target is
// left as it was. `jetFile` is only read. libmdb's messages never reach
// stderr.
// Fails with 3024 when `jetFile` does not exist, 3343 ("Unrecognized database
// format") when it is not a readable Jet 3 or Jet 4 file or any part of it is
// damaged, 3010 when a table of that name is already in `target`; when the
// target cannot be written, with the number the SQLite layer gives (3035 disk
// full, 3043 I/O error, 3027 read-only, 3045 in use), naming the target's file.
void importJetFile(const std::filesystem::path& jetFile, sqlite3* target,
                   const std::string& displayName = {});

// Creates the SQLite database `targetFile` (which must not exist) and imports
// `jetFile` into it. On failure `targetFile` does not exist afterwards.
// Fails as importJetFile does, with 3204 when `targetFile` exists and 3051
// when it cannot be made.
void importJetFileToNewDatabase(const std::filesystem::path& jetFile,
                                const std::filesystem::path& targetFile,
                                const std::string& displayName = {});

// Removes `file` and its rollback journal, where they are: what a failed
// import leaves of its target.
void removeDatabaseFiles(const std::filesystem::path& file);

}  // namespace korvane::jetfile
