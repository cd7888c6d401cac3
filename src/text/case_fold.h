// Letter case, folded away by one rule wherever the program ignores it: in
// Windows paths mapped onto the disk (fs/path_map.h) and in names and text
// the engine compares as Jet does (db/values/jet_collation.h). A path and a name
// that Jet calls the same are then the same in both places.
//
// The rule folds to lower case the letters of the scripts Jet users write
// in: ASCII, Latin-1, Latin Extended-A, Greek (final sigma as sigma) and
// Cyrillic. Every other character is its own fold.
#pragma once

#include <string>
#include <string_view>

namespace korvane::text {

// The fold of one character.
char32_t foldCase(char32_t c);

// <0, 0 or >0 as `a` orders before, with or after `b` (both UTF-8), compared
// character by character on their folds.
int compareIgnoringCase(std::string_view a, std::string_view b);

// compareIgnoringCase with trailing spaces left out of both sides: how Jet
// compares names and text values, so "Glass Beads " and "GLASS BEADS" are
// the same.
int compareAsJet(std::string_view a, std::string_view b);

// `text` (UTF-8) as the folds of its characters.
std::u32string folded(std::string_view text);

}  // namespace korvane::text
