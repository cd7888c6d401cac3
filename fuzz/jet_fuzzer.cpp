// The libFuzzer target of the Jet import: every input is a whole Jet file.
//
// Byte-level mutations of a 100-300 KB file rarely hit the few bytes libmdb
// steers by, so half the mutations are made knowing the layout: a page's
// type, the counts and map pointers of a table definition, a row's offset
// entry, the next-link of a long-value row or a long-value reference, a usage
// map's bytes, whole pages copied, zeroed or cut off.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "jet_import_check.h"

extern "C" size_t LLVMFuzzerMutate(std::uint8_t* data, size_t size, size_t maxSize);

namespace {

constexpr size_t kVersionOffset = 0x14;

// Where Jet 3 and Jet 4 keep what the mutations change (libmdb's own figures).
struct Layout {
  size_t pageSize;
  size_t rowCountOffset;                 // rows on a data page; row offsets follow, 2 bytes each
  std::vector<size_t> definitionFields;  // offsets of counts in a table definition
  size_t usageMapOffset;                 // 4-byte page-and-row of the usage map
  size_t freeMapOffset;
};

const Layout kJet3{2048, 0x08, {12, 25, 27, 31, 36}, 35, 39};
const Layout kJet4{4096, 0x0c, {16, 43, 45, 47, 51, 56}, 55, 59};

class Mutation {
 public:
  Mutation(std::uint8_t* data, size_t size, unsigned seed)
      : data_(data),
        size_(size),
        rng_(seed),
        layout_(data[kVersionOffset] == 0 ? kJet3 : kJet4),
        pages_(size / layout_.pageSize) {}

  size_t pages() const { return pages_; }

  // Returns the new size.
  size_t apply() {
    switch (pick(8)) {
      case 0:
        page(pick(pages_))[0] = static_cast<std::uint8_t>(pick(7));
        break;
      case 1:
        definitionField();
        break;
      case 2:
        rowOffset();
        break;
      case 3:
        longValueLink();
        break;
      case 4:
        longValueReference();
        break;
      case 5:
        usageMap();
        break;
      case 6:
        return cut();
      default:
        copyPage();
        break;
    }
    return size_;
  }

 private:
  size_t pick(size_t n) { return n == 0 ? 0 : rng_() % n; }
  std::uint8_t* page(size_t n) { return data_ + n * layout_.pageSize; }
  void put32(std::uint8_t* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
  }
  void put16(std::uint8_t* at, unsigned v) {
    at[0] = static_cast<std::uint8_t>(v);
    at[1] = static_cast<std::uint8_t>(v >> 8);
  }
  // A page of the given type, or any page when there is none.
  size_t pageOfType(std::uint8_t type) {
    const size_t start = pick(pages_);
    for (size_t i = 0; i < pages_; ++i) {
      const size_t p = (start + i) % pages_;
      if (page(p)[0] == type) return p;
    }
    return start;
  }
  // A page-and-row number: often a real row, sometimes a page just past the
  // end or the row just read.
  std::uint32_t pageRow() {
    switch (pick(4)) {
      case 0:
        return static_cast<std::uint32_t>(pages_ << 8);
      case 1:
        return static_cast<std::uint32_t>(rng_());
      default:
        return static_cast<std::uint32_t>((pageOfType(1) << 8) | pick(4));
    }
  }
  std::uint32_t interesting() {
    static const std::uint32_t kValues[] = {0,     1,      2,      0x7f,    0x80,       0xff,
                                            0x100, 0x7fff, 0xffff, 0x10000, 0x7fffffff, 0xffffffff};
    return pick(3) == 0 ? static_cast<std::uint32_t>(rng_())
                        : kValues[pick(sizeof kValues / sizeof kValues[0])];
  }

