// Whole files as bytes, what a folder holds, and a file's status.
#include "support/files.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace korvane::support {

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> entriesOf(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

FolderBytes bytesIn(const std::filesystem::path& folder) {
  FolderBytes files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    files[entry.path().filename().string()] =
        entry.is_directory() ? "<folder>" : readFile(entry.path());
  }
  return files;
}

std::string changesIn(const std::filesystem::path& folder, const FolderBytes& before) {
  std::string changes;
  const FolderBytes now = bytesIn(folder);
  for (const auto& [name, bytes] : before) {
    const auto found = now.find(name);
    if (found == now.end()) {
      changes += name + " is gone; ";
    } else if (found->second != bytes) {
      changes += name + " changed; ";
    }
  }
  for (const auto& [name, bytes] : now) {
    if (before.count(name) == 0) changes += name + " is new; ";
  }
  return changes;
}

struct stat statOf(const std::filesystem::path& path) {
  struct stat info = {};
  if (::lstat(path.c_str(), &info) != 0) info = {};
  return info;
}

void waitForTheNextFileTimeTick() {
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

}  // namespace korvane::support
