// The file copy on its own: the file services' copyFile of the old database
// against `cp`, and `cp` followed by fsync, on the same file.
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "children.h"
#include "fs/file_services.h"
#include "fs/path_map.h"
#include "measure.h"
#include "run_folder.h"
#include "sides.h"

namespace korvane::bench {

namespace stdfs = std::filesystem;

void childCopies(const stdfs::path& master, const stdfs::path& run, int first) {
  const stdfs::path data = makeLayout(run);
  const stdfs::path prefix = run / "prefix";
  const stdfs::path source = data / "QX_aco.mdb";
  copyPlain(master / "QX_aco.mdb", source);
  fs::PathMap paths(prefix);
  fs::HostFileServices files(paths);

  std::map<std::string, double> took;
  const std::vector<std::pair<std::string, std::function<void()>>> ways = {
      {"copy_korvane",
       [&] {
         files.copyFile("C:\\data_aco\\QX_aco.mdb", "C:\\data_aco\\Backup\\copy.mdb",
                        fs::Overwrite::kNever);
       }},
      {"copy_cp",
       [&] {
         runProgram({"cp", source.string(), (data / "Backup" / "copy.mdb").string()});
       }},
      {"copy_cp_fsync",
       [&] {
         const stdfs::path to = data / "Backup" / "copy.mdb";
         runProgram({"cp", source.string(), to.string()});
         fsyncFile(to);
       }},
  };
  for (size_t i = 0; i < ways.size(); ++i) {
    const auto& [name, copy] = ways[(first + i) % ways.size()];
    stdfs::remove(data / "Backup" / "copy.mdb");
    took[name] = measure(copy).seconds;
  }
  stdfs::remove(data / "Backup" / "copy.mdb");
  report({{"copy_korvane", num(took["copy_korvane"])},
          {"copy_cp", num(took["copy_cp"])},
          {"copy_cp_fsync", num(took["copy_cp_fsync"])},
          {"bytes", std::to_string(stdfs::file_size(source))}});
}

}  // namespace korvane::bench
