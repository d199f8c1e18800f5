#pragma once

// The RIFF WAVE container: identifying a source's fmt and data chunks in all the layouts that
// automation systems write, and writing destination WAV files around the copied audio.

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/wave_format.h"

namespace airfoldex {

// Something a reader skipped or repaired, for `inspect` and the job log.
struct Diagnostic {
  std::string code;   // short stable key, e.g. "chunk-clamped"
  std::string chunk;  // chunk id concerned, may be empty
  uint64_t offset = 0;
  std::string text;   // human-readable sentence
};
using Diagnostics = std::vector<Diagnostic>;

// One chunk of a well-formed chunk list.
struct ChunkInfo {
  std::string id;       // 4 printable ASCII characters
  uint64_t offset = 0;  // offset of the 8-byte header
  uint32_t size = 0;    // size field as stored
  bool clamped = false; // the chunk runs past the end of the file
};

// Where the parts of the current source file lie (result of IdentifyWav).
struct WavLayout {
  std::array<char, 12> RiffHeader{};  // as read from offset 0
  int32_t FmtChunkSize = 0;           // size field of the fmt chunk
  std::array<char, 4> FollowId{};     // header of the chunk after an 18-byte fmt chunk
  int32_t FollowSize = 0;
  int32_t PrefixOffset = 0;  // offset of an AIR1 block (AIR layouts), 20 for the LIST layout, else 0
  bool JunkFirst = false;
  bool FmtFound = false;
  uint64_t FmtOffset = 0;   // offset of the fmt chunk header
  std::string FmtBody;      // the fmt chunk body as stored (bounded), for formats copied whole
  uint64_t DataOffset = 0;  // offset of the data chunk header
  uint32_t DataSize = 0;    // size field of the data chunk
  uint64_t AudioBytes = 0;  // audio bytes really present: DataSize clamped to the file
  bool ChunkListWellFormed = false;  // the chunk walk reached the end of the file
  std::vector<ChunkInfo> Chunks;     // the walked chunk list (empty when not a RIFF WAVE list)
};

// Walks the chunk list of a RIFF WAVE file once. Accepts only printable ids, caps the number of
// chunks, and clamps a chunk that runs past the end (noting it in diag). Returns the chunks in
// file order; `wellFormed` tells whether the walk ended exactly at (or within a pad byte of) the
// end of the file without clamping.
std::vector<ChunkInfo> WalkChunks(const std::filesystem::path& path, bool* wellFormed,
                                  Diagnostics* diag = nullptr);

// Fills format and layout for a source WAV. True when both a usable fmt chunk and a data chunk
// were located. Never leaves the previous file's format in place: on false, format is zeroed.
bool IdentifyWav(const std::filesystem::path& path, WaveFormat& format, WavLayout& layout,
                 Diagnostics* diag = nullptr);

// The JUNK-first layout: fmt and data found by searching the first 8192 bytes.
bool ScanJunkLayout(const std::filesystem::path& path, WaveFormat& format, WavLayout& layout);

// The target's contribution: rendered chunk bytes (headers and pad bytes included) written
// between fmt and data, and after the audio.
struct TargetChunks {
  std::string before;
  std::string after;
};

// Called after each block of audio with bytes done and bytes in all; the caller throttles.
using CopyProgress = std::function<void(uint64_t done, uint64_t total)>;

struct WriteResult {
  bool ok = false;
  std::string error;  // why it failed, for diagnostics
};

// Writes dest under a temporary name in its folder: RIFF header, fmt chunk, the target's chunks,
// data chunk with the audio streamed from source, a pad byte after odd audio, the trailing
// chunks; the RIFF size is the file length - 8. Stamps the source's time on it and renames it
// into place. On failure the temporary file is removed and dest is untouched.
WriteResult WriteDestinationWav(const std::filesystem::path& source, const std::filesystem::path& dest,
                                const WaveFormat& format, const WavLayout& layout,
                                const TargetChunks& chunks, const CopyProgress& progress = {});

// Duration in seconds rounded to two decimals; 0 for an empty path, a missing or empty file.
double ProbeWavDuration(const std::filesystem::path& path);

// The creation time of a file where the system records one (statx birth time), otherwise its
// modification time; whole seconds.
std::optional<std::chrono::system_clock::time_point> SourceFileTime(const std::filesystem::path& path);

// Sets the access and modification time of an existing file. True when set.
bool StampFileTimes(const std::filesystem::path& path, std::chrono::system_clock::time_point when);

}  // namespace airfoldex
