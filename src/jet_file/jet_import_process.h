// The Jet import run in the helper program korvane-jet-import, so that a
// fault inside libmdb ends the helper, never the window.
//
// The helper is found beside the running program, else in
// ../libexec/korvane/ from it (an installed tree, GNUInstallDirs' layout);
// tests name the build tree's helper with useJetImportHelperForTesting.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "fs/child_process.h"

namespace korvane::jetfile {

inline constexpr char kJetImportHelperName[] = "korvane-jet-import";

// Creates the SQLite file `targetFile` (which must not exist) and imports
// every user table of `jetFile` into it, in the helper, under
// jetImportLimits. Fails as importJetFileToNewDatabase does (3024, 3343,
// 3204, 3043, ...); also with 3343 when the helper crashes, is stopped by a
// limit or ends without saying why, the text saying what happened, and when
// the helper cannot be found or started. On failure `targetFile` and its
// journal do not exist.
void importJetFileInHelper(const std::filesystem::path& jetFile,
                           const std::filesystem::path& targetFile, const std::string& displayName);

// The limits of the helper for a Jet file of `fileSize` bytes: room for any
// sound file of that size, far below what would hurt the machine.
fs::ChildLimits jetImportLimits(std::uint64_t fileSize);

// The helper program to run, or an empty path when there is none.
std::filesystem::path jetImportHelper();

// The helper of the program at `program`: beside it, else in
// ../libexec/korvane/ from its folder; an empty path when neither exists.
std::filesystem::path jetImportHelperBeside(const std::filesystem::path& program);

// The helper's side, the whole of korvane-jet-import's main: with arguments
// JETFILE TARGET DISPLAYNAME it confines itself (jet_import_sandbox.h:
// TARGET's folder is its private folder), then creates the SQLite file
// TARGET and imports JETFILE into it. Exit status 0: done. Exit status 1:
// failed, and stdout holds the failure's number on the first line and its
// text after it; TARGET does not exist. Anything else (another status, a
// signal; SIGSYS when the sandbox ended it) is a fault the caller reports
// for it. `whileConfined`, a test's, runs once the sandbox holds, before
// the Jet file is read.
int jetImportHelperMain(int argc, char** argv, const std::function<void()>& whileConfined = {});

// Test hook: run `program` as the helper from now on, with
// `leadingArguments` before its own, and, when `limits` is given, with those
// limits instead of jetImportLimits.
void useJetImportHelperForTesting(const std::filesystem::path& program,
                                  const fs::ChildLimits* limits = nullptr,
                                  const std::vector<std::string>& leadingArguments = {});

// Test hook: turns off the checks the reader makes before libmdb reads a
// table definition and its usage map (jet_checks.h), so that a test can see
// libmdb fail on its own, in a helper. Never called by the program.
void disableJetStructureChecksForTesting();

}  // namespace korvane::jetfile