  void definitionField() {
    std::uint8_t* def = page(pageOfType(2));
    const size_t field = layout_.definitionFields[pick(layout_.definitionFields.size())];
    if (pick(2)) {
      put16(def + field, interesting());
    } else {
      put32(def + field, interesting());
    }
    if (pick(3) == 0)
      put32(def + (pick(2) ? layout_.usageMapOffset : layout_.freeMapOffset), pageRow());
  }
  void rowOffset() {
    std::uint8_t* p = page(pageOfType(pick(2) ? 1 : 2));
    const unsigned rows = p[layout_.rowCountOffset] | (p[layout_.rowCountOffset + 1] << 8);
    if (pick(4) == 0) {
      put16(p + layout_.rowCountOffset, interesting());
      return;
    }
    const size_t entries = (layout_.pageSize - layout_.rowCountOffset - 2) / 2;
    std::uint8_t* entry =
        p + layout_.rowCountOffset + 2 + 2 * pick(std::min<size_t>(rows + 1, entries));
    switch (pick(3)) {
      case 0:  // a row of length 0: the same start as the row before it
        std::memcpy(entry, entry - 2, 2);
        break;
      case 1:  // deleted or lookup flags
        entry[1] ^= static_cast<std::uint8_t>(0x40 << pick(2));
        break;
      default:
        put16(entry, interesting());
    }
  }
  // The first row of a data page as a long-value link to another row.
  std::uint8_t* firstRow(size_t p) {
    std::uint8_t* bytes = page(p);
    const unsigned start =
        (bytes[layout_.rowCountOffset + 2] | (bytes[layout_.rowCountOffset + 3] << 8)) & 0x1fff;
    return start + 4 <= layout_.pageSize ? bytes + start : nullptr;
  }
  void longValueLink() {
    const size_t p = pageOfType(1);
    if (std::uint8_t* row = firstRow(p))
      put32(row, pick(2) ? static_cast<std::uint32_t>(p << 8) : pageRow());
  }
  // A 12-byte reference (length, kind, page-and-row, 4 unused bytes) over
  // the bytes of some row.
  void longValueReference() {
    const size_t p = pageOfType(1);
    std::uint8_t* row = firstRow(p);
    if (!row || row + 12 > page(p) + layout_.pageSize) return;
    row += pick(static_cast<size_t>(page(p) + layout_.pageSize - row) - 12 + 1) & ~size_t{1};
    const std::uint32_t length =
        pick(2) ? interesting() & 0xffffff : static_cast<std::uint32_t>(pick(0x4000));
    row[0] = static_cast<std::uint8_t>(length);
    row[1] = static_cast<std::uint8_t>(length >> 8);
    row[2] = static_cast<std::uint8_t>(length >> 16);
    static const std::uint8_t kKinds[] = {0x00, 0x40, 0x80, 0xc0};
    row[3] = kKinds[pick(4)];
    put32(row + 4, pageRow());
  }
  void usageMap() {
    std::uint8_t* def = page(pageOfType(2));
    const std::uint32_t at = def[layout_.usageMapOffset] | (def[layout_.usageMapOffset + 1] << 8) |
                             (def[layout_.usageMapOffset + 2] << 16);
    const size_t p = at >> 8;
    if (p >= pages_) return;
    std::uint8_t* mapPage = page(p);
    const size_t entry = layout_.rowCountOffset + 2 + 2 * (at & 0xff);
    if (entry + 2 > layout_.pageSize) return;
    const unsigned start = (mapPage[entry] | (mapPage[entry + 1] << 8)) & 0x1fff;
    if (start + 9 > layout_.pageSize) return;
    switch (pick(3)) {
      case 0:
        mapPage[start] = static_cast<std::uint8_t>(pick(3));  // bitmap, map pages, unknown
        break;
      case 1:
        put32(mapPage + start + 1,
              pick(2) ? interesting() : static_cast<std::uint32_t>(pick(pages_ + 1)));
        break;
      default:
        mapPage[start + 5 + pick(4)] ^= static_cast<std::uint8_t>(1u << pick(8));
    }
  }
  size_t cut() {
    const size_t keep = pick(2) ? pick(pages_ + 1) * layout_.pageSize : pick(size_ + 1);
    return keep < 0x20 ? size_ : keep;
  }
  void copyPage() {
    const size_t to = 1 + pick(pages_ - 1);
    if (pick(3) == 0) {
      std::memset(page(to), 0, layout_.pageSize);
    } else {
      std::memmove(page(to), page(pick(pages_)), layout_.pageSize);
    }
  }

  std::uint8_t* data_;
  size_t size_;
  std::minstd_rand rng_;
  const Layout& layout_;
  size_t pages_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  (void)korvane::fuzz::checkJetImport({data, size});
  return 0;
}

extern "C" size_t LLVMFuzzerCustomMutator(std::uint8_t* data, size_t size, size_t maxSize,
                                          unsigned seed) {
  if (size <= kVersionOffset || seed % 2 == 0) return LLVMFuzzerMutate(data, size, maxSize);
  Mutation mutation(data, size, seed);
  if (mutation.pages() < 3) return LLVMFuzzerMutate(data, size, maxSize);
  return mutation.apply();
}
