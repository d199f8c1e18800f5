#pragma once

// Shared helpers for the tests: scoped temporary folders, small WAV builders, running peers.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace airfoldex::test {

// A fresh folder under the system's temp folder, removed with everything in it at scope end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// The folder of real files made by other programs (AIRFOLDEX_CORPUS, set by CTest).
std::filesystem::path CorpusDir();

std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);

// The bytes of a plain PCM WAV: RIFF header, 16-byte fmt chunk, data chunk holding `audio`
// (with a pad byte when odd).
std::string MakePcmWav(std::string_view audio, uint16_t channels = 2, uint32_t rate = 44100,
                       uint16_t bits = 16);

// A RIFF WAVE with a 16-byte PCM fmt chunk, `before` between fmt and data, the data chunk
// holding `audio` (padded when odd) and `after` behind it.
std::string MakeWavWithChunks(uint16_t channels, uint32_t rate, uint16_t bits, std::string_view before,
                              std::string_view audio, std::string_view after);

// Deterministic audio bytes of the given length.
std::string PatternAudio(std::size_t length);

// Runs a shell command; returns its exit status and puts stdout (and stderr when asked) in `out`.
int RunCommand(const std::string& command, std::string* out = nullptr, bool mergeStderr = false);

// The airfoldex-cli executable of this build.
std::string CliPath();

// True when a program is on PATH (peer tools: sox, ffmpeg, ffprobe ...).
bool HaveProgram(const std::string& name);

}  // namespace airfoldex::test
