// The rows of a Jet table, found in its data pages.
//
// libmdb's own walk (mdb_fetch_row) goes quiet where the pages are damaged:
// it skips a row whose offsets or fields it cannot use, ends the table at a
// page it cannot read, and searches the rest of the file for the table's
// pages when its map names one that does not hold them. This walk visits
// the same pages, in the same order, and the same rows, and fails with 3343
// wherever libmdb would have gone quiet. So a table whose pages are sound
// gives every live row it holds, whatever row count its definition keeps
// (Jet lets that figure drift both ways).
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "jet_file/libmdb.h"

namespace korvane::jetfile {

class FileChecks;

// Where a live row lies in libmdb's page buffer, which holds its page.
struct RowPlace {
  int start = 0;
  size_t size = 0;
};

// Calls `visit` with every live row of `def`, page by page as its usage map
// lists them and slot by slot within a page. `def` has passed
// FileChecks::requireTableDefinition. Fails with 3343 naming `displayName`
// when the map names a page past the end of the file or one that is not a
// data page of this table, a page's row table or a row lies outside its
// page, or a row moved to another page is not found there.
void forEachLiveRow(MdbTableDef& def, const FileChecks& checks, const std::string& displayName,
                    const std::function<void(const RowPlace&)>& visit);

}  // namespace korvane::jetfile
