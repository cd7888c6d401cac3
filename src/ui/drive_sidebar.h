// The file dialog's sidebar as a Windows user knows it: the prefix's drives.
#pragma once

#include "fs/path_map.h"

class QFileDialog;

namespace korvane::ui {

// Replaces the sidebar's places with the prefix's drives as they are now,
// named "C:", "D:", ... and each opening the folder it maps to. Folders the
// user drags into the sidebar keep their own names. Safe to call again before
// each showing: the names follow the drives of the last call.
void showDrivesInSidebar(QFileDialog& dialog, const fs::PathMap& paths);

}  // namespace korvane::ui
