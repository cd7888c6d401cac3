// Texts of the file-service failures, in the words of Visual Basic's run-time
// errors, so a number reads the same as it did in the original.
#include "fs/failure.h"

namespace korvane {

std::string fileFailureTitle(int number) {
  switch (number) {
    case fserr::kInvalidArgument:
      return "Invalid procedure call or argument";
    case fserr::kFileNotFound:
      return "File not found";
    case fserr::kFileAlreadyExists:
      return "File already exists";
    case fserr::kDiskFull:
      return "Disk full";
    case fserr::kPermissionDenied:
      return "Permission denied";
    case fserr::kPathFileAccessError:
      return "Path/File access error";
    case fserr::kPathNotFound:
      return "Path not found";
    default:
      return "File error " + std::to_string(number);
  }
}

void raiseFileFailure(int number, const std::string& path) {
  throw Failure(number, fileFailureTitle(number) + ": " + path);
}

}  // namespace korvane
