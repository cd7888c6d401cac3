// CommonDialog1: the window's file-open dialog, behind an interface of our own.
//
// The database selection prepares it and reads back one file name; it never
// sees a widget. The real dialog is the window's FileOpenDialog
// (ui/file_open_dialog.h); tests answer with a script.
#pragma once

#include <string>

namespace korvane::workflow {

class CommonDialog {
 public:
  virtual ~CommonDialog() = default;

  virtual void setTitle(const std::string& title) = 0;

  // Filter in the "description|pattern" form, e.g. "QX database files
  // (*.mdb)|*.mdb": one file type per pair of bar-separated fields.
  virtual void setFilter(const std::string& filter) = 0;

  // Extension added to a typed name that has none, e.g. ".mdb".
  virtual void setDefaultExt(const std::string& extension) = 0;

  // Folder the dialog opens in, as Windows text; it need not exist.
  virtual void setInitialDir(const std::string& windowsFolder) = 0;

  // Shows the dialog modally. Returns the chosen file as Windows text, or an
  // empty string when the user cancelled.
  virtual std::string showOpen() = 0;
};

}  // namespace korvane::workflow
