// Memo and OLE values, which Jet keeps apart from their row when they are long.
//
// The row holds a 12-byte reference: a 3-byte length, a kind byte (0x80 the
// value follows inline, 0x40 it fills one row of a long-value page, 0x00 it is
// chained over several, each link starting with the next link's page and row).
#pragma once

#include <optional>
#include <vector>

#include "jet_file/jet_checks.h"
#include "jet_file/jet_values.h"
#include "jet_file/libmdb.h"

namespace korvane::jetfile {

// The whole value referenced by `field` (the field's bytes in the row), or
// nothing when the reference or its chain is damaged (a page missing or past
// the file's pages, a link out of place or back to a row already read, a
// length more than the file holds or fewer bytes than the length says). An
// empty field is an empty value. The value's length is spent from `checks`'
// budget, which fails with 3343 once the import's long values outgrow the file.
std::optional<std::vector<unsigned char>> readLongValue(MdbHandle* mdb, FileChecks& checks,
                                                        Bytes field);

}  // namespace korvane::jetfile
