// The checks made before libmdb is trusted with a Jet file: see jet_checks.h.
#include "jet_file/jet_checks.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "jet_file/jet_import_process.h"
#include "jet_file/jet_reader.h"
#include "jet_file/jet_values.h"
#include "text/case_fold.h"

namespace korvane::jetfile {

namespace {

constexpr unsigned char kTableDefinitionPage = 0x02;
constexpr unsigned char kBitmapMap = 0;
constexpr unsigned char kPagesMap = 1;  // a list of map pages, each a bitmap
constexpr size_t kMapHeader = 5;        // type byte, then the first page (bitmap) or entries
constexpr size_t kMapPageHeader = 4;

// A legitimate import reads each data and long-value page about once (the
// catalog twice); the factors leave room, the constants cover tiny files.
constexpr std::uint64_t kPageReadsPerPage = 8;
constexpr std::uint64_t kPageReadsExtra = 64;
constexpr std::uint64_t kBytesPerFileByte = 4;

constexpr std::string_view kSqlitePrefix = "sqlite_";

bool structureChecks = true;

}  // namespace

FileChecks::FileChecks(MdbHandle* mdb, std::uint64_t fileSize, std::string displayName)
    : mdb_(mdb),
      fileSize_(fileSize),
      name_(std::move(displayName)),
      pageCount_(fileSize / static_cast<std::uint64_t>(mdb->fmt->pg_size)) {
  mdb_stats_on(mdb_);
  // libmdb pads a last page cut short with zeros, rows and all: a copy that
  // stopped mid-page would read as rows of Nulls.
  if (fileSize_ % static_cast<std::uint64_t>(mdb->fmt->pg_size) != 0)
    fail("it ends within a page: the file is cut short");
}

void FileChecks::fail(const std::string& why) const {
  raiseDamaged(name_, why);
}

void FileChecks::requireTableDefinition(std::uint32_t page, const std::string& table) {
  if (!structureChecks) return;
  const std::string which = "the definition of table '" + table + "'";
  // libmdb reads the page just past the end as a page of zeros.
  if (page == 0 || page >= pageCount_) fail(which + " lies outside the file");
  if (mdb_read_alt_pg(mdb_, page) != mdb_->fmt->pg_size)
    fail(which + " cannot be read from the file");
  const MdbFormatConstants& fmt = *mdb_->fmt;
  const unsigned char* bytes = mdb_->alt_pg_buf;
  if (bytes[0] != kTableDefinitionPage) fail(which + " is not a table definition");
  const int columns = unsigned16At(bytes + fmt.tab_num_cols_offset);
  const std::uint32_t indexes = unsigned32At(bytes + fmt.tab_num_ridxs_offset);
  if (columns == 0 || columns > kMaxColumns)
    fail(which + " claims " + std::to_string(columns) + " fields");
  if (indexes > kMaxIndexes) fail(which + " claims " + std::to_string(indexes) + " indexes");

  // The usage map: libmdb keeps a row of length 0 as no map at all and then
  // reads through it. The row found here is the one mdb_read_table keeps.
  const std::uint32_t mapRow = unsigned32At(bytes + fmt.tab_usage_map_offset);
  void* mapPage = nullptr;
  int offset = 0;
  size_t length = 0;
  if ((mapRow >> 8) == 0 || (mapRow >> 8) >= pageCount_ ||
      mdb_find_pg_row(mdb_, static_cast<int>(mapRow), &mapPage, &offset, &length) != 0 ||
      offset < 0 || static_cast<size_t>(offset) + length > static_cast<size_t>(fmt.pg_size))
    fail("the usage map of table '" + table + "' cannot be found");
  if (length == 0) fail("the usage map of table '" + table + "' is empty");
  const unsigned char* map = static_cast<const unsigned char*>(mapPage) + offset;
  if (map[0] == kPagesMap) {
    // Entry i names a map page for pages i * bits onwards: both must lie in the file.
    const size_t bits = (static_cast<size_t>(fmt.pg_size) - kMapPageHeader) * 8;
    for (size_t i = 0; 1 + 4 * i + 4 <= length; ++i) {
      const std::uint32_t mapPageNumber = unsigned32At(map + 1 + 4 * i);
      if (mapPageNumber != 0 && (mapPageNumber >= pageCount_ || i * bits >= pageCount_))
        fail("the usage map of table '" + table + "' points outside the file");
    }
  } else if (map[0] == kBitmapMap) {
    // libmdb reads a shorter bitmap as a table without pages.
    if (length < kMapHeader) fail("the usage map of table '" + table + "' is cut short");
  } else {
    // libmdb would search the whole file for the table's pages.
    fail("the usage map of table '" + table + "' is of an unknown kind (" + std::to_string(map[0]) +
         ")");
  }
}

namespace {

bool sameToJet(std::string_view a, std::string_view b) {
  return text::compareAsJet(a, b) == 0;
}

// The first two of `names` that Jet calls the same name (letter case and
// trailing spaces aside), or none.
std::optional<std::pair<std::string, std::string>> firstSameNames(std::vector<std::string> names) {
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return text::compareAsJet(a, b) < 0;
  });
  for (size_t i = 1; i < names.size(); ++i)
    if (sameToJet(names[i - 1], names[i])) return std::pair{names[i - 1], names[i]};
  return std::nullopt;
}

}  // namespace

void FileChecks::requireColumnNames(const MdbTableDef& def) const {
  std::vector<std::string> names;
  for (guint i = 0; i < def.columns->len; ++i) {
    const auto* col = static_cast<const MdbColumn*>(g_ptr_array_index(def.columns, i));
    // libmdb leaves the name empty when it cannot read it.
    if (col->name[0] == '\0')
      fail("field " + std::to_string(i + 1) + " of table '" + def.name + "' has no readable name");
    names.emplace_back(col->name);
  }
  if (auto same = firstSameNames(std::move(names)))
    fail("table '" + std::string(def.name) + "' has two fields named '" + same->first + "' and '" +
         same->second + "'");
}

void FileChecks::requireTableNames(const std::vector<std::string>& names) const {
  for (const auto& name : names) {
    if (name.empty()) fail("a table has no readable name");
    // SQLite refuses to create such a table: the copy could not hold it.
    if (sameToJet(std::string_view(name).substr(0, kSqlitePrefix.size()), kSqlitePrefix))
      fail("table '" + name + "' has a name SQLite keeps for itself");
  }
  if (auto same = firstSameNames(names))
    fail("two tables are named '" + same->first + "' and '" + same->second + "'");
}

void FileChecks::spendRow(size_t rowBytes) {
  rowBytes_ += rowBytes;
  if (rowBytes_ > kBytesPerFileByte * fileSize_)
    fail("its rows hold more bytes than the file (rows overlap or repeat)");
  const std::uint64_t pageReads = this->pageReads() - setAside_;
  if (pageReads > kPageReadsPerPage * pageCount_ + kPageReadsExtra)
    fail("reading it needs " + std::to_string(pageReads) + " page reads for its " +
         std::to_string(pageCount_) + " pages (pages repeat)");
}

std::uint64_t FileChecks::pageReads() const {
  return mdb_->stats ? mdb_->stats->pg_reads : 0;
}

void FileChecks::spendLongValue(size_t bytes) {
  longValueBytes_ += bytes;
  if (longValueBytes_ > kBytesPerFileByte * fileSize_)
    fail("its long values hold more bytes than the file (links repeat)");
}

void disableJetStructureChecksForTesting() {
  structureChecks = false;
}

}  // namespace korvane::jetfile
