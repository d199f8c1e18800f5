#include "errors.h"

#include <cerrno>

namespace tagwell {

Error::Error(long number, std::string source, std::string description)
    : std::runtime_error(source + ": " + description),
      number_(number),
      source_(std::move(source)),
      description_(std::move(description)) {}

std::string SourceText(ErrorSource source) {
  return source == ErrorSource::kID3v1 ? "Tagwell.cMP3ID3v1" : "Tagwell.cMP3ID3v2";
}

void Raise(ErrorSource source, long number, const std::string& description) {
  throw Error(number, SourceText(source), description);
}

void RaiseFileError(ErrorSource source, int errnoValue, const std::string& path) {
  long number = kErrPathFileAccess;
  const char* text = "Path/File access error";
  switch (errnoValue) {
    case ENOENT:
    case ENOTDIR:
      number = kErrFileNotFound;
      text = "File not found";
      break;
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
      number = kErrPermissionDenied;
      text = "Permission denied";
      break;
    case ENOSPC:
      number = kErrDiskFull;
      text = "Disk full";
      break;
    default:
      break;
  }
  Raise(source, number, std::string(text) + ": " + path);
}

}  // namespace tagwell
