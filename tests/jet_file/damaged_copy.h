// Copies of Jet fixtures with a few bytes changed, for the tests of damaged
// files. Each change names the bytes it replaces, so that a different
// fixture fails loudly instead of testing nothing.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/files.h"

namespace korvane::jetfile::test {

struct ByteChange {
  size_t offset;
  std::string was;  // the fixture's bytes there
  std::string now;
};

inline std::string byteString(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

// Writes `fixture` with `changes` made to `to`.
inline void writeDamagedCopy(const std::filesystem::path& fixture,
                             const std::vector<ByteChange>& changes,
                             const std::filesystem::path& to) {
  std::string file = support::readFile(fixture);
  for (const auto& change : changes) {
    EXPECT_EQ(file.substr(change.offset, change.was.size()), change.was)
        << fixture << " at " << change.offset << " is not the fixture the change was made for";
    file.replace(change.offset, change.now.size(), change.now);
  }
  support::writeFile(to, file);
}

// testV1997.mdb (2048-byte pages): page 12 holds usage maps; its row 3
// (offset entry at 12*2048 + 8 + 2 + 3*2 = 24592) is the map of a system
// table. Its start set to row 2's makes the row 0 bytes long, and Table1's
// definition (page 29, bytes 35-38 at 59427) is made to name that row as its
// map: libmdb keeps no map and then reads through it, and crashes.
inline const std::vector<ByteChange> kUsageMapOfLengthZero = {
    {24592, byteString({0xec, 0x05}), byteString({0x71, 0x06})},
    {59427, byteString({0x00, 0x1e}), byteString({0x03, 0x0c})}};
inline constexpr char kUsageMapFixture[] = "testV1997.mdb";

}  // namespace korvane::jetfile::test
