// The power-cut model (disk_model.h).
#include "disk_model.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>

namespace korvane::reliability {

namespace stdfs = std::filesystem;

namespace {

std::string contentOf(const stdfs::path& file, bool& readable) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  readable = static_cast<bool>(in) || in.eof();
  return std::move(bytes).str();
}

// Writes the first `count` bytes of `change` into `bytes`.
void apply(std::string& bytes, const FileChange& change, std::size_t count) {
  if (change.truncation) {
    bytes.resize(static_cast<std::size_t>(change.offset));
    return;
  }
  const auto offset = static_cast<std::size_t>(change.offset);
  if (bytes.size() < offset + count) bytes.resize(offset + count);
  std::memcpy(bytes.data() + offset, change.bytes.data(), count);
}

}  // namespace

const char* nameOf(CutVariant variant) {
  switch (variant) {
    case CutVariant::kLost:
      return "lost";
    case CutVariant::kTorn:
      return "torn";
    case CutVariant::kNamesKept:
      return "names kept";
  }
  return "?";
}

std::string applied(std::string base, const std::vector<FileChange>& changes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) apply(base, changes[i], changes[i].bytes.size());
  return base;
}

// ---- DiskImage --------------------------------------------------------------

std::map<std::string, std::string> DiskImage::files() const {
  std::map<std::string, std::string> files;
  for (const File& file : files_) {
    std::string bytes = applied(*file.flushed, *file.changes, file.kept);
    if (file.tornBytes > 0) apply(bytes, (*file.changes)[file.kept], file.tornBytes);
    files[file.path] = std::move(bytes);
  }
  return files;
}

void DiskImage::writeTo(const stdfs::path& root) const {
  for (const std::string& folder : folders_) {
    for (const stdfs::directory_entry& entry : stdfs::directory_iterator(root / folder)) {
      if (entry.is_regular_file() && !entry.is_symlink()) stdfs::remove(entry.path());
    }
  }
  for (const auto& [path, bytes] : files()) {
    std::ofstream out(root / path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + (root / path).string());
  }
}

// ---- DiskModel --------------------------------------------------------------

DiskModel::DiskModel(const stdfs::path& root) : root_(stdfs::canonical(root)) {
  auto addFolder = [this](const stdfs::path& folder) {
    struct stat info;
    if (::lstat(folder.c_str(), &info) != 0)
      throw std::runtime_error("cannot watch " + folder.string());
    const std::string relative = folder.lexically_relative(root_).lexically_normal().string();
    folders_[relative];
    foldersByKey_[{info.st_dev, info.st_ino}] = relative;
  };
  addFolder(root_);
  for (auto it = stdfs::recursive_directory_iterator(root_);
       it != stdfs::recursive_directory_iterator(); ++it) {
    const stdfs::directory_entry& entry = *it;
    if (entry.is_symlink()) continue;
    if (entry.is_directory()) {
      addFolder(entry.path());
      continue;
    }
    if (!entry.is_regular_file()) continue;
    struct stat info;
    if (::lstat(entry.path().c_str(), &info) != 0) continue;
    const FileKey key{info.st_dev, info.st_ino};
    int node = nodeOf(key);
    if (node < 0) {
      bool readable = false;
      node = static_cast<int>(nodes_.size());
      nodes_.push_back({std::make_shared<const std::string>(contentOf(entry.path(), readable)),
                        std::make_shared<std::vector<FileChange>>()});
      nodesByKey_[key] = node;
    }
    std::string name;
    Folder* folder = folderOf(entry.path(), name);
    folder->flushed[name] = node;
    folder->now[name] = node;
  }
}

std::optional<std::string> DiskModel::watchedFolder(const stdfs::path& folder) const {
  std::error_code error;
  const stdfs::path real = stdfs::canonical(folder, error);
  if (error) return std::nullopt;
  std::string relative = real.lexically_relative(root_).lexically_normal().string();
  if (!folders_.contains(relative)) return std::nullopt;
  return relative;
}

DiskModel::Folder* DiskModel::folderOf(const stdfs::path& path, std::string& name) {
  const std::optional<std::string> folder = watchedFolder(path.parent_path());
  if (!folder) return nullptr;
  name = path.filename().string();
  return &folders_.at(*folder);
}

bool DiskModel::watches(const stdfs::path& path) const {
  return watchedFolder(path.parent_path()) || watchedFolder(path);
}

int DiskModel::nodeOf(FileKey file) const {
  const auto found = nodesByKey_.find(file);
  return found == nodesByKey_.end() ? -1 : found->second;
}

void DiskModel::setName(const stdfs::path& path, int node) {
  std::string name;
  Folder* folder = folderOf(path, name);
  if (folder == nullptr) return;
  if (node < 0) {
    folder->now.erase(name);
  } else {
    folder->now[name] = node;
  }
  folder->changes.emplace_back(name, node);
}

void DiskModel::point() {
  ++points_;
  if (onPoint_) onPoint_(points_);
}

void DiskModel::confused(std::string what) {
  confusions_.push_back(std::move(what));
}

