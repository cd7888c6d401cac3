// The walk over a table's rows in its data pages: see table_walk.h.
//
// A data page starts with its type (1), a byte, its free space, the page of
// its table's definition, (Jet 4) four bytes more, then the count of its row
// slots and the slots, two bytes each: the row's offset in the page and two
// flags. Rows are stored from the end of the page down, so a row ends where
// the row of the slot before it starts (the first row at the page's end).
// The flags, as Access leaves them:
//   neither          a row
//   0x4000 | 0x8000  a deleted row; its offsets may be anything
//   0x4000           a pointer (page << 8 | row, four bytes) to the row's
//                    new place, where it moved when it outgrew its page
//   0x8000           a row that moved here: read where it lies, as libmdb
//                    reads it (in real files each such row is the one
//                    place that exactly one pointer names)
#include "jet_file/table_walk.h"

#include <cstdint>
#include <unordered_set>

#include "jet_file/jet_checks.h"
#include "jet_file/jet_reader.h"
#include "jet_file/jet_values.h"

namespace korvane::jetfile {

namespace {

constexpr unsigned char kDataPage = 0x01;
constexpr size_t kOwnerOffset = 4;  // the page of the table's definition
constexpr unsigned kPointerFlag = 0x4000;
constexpr unsigned kMovedFlag = 0x8000;
constexpr unsigned kOffsetMask = 0x1fff;
constexpr size_t kPointerSize = 4;

class Walk {
 public:
  Walk(MdbTableDef& def, const FileChecks& checks, const std::string& displayName)
      : def_(def),
        mdb_(def.entry->mdb),
        pageCount_(checks.pageCount()),
        name_(displayName),
        table_(def.name) {}

  void run(const std::function<void(const RowPlace&)>& visit) {
    for (std::uint32_t page = nextPage(0); page != 0; page = nextPage(page)) {
      const unsigned slots = readPage(page);
      for (unsigned slot = 0; slot < slots; ++slot) visitSlot(page, slot, visit);
    }
    requireMovedRowsMet();
  }

 private:
  [[noreturn]] void fail(const std::string& why) const { raiseDamaged(name_, why); }

  std::string pageOfTable(std::uint32_t page) const {
    return "page " + std::to_string(page) + " of table '" + table_ + "'";
  }

  // The map's next page after `page`, as libmdb's own walk finds it; 0
  // after the last.
  std::uint32_t nextPage(std::uint32_t page) const {
    const gint32 next =
        mdb_map_find_next(mdb_, def_.usage_map, static_cast<unsigned>(def_.map_sz), page);
    if (next == 0) return 0;
    // libmdb reads the page just past the end as zeros and stops at any
    // later one, the rest of the table unread.
    if (next < 0 || static_cast<size_t>(next) >= pageCount_)
      fail("the usage map of table '" + table_ + "' names a page past the end of the file");
    // A map whose first page is near 2^32 wraps around to the same pages.
    if (static_cast<std::uint32_t>(next) <= page)
      fail("the usage map of table '" + table_ + "' turns back to page " + std::to_string(next));
    return static_cast<std::uint32_t>(next);
  }

  // Reads `page` into libmdb's page buffer; its count of row slots.
  unsigned readPage(std::uint32_t page) const {
    const auto pageSize = static_cast<size_t>(mdb_->fmt->pg_size);
    if (mdb_read_pg(mdb_, page) != static_cast<ssize_t>(pageSize))
      fail(pageOfTable(page) + " cannot be read");
    const unsigned char* bytes = mdb_->pg_buf;
    // libmdb would search the whole file from here for the table's next page.
    if (bytes[0] != kDataPage || unsigned32At(bytes + kOwnerOffset) != def_.entry->table_pg)
      fail(pageOfTable(page) + ", as its usage map says, is not one of its data pages");
    const auto slotsAt = static_cast<size_t>(mdb_->fmt->row_count_offset);
    const unsigned slots = unsigned16At(bytes + slotsAt);
    if (slotsAt + 2 + 2 * size_t{slots} > pageSize)
      fail(pageOfTable(page) + " claims " + std::to_string(slots) +
           " rows, more than a page holds");
    return slots;
  }

  void visitSlot(std::uint32_t page, unsigned slot,
                 const std::function<void(const RowPlace&)>& visit) {
    const unsigned char* bytes = mdb_->pg_buf;
    const unsigned flags = unsigned16At(bytes + mdb_->fmt->row_count_offset + 2 + 2 * slot) &
                           (kPointerFlag | kMovedFlag);
    if (flags == (kPointerFlag | kMovedFlag)) return;  // deleted
    int start = 0;
    size_t size = 0;
    // libmdb skips such rows without a word.
    const std::string row = "row " + std::to_string(slot) + " of " + pageOfTable(page);
    if (mdb_find_row(mdb_, static_cast<int>(slot), &start, &size) != 0)
      fail(row + " lies outside its page");
    if (size == 0) fail(row + " is empty");
    start &= kOffsetMask;
    if (flags == kPointerFlag) {
      if (size < kPointerSize)
        fail("the pointer in " + row + " to where its row moved is cut short");
      pointedTo_.insert(unsigned32At(bytes + start));
      return;
    }
    if (flags == kMovedFlag) movedHere_.insert(page << 8 | slot);
    visit(RowPlace{start, size});
  }

  // A pointer whose row is not where it says: libmdb reads the table
  // without that row.
  void requireMovedRowsMet() const {
    for (const std::uint32_t pageRow : pointedTo_)
      if (!movedHere_.contains(pageRow))
        fail("a row of table '" + table_ + "' moved to row " + std::to_string(pageRow & 0xff) +
             " of page " + std::to_string(pageRow >> 8) + ", where no moved row of it lies");
  }

  MdbTableDef& def_;
  MdbHandle* mdb_;
  size_t pageCount_;
  const std::string& name_;
  std::string table_;
  std::unordered_set<std::uint32_t> pointedTo_;
  std::unordered_set<std::uint32_t> movedHere_;
};

}  // namespace

void forEachLiveRow(MdbTableDef& def, const FileChecks& checks, const std::string& displayName,
                    const std::function<void(const RowPlace&)>& visit) {
  Walk(def, checks, displayName).run(visit);
}

}  // namespace korvane::jetfile
