// The start-up steps of the window that concern the context: data folder,
// caption, instructions, the initial commands and the choice of the system
// database. (Sizing the window is the window's own first step.)
#pragma once

#include "workflow/update_context.h"

namespace korvane::workflow {

// The instructions shown at start-up, lines joined by CR LF.
extern const char* const kStartUpInstructions;

inline constexpr const char* kStartUpCaption = "Korvane Utility ";

// Fills the context for a fresh window and selects the system database, which
// leaves Update and Exit without update as the only commands on show.
void startUp(UpdateContext& context);

}  // namespace korvane::workflow