void DiskModel::created(const stdfs::path& file) {
  struct stat info;
  if (!watches(file)) return;
  if (::lstat(file.c_str(), &info) != 0) return confused("made but gone: " + file.string());
  const int node = static_cast<int>(nodes_.size());
  nodes_.push_back(
      {std::make_shared<const std::string>(), std::make_shared<std::vector<FileChange>>()});
  nodesByKey_[{info.st_dev, info.st_ino}] = node;
  setName(file, node);
}

void DiskModel::wrote(FileKey file, std::int64_t offset, std::string_view bytes) {
  const int node = nodeOf(file);
  if (node < 0) return confused("a write to a file never seen made");
  nodes_[static_cast<std::size_t>(node)].changes->push_back({false, offset, std::string(bytes)});
  point();
}

void DiskModel::truncated(FileKey file, std::int64_t size) {
  const int node = nodeOf(file);
  if (node < 0) return confused("a truncation of a file never seen made");
  nodes_[static_cast<std::size_t>(node)].changes->push_back({true, size, {}});
  point();
}

void DiskModel::flushed(FileKey file, const stdfs::path& readable) {
  if (const auto folder = foldersByKey_.find(file); folder != foldersByKey_.end()) {
    Folder& flushedFolder = folders_.at(folder->second);
    flushedFolder.flushed = flushedFolder.now;
    flushedFolder.changes.clear();
    return point();
  }
  const int index = nodeOf(file);
  if (index < 0) return confused("a flush of a file never seen made: " + readable.string());
  Node& node = nodes_[static_cast<std::size_t>(index)];
  std::string bytes = applied(*node.flushed, *node.changes, node.changes->size());
  bool ok = false;
  if (contentOf(readable, ok) != bytes || !ok) {
    confused("at its flush the model's bytes differ from the disk's: " + readable.string());
  }
  node.flushed = std::make_shared<const std::string>(std::move(bytes));
  // Images taken before keep the old list.
  node.changes = std::make_shared<std::vector<FileChange>>();
  point();
}

void DiskModel::folderFlushed(const stdfs::path& folder) {
  struct stat info;
  if (::stat(folder.c_str(), &info) != 0) return confused("a flush of a missing folder");
  flushed({info.st_dev, info.st_ino}, folder);
}

void DiskModel::renamed(const stdfs::path& from, const stdfs::path& to) {
  std::string name;
  Folder* source = folderOf(from, name);
  if (source == nullptr) {
    if (watches(to)) confused("a file came in from outside: " + to.string());
    return;
  }
  const auto found = source->now.find(name);
  if (found == source->now.end()) return confused("a rename of an unknown name: " + from.string());
  const int node = found->second;
  setName(from, -1);
  setName(to, node);
  point();
}

void DiskModel::linked(const stdfs::path& from, const stdfs::path& to) {
  std::string name;
  Folder* source = folderOf(from, name);
  if (source == nullptr || !source->now.contains(name)) {
    return confused("a link to an unknown name: " + from.string());
  }
  setName(to, source->now.at(name));
  point();
}

void DiskModel::unlinked(const stdfs::path& path) {
  std::string name;
  Folder* folder = folderOf(path, name);
  if (folder == nullptr) return;
  if (!folder->now.contains(name))
    return confused("a removal of an unknown name: " + path.string());
  setName(path, -1);
  point();
}

DiskImage DiskModel::imageNow(CutVariant variant, std::mt19937_64& random) const {
  auto upTo = [&random](std::size_t most) {
    return std::uniform_int_distribution<std::size_t>(0, most)(random);
  };
  DiskImage image;
  std::map<int, std::pair<std::size_t, std::size_t>> survivors;  // node -> kept, torn bytes
  for (const auto& [path, folder] : folders_) {
    image.folders_.push_back(path);
    std::map<std::string, int> names = folder.flushed;
    const std::size_t kept = variant == CutVariant::kLost        ? 0
                             : variant == CutVariant::kNamesKept ? folder.changes.size()
                                                                 : upTo(folder.changes.size());
    for (std::size_t i = 0; i < kept; ++i) {
      const auto& [name, node] = folder.changes[i];
      if (node < 0) {
        names.erase(name);
      } else {
        names[name] = node;
      }
    }
    for (const auto& [name, index] : names) {
      const Node& node = nodes_[static_cast<std::size_t>(index)];
      auto [survivor, fresh] = survivors.try_emplace(index, 0, 0);
      if (fresh && variant == CutVariant::kTorn) {
        const std::size_t whole = upTo(node.changes->size());
        std::size_t torn = 0;
        if (whole < node.changes->size()) {
          const FileChange& next = (*node.changes)[whole];
          if (!next.truncation && next.bytes.size() > 512)
            torn = 512 * upTo((next.bytes.size() - 1) / 512);
        }
        survivor->second = {whole, torn};
      }
      const std::string relative = path == "." ? name : (stdfs::path(path) / name).string();
      image.files_.push_back(
          {relative, node.flushed, node.changes, survivor->second.first, survivor->second.second});
    }
  }
  return image;
}

}  // namespace korvane::reliability
