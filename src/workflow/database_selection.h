// The choice of database: option 0 is the system database, option 1 an
// external .mdb file picked in CommonDialog1.
//
// Works on the context alone, so it runs without a window: the window calls
// selectDatabase() when an option becomes selected and renders the state
// afterwards.
#pragma once

#include <functional>

#include "workflow/common_dialog.h"
#include "workflow/update_context.h"

namespace korvane::workflow {

// Runs the selection of option `index` (0 or 1; any other index does
// nothing). Marks the option selected, sets `selectedPath` and the caption,
// and offers or withdraws Update. For option 1 it calls `showSoFar` (render
// the state changed so far) before the dialog opens; a cancelled dialog
// leaves no option selected and `selectedPath` as it was.
void selectDatabase(int index, UpdateContext& context, CommonDialog& dialog,
                    const std::function<void()>& showSoFar);

// Option 0: the system database, which needs no dialog.
void selectSystemDatabase(UpdateContext& context);

// Texts of the selection, shared with the tests.
inline constexpr const char* kSystemCaption = "Update system database, ";
inline constexpr const char* kExternalCaption = "Update external database, ";
inline constexpr const char* kDialogTitle = "Select external database file to update";
inline constexpr const char* kDialogFilter = "QX database files (*.mdb)|*.mdb";
inline constexpr const char* kDialogDefaultExt = ".mdb";

}  // namespace korvane::workflow
