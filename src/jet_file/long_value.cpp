// Reads a Memo or OLE value whole, checking every link of its chain.
//
// libmdb's own readers cut a Memo at the bind size and stop quietly on a
// broken chain; here the length in the reference is the measure, and any
// shortfall is a damaged file. A chain is followed once: a link that comes
// back to a row already read is damage, not more of the value.
#include "jet_file/long_value.h"

#include <unordered_set>

#include "jet_file/libmdb.h"

namespace korvane::jetfile {

namespace {

constexpr size_t kReferenceSize = 12;
constexpr unsigned char kInline = 0x80;
constexpr unsigned char kSinglePage = 0x40;
constexpr unsigned char kChained = 0x00;
constexpr unsigned char kDataPage = 0x01;

// One row of a long-value page, by its page-and-row number. The page number
// is checked here: libmdb reads a page just past the end of the file as if
// it were there.
std::optional<Bytes> longValueRow(MdbHandle* mdb, size_t pageCount, std::uint32_t pageRow) {
  void* page = nullptr;
  int offset = 0;
  size_t length = 0;
  if (pageRow == 0 || (pageRow >> 8) >= pageCount ||
      mdb_find_pg_row(mdb, static_cast<int>(pageRow), &page, &offset, &length) != 0)
    return std::nullopt;
  const auto pageSize = static_cast<size_t>(mdb->fmt->pg_size);
  const auto* bytes = static_cast<const unsigned char*>(page);
  if (bytes[0] != kDataPage || offset < 0 || static_cast<size_t>(offset) + length > pageSize)
    return std::nullopt;
  return Bytes(bytes + offset, length);
}

std::optional<std::vector<unsigned char>> readChain(MdbHandle* mdb, size_t pageCount,
                                                    std::uint32_t pageRow, size_t length) {
  std::vector<unsigned char> value;
  value.reserve(length);
  std::unordered_set<std::uint32_t> visited;
  while (value.size() < length) {
    if (!visited.insert(pageRow).second) return std::nullopt;  // the chain loops
    auto row = longValueRow(mdb, pageCount, pageRow);
    if (!row || row->size() <= 4) return std::nullopt;
    pageRow = littleEndianUnsigned32(row->first(4));
    value.insert(value.end(), row->begin() + 4, row->end());
    if (pageRow == 0) break;
  }
  if (value.size() < length) return std::nullopt;
  value.resize(length);
  return value;
}

}  // namespace

std::optional<std::vector<unsigned char>> readLongValue(MdbHandle* mdb, FileChecks& checks,
                                                        Bytes field) {
  if (field.empty()) return std::vector<unsigned char>{};
  if (field.size() < kReferenceSize) return std::nullopt;
  const size_t length = field[0] | (field[1] << 8) | (field[2] << 16);
  const unsigned char kind = field[3];
  const std::uint32_t pageRow = littleEndianUnsigned32(field.subspan(4, 4));
  if (kind == kInline) {
    Bytes data = field.subspan(kReferenceSize);
    if (data.size() < length) return std::nullopt;
    return std::vector<unsigned char>(data.begin(), data.begin() + static_cast<long>(length));
  }
  // Rows of other pages, each read at most once: no chain holds more than
  // the file's pages.
  const size_t pageCount = checks.pageCount();
  if (length > pageCount * static_cast<size_t>(mdb->fmt->pg_size)) return std::nullopt;
  checks.spendLongValue(length);
  if (kind == kSinglePage) {
    auto row = longValueRow(mdb, pageCount, pageRow);
    if (!row || row->size() < length) return std::nullopt;
    return std::vector<unsigned char>(row->begin(), row->begin() + static_cast<long>(length));
  }
  if (kind == kChained) return readChain(mdb, pageCount, pageRow, length);
  return std::nullopt;
}

}  // namespace korvane::jetfile
