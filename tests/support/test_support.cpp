#include "support/test_support.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "riff/bytes.h"
#include "support/job_bench.h"

namespace airfoldex::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = fs::temp_directory_path() / ("airfoldex-test-" + std::to_string(rd()));
    if (fs::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

fs::path CorpusDir() {
  const char* env = std::getenv("AIRFOLDEX_CORPUS");
  return env && *env ? fs::path(env) : fs::path(AIRFOLDEX_TEST_CORPUS);
}

std::string ReadFileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteFileBytes(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string MakeWavWithChunks(uint16_t channels, uint32_t rate, uint16_t bits, std::string_view before,
                              std::string_view audio, std::string_view after) {
  bytes::Writer w;
  const auto riff = w.BeginChunk("RIFF");
  w.raw("WAVE");
  const auto fmt = w.BeginChunk("fmt ");
  const uint16_t align = static_cast<uint16_t>(channels * ((bits + 7) / 8));
  w.le16(1);  // PCM
  w.le16(channels);
  w.le32(rate);
  w.le32(rate * align);
  w.le16(align);
  w.le16(bits);
  w.EndChunk(fmt);
  w.raw(before);
  const auto data = w.BeginChunk("data");
  w.raw(audio);
  w.EndChunk(data);
  w.raw(after);
  w.PatchLe32(riff, static_cast<uint32_t>(w.size() - 8));
  return w.data();
}

std::string MakePcmWav(std::string_view audio, uint16_t channels, uint32_t rate, uint16_t bits) {
  return MakeWavWithChunks(channels, rate, bits, "", audio, "");
}

std::string PatternAudio(std::size_t length) {
  std::string out(length, '\0');
  uint32_t x = 2463534242u;
  for (auto& c : out) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = static_cast<char>(x & 0xFF);
  }
  return out;
}

int RunCommand(const std::string& command, std::string* out, bool mergeStderr) {
  const std::string full = command + (mergeStderr ? " 2>&1" : "");
  FILE* pipe = popen(full.c_str(), "r");
  if (!pipe) return -1;
  std::array<char, 4096> buf{};
  std::string collected;
  std::size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0) collected.append(buf.data(), n);
  const int status = pclose(pipe);
  if (out) *out = collected;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string CliPath() {
  const char* env = std::getenv("AIRFOLDEX_CLI");
  return env && *env ? env : AIRFOLDEX_TEST_CLI;
}

std::string MakeListInfo(std::initializer_list<std::pair<std::string_view, std::string_view>> entries) {
  bytes::Writer w;
  const auto list = w.BeginChunk("LIST");
  w.raw("INFO");
  for (const auto& [tag, text] : entries) {
    const auto sub = w.BeginChunk(tag);
    w.raw(text);
    w.raw(std::string_view("\0", 1));
    w.EndChunk(sub);
  }
  w.EndChunk(list);
  return w.data();
}

bool HaveProgram(const std::string& name) {
  return RunCommand("command -v " + name + " >/dev/null 2>&1") == 0;
}

}  // namespace airfoldex::test
