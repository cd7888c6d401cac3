// File services that pass every call on to other ones, so that a test's own
// services override only the calls they record or break.
#pragma once

#include <optional>
#include <string>

#include "fs/file_services.h"

namespace korvane::support {

class ForwardingFileServices : public fs::FileServices {
 public:
  explicit ForwardingFileServices(fs::FileServices& real) : real_(real) {}

  void copyFile(const std::string& from, const std::string& to, fs::Overwrite mode) override {
    real_.copyFile(from, to, mode);
  }
  void deleteFile(const std::string& path) override { real_.deleteFile(path); }
  void flush(const std::string& path) override { real_.flush(path); }
  bool fileExists(const std::string& path) override { return real_.fileExists(path); }
  std::optional<fs::FileIdentity> identify(const std::string& path) override {
    return real_.identify(path);
  }

 protected:
  fs::FileServices& real_;
};

}  // namespace korvane::support
