#pragma once

// Raising errors to the host with the source text of the class that raised them.

#include <string>

#include "tagwell/tagwell.h"

namespace tagwell {

enum class ErrorSource { kID3v1, kID3v2 };

// "Tagwell.cMP3ID3v1" or "Tagwell.cMP3ID3v2": the library's name and the class.
std::string SourceText(ErrorSource source);

[[noreturn]] void Raise(ErrorSource source, long number, const std::string& description);

// A failed file operation, from the errno it left: "File not found", "Permission denied",
// "Disk full" or "Path/File access error", followed by the path.
[[noreturn]] void RaiseFileError(ErrorSource source, int errnoValue, const std::string& path);

}  // namespace tagwell
