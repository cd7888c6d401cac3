// The fixed file names of the program and the rules that derive the backup
// and working-copy names of an Update run.
#pragma once

#include <string>

namespace korvane::workflow {

inline constexpr const char* kDataFolder = "C:\\data_aco\\";
inline constexpr const char* kSystemDatabase = "C:\\data_aco\\QX_aco.mdb";
inline constexpr const char* kTemplateDatabase = "C:\\data_aco\\QX_Std.mdb";
inline constexpr const char* kBackupBase = "C:\\data_aco\\Backup\\QX_aco";
inline constexpr const char* kExternalFolderName = "External";

struct RunNames {
  std::string sourcePath;
  std::string workingPath;
};

// C:\data_aco\Backup\QX_aco_<stamp>.mdb and ..._<stamp>_update.mdb.
RunNames systemNames(const std::string& stamp);

// sourcePath = selectedPath; workingPath = selectedPath less its last 11
// characters + "_" + stamp + ".mdb". Fails with 5 (invalid argument) when
// selectedPath is shorter than 11 characters.
RunNames externalNames(const std::string& selectedPath, const std::string& stamp);

}  // namespace korvane::workflow
