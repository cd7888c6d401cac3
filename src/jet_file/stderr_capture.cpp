// Redirects fd 2 to a file in memory for the life of a StderrCapture.
#include "jet_file/stderr_capture.h"

#include <sys/mman.h>
#include <unistd.h>

namespace korvane::jetfile {

namespace {

// A file in memory: the import helper's sandbox lets it write no folder but
// its private one. A temporary file where the kernel has no memory files.
std::FILE* newSink() {
  const int fd = ::memfd_create("korvane-libmdb-stderr", MFD_CLOEXEC);
  if (fd < 0) return std::tmpfile();
  std::FILE* sink = ::fdopen(fd, "w+");
  if (!sink) ::close(fd);
  return sink;
}

}  // namespace

StderrCapture::StderrCapture() {
  std::fflush(stderr);
  sink_ = newSink();
  if (!sink_) return;  // nowhere to put it: messages stay visible, nothing breaks
  savedStderr_ = dup(STDERR_FILENO);
  if (savedStderr_ < 0 || dup2(fileno(sink_), STDERR_FILENO) < 0) {
    if (savedStderr_ >= 0) close(savedStderr_);
    savedStderr_ = -1;
    std::fclose(sink_);
    sink_ = nullptr;
  }
}

StderrCapture::~StderrCapture() {
  if (!sink_) return;
  std::fflush(stderr);
  dup2(savedStderr_, STDERR_FILENO);
  close(savedStderr_);
  std::fclose(sink_);
}

std::string StderrCapture::text() const {
  if (!sink_) return {};
  std::fflush(stderr);
  std::string text;
  char buffer[4096];
  ssize_t n;
  for (off_t at = 0; (n = pread(fileno(sink_), buffer, sizeof buffer, at)) > 0; at += n)
    text.append(buffer, static_cast<size_t>(n));
  return text;
}

}  // namespace korvane::jetfile
