#include "ui/ini_file.h"

#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "model/ascii_text.h"

namespace airfoldex {

namespace {

struct IniText {
  std::vector<std::string> lines;  // without line ends
  std::string eol = "\r\n";
  bool endsWithEol = true;
};

bool Load(const std::filesystem::path& file, IniText& ini) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::stringstream ss;
  ss << in.rdbuf();
  const std::string text = ss.str();
  if (text.find("\r\n") == std::string::npos && text.find('\n') != std::string::npos) ini.eol = "\n";
  std::size_t start = 0;
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string::npos) {
      ini.lines.push_back(text.substr(start));
      ini.endsWithEol = false;
      break;
    }
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ini.lines.push_back(std::move(line));
    start = end + 1;
  }
  return true;
}

std::optional<std::string_view> SectionName(std::string_view line) {
  const auto t = TrimBlanks(line);
  if (t.size() >= 2 && t.front() == '[') {
    const auto close = t.find(']');
    if (close != std::string_view::npos) return TrimBlanks(t.substr(1, close - 1));
  }
  return std::nullopt;
}

// The key of a "key=value" line, or nothing for comments and other lines.
std::optional<std::string_view> KeyOf(std::string_view line) {
  const auto t = TrimBlanks(line);
  if (t.empty() || t.front() == ';') return std::nullopt;
  const auto eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return TrimBlanks(line.substr(0, eq));
}

}  // namespace

std::optional<std::string> ReadIniValue(const std::filesystem::path& file, std::string_view section,
                                        std::string_view key) {
  IniText ini;
  if (!Load(file, ini)) return std::nullopt;
  const std::string wantSection = ToLowerAscii(section), wantKey = ToLowerAscii(key);
  bool inSection = false;
  for (const auto& line : ini.lines) {
    if (auto name = SectionName(line)) {
      inSection = ToLowerAscii(*name) == wantSection;
      continue;
    }
    if (!inSection) continue;
    if (auto k = KeyOf(line); k && ToLowerAscii(*k) == wantKey) {
      std::string value(TrimBlanks(std::string_view(line).substr(line.find('=') + 1)));
      if (value.size() > kMaxSettingLength) value.resize(kMaxSettingLength);
      return value;
    }
  }
  return std::nullopt;
}

bool WriteIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key,
                   std::string_view value) {
  IniText ini;
  std::error_code ec;
  if (!Load(file, ini) && std::filesystem::exists(file, ec)) return false;  // never replace it
  const std::string wantSection = ToLowerAscii(section), wantKey = ToLowerAscii(key);
  const std::string newLine = std::string(key) + "=" + std::string(value);

  bool inSection = false, sectionSeen = false, done = false;
  std::size_t insertAt = ini.lines.size();
  for (std::size_t i = 0; i < ini.lines.size() && !done; ++i) {
    if (auto name = SectionName(ini.lines[i])) {
      if (inSection) break;  // end of our section: insert after its last non-blank line
      inSection = ToLowerAscii(*name) == wantSection;
      if (inSection) {
        sectionSeen = true;
        insertAt = i + 1;
      }
      continue;
    }
    if (!inSection) continue;
    if (!TrimBlanks(ini.lines[i]).empty()) insertAt = i + 1;
    if (auto k = KeyOf(ini.lines[i]); k && ToLowerAscii(*k) == wantKey) {
      ini.lines[i] = newLine;
      done = true;
    }
  }
  if (!done) {
    if (sectionSeen) {
      ini.lines.insert(ini.lines.begin() + static_cast<std::ptrdiff_t>(insertAt), newLine);
    } else {
      ini.lines.push_back("[" + std::string(section) + "]");
      ini.lines.push_back(newLine);
    }
  }

  std::string out;
  for (std::size_t i = 0; i < ini.lines.size(); ++i) {
    out += ini.lines[i];
    if (i + 1 < ini.lines.size() || ini.endsWithEol || !done) out += ini.eol;
  }
  // Written beside the file and renamed over it, so a failed write never leaves half a file.
  const std::filesystem::path temp = file.string() + ".new";
  bool ok;
  {
    std::ofstream f(temp, std::ios::binary | std::ios::trunc);
    f.write(out.data(), static_cast<std::streamsize>(out.size()));
    f.close();
    ok = static_cast<bool>(f);
  }
  if (ok) {
    std::filesystem::rename(temp, file, ec);
    ok = !ec;
  }
  if (!ok) std::filesystem::remove(temp, ec);
  return ok;
}

}  // namespace airfoldex
