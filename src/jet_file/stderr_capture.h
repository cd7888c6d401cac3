// Keeps libmdb's messages off the terminal.
//
// libmdb reports trouble by printing to stderr. While a capture lives, file
// descriptor 2 points at a file in memory; the text is kept so that a failure
// can say what libmdb said. fd 2 is process-wide: imports are not run from
// several threads at once.
#pragma once

#include <cstdio>
#include <string>

namespace korvane::jetfile {

class StderrCapture {
 public:
  StderrCapture();
  ~StderrCapture();  // puts fd 2 back
  StderrCapture(const StderrCapture&) = delete;
  StderrCapture& operator=(const StderrCapture&) = delete;

  // Everything written to stderr since the capture began.
  std::string text() const;

 private:
  std::FILE* sink_ = nullptr;
  int savedStderr_ = -1;
};

}  // namespace korvane::jetfile
