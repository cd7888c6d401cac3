// The Jet import check: one file's bytes through importJetFile.
#include "jet_import_check.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "fs/failure.h"
#include "jet_file/jet_file.h"
#include "sqlite/connection.h"
#include "sqlite/jet_errors.h"

namespace korvane::fuzz {

namespace {

namespace stdfs = std::filesystem;

// Removes the process's input file when the process ends.
struct InputFile {
  InputFile()
      : path(stdfs::temp_directory_path() /
             ("korvane-jet-fuzz-" + std::to_string(::getpid()) + ".mdb")) {}
  ~InputFile() {
    std::error_code ignored;
    stdfs::remove(path, ignored);
  }
  stdfs::path path;
};

[[noreturn]] void fault(const std::string& what) {
  std::fprintf(stderr, "Jet import fault: %s\n", what.c_str());
  std::abort();
}

}  // namespace

JetOutcome checkJetImport(std::span<const std::uint8_t> bytes, std::string* why) {
  static const InputFile input;
  {
    std::ofstream out(input.path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) fault("cannot write " + input.path.string());
  }
  const sqlite::Connection target(":memory:", "memory", sqlite::OpenMode::kCreate);
  try {
    jetfile::importJetFile(input.path, target.handle(), "fuzz.mdb");
  } catch (const Failure& failure) {
    if (failure.number() != jeterr::kNotADatabase.number)
      fault("failed with " + std::to_string(failure.number()) + ": " + failure.text());
    if (why) *why = failure.text();
    return JetOutcome::kRefused;
  }
  return JetOutcome::kImported;
}

}  // namespace korvane::fuzz
