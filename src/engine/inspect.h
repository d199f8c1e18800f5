#pragma once

// What the program sees in one source file: its chunk list, its audio format, and the record
// that the source chain of a chosen system builds from it. This is how a station engineer finds
// out why a file converted the way it did.

#include <filesystem>
#include <string>
#include <vector>

#include "engine/session.h"
#include "model/format_code.h"

namespace airfoldex {

struct InspectedFile {
  std::filesystem::path Path;
  std::vector<ChunkInfo> Chunks;
  bool ChunkListWellFormed = false;
  Session State;                      // format, layout, flags, record after the source chain
  bool Readable = false;              // the chain accepted the file
  std::vector<std::string> Messages;  // what the chain would have shown ("[Title] text")
};

// Runs the source chain of `fromCode` (as for a job whose target is `toCode`) over one file.
// Nothing is written.
InspectedFile InspectSource(const std::filesystem::path& path, FormatCode fromCode, FormatCode toCode,
                            const std::string& fromText);

// The text fields of a record by name, in record order, after CleanText (Windows-1252 bytes).
std::vector<std::pair<std::string, std::string>> RecordTextFields(const CartRecord& record);

}  // namespace airfoldex
