// libmdb's header, included the one way that compiles as C++: glib first.
// Its headers are included as system headers so their warnings stay theirs.
#pragma once

#include <glib.h>
extern "C" {
#include <mdbtools.h>
}
