// The one failure type of Korvane: a number and a text.
//
// The file services raise the numbers the original's file statements raised
// (5, 53, 58, 61, 70, 75, 76); the database engine raises Jet's own (3024,
// 3078, ...). Nothing below the command frame decides what a number means.
#pragma once

#include <stdexcept>
#include <string>

namespace korvane {

class Failure : public std::runtime_error {
 public:
  Failure(int number, const std::string& text) : std::runtime_error(text), number_(number) {}

  int number() const { return number_; }
  std::string text() const { return what(); }

 private:
  int number_;
};

// Numbers of the file services.
namespace fserr {
inline constexpr int kInvalidArgument = 5;
inline constexpr int kFileNotFound = 53;
inline constexpr int kFileAlreadyExists = 58;
inline constexpr int kDiskFull = 61;
inline constexpr int kPermissionDenied = 70;  // also: file in use
inline constexpr int kPathFileAccessError = 75;
inline constexpr int kPathNotFound = 76;
}  // namespace fserr

// The standard text of a file-service number: 53 gives "File not found".
// A number not listed above gives "File error <number>".
std::string fileFailureTitle(int number);

// Raises the file-service failure `number` with its standard text, naming
// `path`: raiseFileFailure(53, "C:\x.mdb") throws Failure(53, "File not found: C:\x.mdb").
[[noreturn]] void raiseFileFailure(int number, const std::string& path);

}  // namespace korvane
