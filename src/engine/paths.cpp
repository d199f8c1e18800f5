#include "engine/paths.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

namespace airfoldex {

namespace fs = std::filesystem;

namespace {

// Folders list in the byte order of their upper-cased names, as NTFS lists them.
bool NameOrderLess(const std::string& a, const std::string& b) {
  const auto ua = ToUpperAscii(a), ub = ToUpperAscii(b);
  return ua != ub ? ua < ub : a < b;
}

}  // namespace

fs::path UserPath(std::string_view text) {
  std::string s(text);
  if constexpr (fs::path::preferred_separator == '/') {
    std::replace(s.begin(), s.end(), '\\', '/');
  }
  return fs::path(s);
}

std::string BaseKeyOf(std::string_view fileName) { return ReplaceAll(ToUpperAscii(fileName), ".WAV", ""); }

std::vector<std::string> ListFilesSorted(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) return names;
  for (const auto& entry : it) {
    std::error_code typeEc;
    if (entry.is_regular_file(typeEc)) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end(), NameOrderLess);
  return names;
}

fs::path FindCaseInsensitive(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  const fs::path exact = folder / name;
  if (fs::exists(exact, ec)) return exact;
  const std::string wanted = ToUpperAscii(name);
  fs::directory_iterator it(folder, ec);
  if (!ec) {
    for (const auto& entry : it) {
      if (ToUpperAscii(entry.path().filename().string()) == wanted) return entry.path();
    }
  }
  return exact;
}

std::optional<fs::path> FirstSubfolder(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) return std::nullopt;
  for (const auto& entry : it) {
    std::error_code typeEc;
    if (entry.is_directory(typeEc)) names.push_back(entry.path().filename().string());
  }
  if (names.empty()) return std::nullopt;
  return folder / *std::min_element(names.begin(), names.end(), NameOrderLess);
}

std::string ResolveDestinationWildcard(std::string_view text) {
  const std::string t(text);
  const auto endsWith = [&](std::string_view suffix) {
    return t.size() >= suffix.size() && t.compare(t.size() - suffix.size(), suffix.size(), suffix) == 0;
  };
  if (endsWith("\\**") || endsWith("/**")) {
    const std::string base = ReplaceAll(ReplaceAll(t, "\\**", ""), "/**", "");
    const auto first = FirstSubfolder(UserPath(base));
    if (!first) return t;
    const auto second = FirstSubfolder(*first);
    return (second ? *second : *first).string();
  }
  if (endsWith("\\*") || endsWith("/*")) {
    const std::string base = ReplaceAll(ReplaceAll(t, "\\*", ""), "/*", "");
    const auto first = FirstSubfolder(UserPath(base));
    return first ? first->string() : t;
  }
  return t;
}

fs::path DataFolder() {
  if (const char* data = std::getenv("AIRFOLDEX_DATA"); data && *data) return UserPath(data);
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) return fs::path(xdg) / "airfoldex";
  if (const char* home = std::getenv("HOME"); home && *home) return fs::path(home) / ".config" / "airfoldex";
  return fs::current_path() / "airfoldex";
}

}  // namespace airfoldex
