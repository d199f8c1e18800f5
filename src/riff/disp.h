#pragma once

// The DISP chunk: a display text that the system treats as a title. Read near the start or near
// the end of a source beside its LIST/INFO chunk, and written right after every LIST chunk built.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "riff/list_info.h"
#include "riff/wav.h"

namespace airfoldex {

struct DispRecord {
  std::string DispId;
  int32_t DispSize = 0;
  int32_t DispType = 0;
  std::string DispText;  // cleaned

  bool operator==(const DispRecord&) const = default;
};

// The first DISP chunk within the first 8192 bytes. Blanks `disp` first; true when one was read.
bool ReadDispAtStart(const std::filesystem::path& path, DispRecord& disp, Diagnostics* diag = nullptr);

// The first DISP chunk within the last 8 KiB of the file, else within the 8 KiB before those.
// Blanks `disp` first; true when one was read. An empty TTTL value takes the DISP text.
bool ReadDispAtEnd(const std::filesystem::path& path, DispRecord& disp, ListInfoValues& values,
                   Diagnostics* diag = nullptr);

// "DISP", size, type 1 (text), the cleaned title, a NUL, and a second NUL when the size would
// otherwise be odd. The size counts both NULs.
std::string BuildDispChunk(std::string_view title);

}  // namespace airfoldex
