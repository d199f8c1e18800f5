// airfoldex-cli tags FILE [--set FIELD=VALUE ...]: what Tagwell reads from an MP3 file, and setting
// the common fields in both of its tags.

#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/commands.h"
#include "model/text_codec.h"
#include "tagwell/tagwell.h"

namespace airfoldex::cli {

namespace {

constexpr const char* kFields[] = {"title", "artist", "album", "year", "comment", "genre", "track"};

// Tagwell's Windows-1252 text as one line of UTF-8: NUL, CR and LF are shown as \0, \r and \n.
std::string Shown(const std::string& cp1252) {
  std::string escaped;
  for (const char c : cp1252) {
    if (c == '\0') {
      escaped += "\\0";
    } else if (c == '\r') {
      escaped += "\\r";
    } else if (c == '\n') {
      escaped += "\\n";
    } else {
      escaped += c;
    }
  }
  return Cp1252ToUtf8(escaped);
}

const char* TrueFalse(bool b) { return b ? "True" : "False"; }

// Frames whose values are text; the others are shown by their length.
bool IsTextFrame(const std::string& id) {
  return id[0] == 'T' || id[0] == 'W' || id == "COMM" || id == "USLT" || id == "PCNT" || id == "IPLS";
}

void PrintTags(const tagwell::cMP3ID3v1& v1, const tagwell::cMP3ID3v2& v2) {
  auto line = [](const char* name, const std::string& value) {
    std::printf("%s: %s\n", name, Shown(value).c_str());
  };
  std::printf("HasID3v1Tag: %s\n", TrueFalse(v1.HasID3v1Tag()));
  line("ID3v1.Title", v1.Title());
  line("ID3v1.Artist", v1.Artist());
  line("ID3v1.Album", v1.Album());
  line("ID3v1.Year", v1.Year());
  line("ID3v1.Comment", v1.Comment());
  std::printf("ID3v1.Track: %d\n", v1.Track());
  const std::string v1GenreName = v1.GenreName(v1.Genre());
  line("ID3v1.Genre", std::to_string(v1.Genre()) + (v1GenreName.empty() ? "" : " " + v1GenreName));

  std::printf("HasID3v2Tag: %s\n", TrueFalse(v2.HasID3v2Tag()));
  std::printf("ID3v2.TagVersion: %d\n", v2.TagVersion());
  line("ID3v2.Title", v2.Title());
  line("ID3v2.Artist", v2.Artist());
  line("ID3v2.Album", v2.Album());
  line("ID3v2.Year", v2.Year());
  line("ID3v2.Track", v2.Track());
  line("ID3v2.Comment", v2.Comment());
  std::printf("ID3v2.Genre: %d\n", v2.Genre());
  line("ID3v2.OtherGenreName", v2.OtherGenreName());
  line("ID3v2.EncodedBy", v2.EncodedBy());
  line("ID3v2.Composer", v2.Composer());
  line("ID3v2.OriginalArtist", v2.OriginalArtist());
  line("ID3v2.Copyright", v2.Copyright());
  line("ID3v2.PlayCounter", v2.PlayCounter());
  line("ID3v2.LinkTo", v2.LinkTo());
  line("ID3v2.AudioURL", v2.AudioURL());
  line("ID3v2.ArtistURL", v2.ArtistURL());
  line("ID3v2.BuyURL", v2.BuyURL());
  line("ID3v2.Lyrics", v2.Lyrics());
  std::printf("ID3v2.FrameCount: %d\n", v2.FrameCount());
  for (int i = 1; i <= v2.FrameCount(); ++i) {
    const std::string id = v2.Frame(i);
    for (int n = 1; n <= v2.TagsInFrame(id); ++n) {
      const std::string value = v2.FrameValue(id, n);
      if (IsTextFrame(id)) {
        std::printf("Frame %s %d: %s\n", id.c_str(), n, Shown(value).c_str());
      } else {
        std::printf("Frame %s %d: (%zu bytes)\n", id.c_str(), n, value.size());
      }
    }
  }
}

// A genre given as a number (0-255) or as a name of the genre list, in any letter case.
std::optional<int> GenreNumber(const std::string& value) {
  if (!value.empty() && value.size() <= 3 && value.find_first_not_of("0123456789") == std::string::npos) {
    const int n = std::stoi(value);
    if (n <= 255) return n;
  }
  auto lower = [](std::string s) {
    for (auto& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return s;
  };
  for (int n = 0; n < 256; ++n) {
    const std::string name = tagwell::GenreName(n);
    if (!name.empty() && lower(name) == lower(value)) return n;
  }
  return std::nullopt;
}

// The leading number of a track text such as "3" or "3/12", when it fits the ID3v1 byte.
std::optional<int> TrackNumber(const std::string& value) {
  const auto digits = value.find_first_not_of("0123456789");
  const std::string lead = value.substr(0, digits);
  if (lead.empty() || lead.size() > 3 || (digits != std::string::npos && value[digits] != '/')) {
    return value.empty() ? std::optional<int>(0) : std::nullopt;
  }
  const int n = std::stoi(lead);
  return n <= 255 ? std::optional<int>(n) : std::nullopt;
}

bool ApplySet(const std::string& field, const std::string& utf8, tagwell::cMP3ID3v1& v1,
              tagwell::cMP3ID3v2& v2) {
  const std::string value = Utf8ToCp1252(utf8);
  if (field == "title") {
    v1.setTitle(value);
    v2.setTitle(value);
  } else if (field == "artist") {
    v1.setArtist(value);
    v2.setArtist(value);
  } else if (field == "album") {
    v1.setAlbum(value);
    v2.setAlbum(value);
  } else if (field == "year") {
    v1.setYear(value);
    v2.setYear(value);
  } else if (field == "comment") {
    v1.setComment(value);
    v2.setComment(value);
  } else if (field == "track") {
    const auto n = TrackNumber(value);
    if (!n) {
      std::fprintf(stderr, "A track is a number from 0 to 255, optionally followed by /total: \"%s\".\n",
                   utf8.c_str());
      return false;
    }
    v1.setTrack(static_cast<uint8_t>(*n));
    v2.setTrack(value);
  } else if (field == "genre") {
    // A genre of the list is stored by its number; any other text only in ID3v2, which can hold it.
    const auto n = GenreNumber(value);
    v1.setGenre(static_cast<uint8_t>(n.value_or(255)));
    v2.setOtherGenreName("");
    v2.setGenre(static_cast<uint8_t>(n.value_or(255)));
    if (!n) v2.setOtherGenreName(value);
  } else {
    return false;
  }
  return true;
}

}  // namespace

int RunTags(const std::vector<std::string>& args) {
  std::string file;
  std::vector<std::pair<std::string, std::string>> sets;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--set") {
      const std::string assignment = i + 1 < args.size() ? args[++i] : std::string();
      const auto eq = assignment.find('=');
      std::string field = assignment.substr(0, eq);
      for (auto& c : field) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
      bool known = false;
      for (const char* f : kFields) known = known || field == f;
      if (eq == std::string::npos || !known) {
        std::fprintf(
            stderr,
            "--set takes FIELD=VALUE; FIELD is title, artist, album, year, comment, genre or track.\n");
        return kExitRefused;
      }
      sets.emplace_back(field, assignment.substr(eq + 1));
    } else if (file.empty() && !args[i].empty() && args[i].rfind("--", 0) != 0) {
      file = args[i];
    } else {
      std::fprintf(stderr, "Usage: airfoldex-cli tags FILE [--set FIELD=VALUE ...]\n");
      return kExitRefused;
    }
  }
  if (file.empty()) {
    std::fprintf(stderr, "Usage: airfoldex-cli tags FILE [--set FIELD=VALUE ...]\n");
    return kExitRefused;
  }

  tagwell::cMP3Tags tags;
  tags.Init();
  tagwell::cMP3ID3v1& v1 = *tags.cID3v1();
  tagwell::cMP3ID3v2& v2 = *tags.cID3v2();
  try {
    v1.setMP3File(file);
    v2.setMP3File(file);
    if (!sets.empty()) {
      for (const auto& [field, value] : sets) {
        if (!ApplySet(field, value, v1, v2)) return kExitRefused;
      }
      v2.Update();
      v1.Update();
      v1.setMP3File(file);  // show what the file now holds
      v2.setMP3File(file);
    }
    PrintTags(v1, v2);
  } catch (const tagwell::Error& e) {
    std::fprintf(stderr, "[%s] Error %ld: %s\n", e.Source().c_str(), e.Number(), e.Description().c_str());
    tags.DeInit();
    return kExitFailures;
  }
  tags.DeInit();
  return kExitOk;
}

}  // namespace airfoldex::cli
