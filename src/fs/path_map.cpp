// Windows path text to host paths and back, through a Wine-style prefix.
//
// toHost splits the text into a drive and components, settles "." and ".."
// as text the way Windows does (never above the drive's root), then looks each
// component up in its folder: the exact spelling first, else an entry that
// differs from it only in letter case. Letter case is folded on whole
// characters of the UTF-8 names (Ä matches ä) by the same rule as the
// engine's names (text/case_fold.h).
#include "fs/path_map.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <system_error>
#include <vector>

#include "fs/failure.h"
#include "text/case_fold.h"

namespace korvane::fs {
namespace stdfs = std::filesystem;

namespace {

bool isSeparator(char c) {
  return c == '\\' || c == '/';
}

bool isAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char asciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The entry of `folder` spelled `name`, else the one that differs from it only
// in letter case (the first in byte order when there are several); nullopt
// when there is none or the folder cannot be read.
std::optional<std::string> findEntry(const stdfs::path& folder, std::string_view name) {
  struct stat info;
  if (::lstat((folder / name).c_str(), &info) == 0) return std::string(name);
  std::optional<std::string> found;
  std::error_code ec;
  for (stdfs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (text::compareIgnoringCase(entry, name) == 0 && (!found || entry < *found)) {
      found = std::move(entry);
    }
  }
  return found;
}

}  // namespace

PathMap::PathMap(stdfs::path prefix) : prefix_(std::move(prefix)) {}

PathMap PathMap::fromEnvironment() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix != nullptr && *prefix != '\0') return PathMap(prefix);
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') {
    const passwd* user = ::getpwuid(::getuid());
    home = user != nullptr ? user->pw_dir : "";
  }
  return PathMap(stdfs::path(home) / ".wine");
}

stdfs::path PathMap::toHost(std::string_view windowsPath) const {
  const std::string shown(windowsPath);
  const bool unc =
      windowsPath.size() >= 2 && isSeparator(windowsPath[0]) && isSeparator(windowsPath[1]);
  if (windowsPath.empty() || unc || shown.find('\0') != std::string::npos) {
    raiseFileFailure(fserr::kPathNotFound, shown);
  }

  char drive = 'C';
  std::string_view rest = windowsPath;
  if (windowsPath.size() >= 2 && windowsPath[1] == ':' && isAsciiLetter(windowsPath[0])) {
    drive = windowsPath[0];
    rest.remove_prefix(2);
  }
  // A colon anywhere else names no file (no drive "1:", no stream "x.mdb:s").
  if (rest.find(':') != std::string_view::npos) raiseFileFailure(fserr::kPathNotFound, shown);
  const stdfs::path devices = prefix_ / "dosdevices";
  const std::optional<std::string> driveEntry = findEntry(devices, std::string{drive, ':'});
  std::error_code ec;
  if (!driveEntry || !stdfs::is_directory(devices / *driveEntry, ec)) {
    raiseFileFailure(fserr::kPathNotFound, shown);
  }

  std::vector<std::string_view> components;
  while (!rest.empty()) {
    std::size_t end = 0;
    while (end < rest.size() && !isSeparator(rest[end])) ++end;
    const std::string_view component = rest.substr(0, end);
    rest.remove_prefix(end == rest.size() ? end : end + 1);
    if (component.empty() || component == ".") continue;
    if (component == "..") {
      if (!components.empty()) components.pop_back();
      continue;
    }
    components.push_back(component);
  }

  stdfs::path host = devices / *driveEntry;
  bool missing = false;
  for (const std::string_view component : components) {
    std::optional<std::string> entry;
    if (!missing) entry = findEntry(host, component);
    missing = !entry;
    host /= entry ? stdfs::path(*entry) : stdfs::path(component);
  }
  return host;
}

std::string PathMap::toWindows(const stdfs::path& hostPath) const {
  const std::string shown = hostPath.string();
  std::error_code ec;
  const stdfs::path absolute = stdfs::absolute(hostPath, ec);
  const stdfs::path target = ec ? stdfs::path() : stdfs::weakly_canonical(absolute, ec);
  if (ec || target.empty()) raiseFileFailure(fserr::kPathNotFound, shown);

  // The drive whose folder is the deepest ancestor of `target`; among equally
  // deep ones the first letter.
  char bestDrive = 0;
  std::ptrdiff_t bestDepth = -1;
  for (const Drive& drive : drives()) {
    const stdfs::path& root = drive.folder;
    if (std::mismatch(root.begin(), root.end(), target.begin(), target.end()).first != root.end()) {
      continue;
    }
    const std::ptrdiff_t depth = std::distance(root.begin(), root.end());
    if (depth > bestDepth) {
      bestDrive = drive.letter;
      bestDepth = depth;
    }
  }
  if (bestDepth < 0) raiseFileFailure(fserr::kPathNotFound, shown);

  std::string text{bestDrive, ':'};
  auto component = target.begin();
  std::advance(component, bestDepth);
  for (; component != target.end(); ++component) {
    const std::string name = component->string();
    if (name.empty()) continue;  // the mark of a trailing separator
    // A host name with a backslash in it cannot be written as Windows text.
    if (name.find('\\') != std::string::npos) raiseFileFailure(fserr::kPathNotFound, shown);
    text += '\\';
    text += name;
  }
  if (text.size() == 2) text += '\\';  // the drive's root, "C:\"
  return text;
}

std::vector<PathMap::Drive> PathMap::drives() const {
  std::vector<std::string> entries;
  std::error_code ec;
  for (stdfs::directory_iterator it(prefix_ / "dosdevices", ec), end; !ec && it != end;
       it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.size() == 2 && name[1] == ':' && isAsciiLetter(name[0])) {
      entries.push_back(std::move(name));
    }
  }
  std::sort(entries.begin(), entries.end());

  std::vector<Drive> found;
  for (const std::string& name : entries) {
    const char letter = asciiUpper(name[0]);
    if (std::any_of(found.begin(), found.end(),
                    [&](const Drive& d) { return d.letter == letter; })) {
      continue;  // an entry before it in byte order ("D:" before "d:") opened a folder
    }
    std::error_code rootEc;
    const stdfs::path folder = stdfs::canonical(prefix_ / "dosdevices" / name, rootEc);
    if (rootEc || !stdfs::is_directory(folder, rootEc)) continue;
    found.push_back({letter, folder});
  }
  std::sort(found.begin(), found.end(),
            [](const Drive& a, const Drive& b) { return a.letter < b.letter; });
  return found;
}

}  // namespace korvane::fs
