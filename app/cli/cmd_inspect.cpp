// airfoldex-cli inspect: what the program sees in source files.

#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "engine/catalogue.h"
#include "engine/inspect.h"
#include "engine/paths.h"
#include "model/text_codec.h"
#include "model/time_text.h"

namespace airfoldex::cli {

namespace {

struct InspectOptions {
  std::vector<std::string> files;
  std::string from = "CART";
  std::string to;
  bool json = false;
};

std::string JsonString(std::string_view utf8) {
  std::string out = "\"";
  for (unsigned char c : utf8) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out.push_back(static_cast<char>(c));
        }
    }
  }
  return out + "\"";
}

// Ids are four bytes that may hold anything; shown as text they keep printable ASCII only.
std::string ShownId(std::string_view id) {
  std::string out;
  for (unsigned char c : id) {
    if (c >= 0x20 && c < 0x7F) {
      out.push_back(static_cast<char>(c));
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", c);
      out += buf;
    }
  }
  return out;
}

// A timer id as stored, NULs left out: "INT " keeps its space.
std::string WithoutNuls(std::string_view id) {
  std::string out;
  for (char c : id) {
    if (c != '\0') out.push_back(c);
  }
  return out;
}

std::string FormatName(uint16_t tag) {
  switch (tag) {
    case 1:
      return "PCM";
    case 3:
      return "IEEE float";
    case 0x50:
      return "MPEG";
    case 0x55:
      return "MPEG Layer III";
    case 0xFFFE:
      return "extensible";
    default:
      return "format " + std::to_string(tag);
  }
}

struct Flag {
  const char* name;
  bool value;
};

std::vector<Flag> Flags(const InspectedFile& f) {
  const auto& p = f.State.Flags;
  return {{"WavIdentified", p.WavIdentified}, {"CartFound", p.CartFound},
          {"ScotFound", p.ScotFound},         {"ListFound", p.ListFound},
          {"DispFound", p.DispFound},         {"ApeFound", p.ApeFound},
          {"Av10Found", p.Av10Found},         {"XmldatRead", p.XmldatRead},
          {"AirForceFound", p.AirForceFound}, {"RecordBuilt", f.State.File.RecordBuilt}};
}

void PrintJson(const InspectedFile& f, const std::string& from) {
  const auto& fmt = f.State.Format;
  const auto& layout = f.State.Layout;
  std::string j =
      "{\"file\":" + JsonString(f.Path.string()) + ",\"from\":" + JsonString(from) + ",\"chunks\":[";
  for (std::size_t i = 0; i < f.Chunks.size(); ++i) {
    const auto& c = f.Chunks[i];
    j += (i ? "," : "") + std::string("{\"id\":") + JsonString(Cp1252ToUtf8(c.id)) +
         ",\"offset\":" + std::to_string(c.offset) + ",\"size\":" + std::to_string(c.size) + "}";
  }
  j += "],\"format\":{\"FormatTag\":" + std::to_string(fmt.FormatTag) +
       ",\"Channels\":" + std::to_string(fmt.Channels) +
       ",\"SamplesPerSec\":" + std::to_string(fmt.SamplesPerSec) +
       ",\"AvgBytesPerSec\":" + std::to_string(fmt.AvgBytesPerSec) +
       ",\"BlockAlign\":" + std::to_string(fmt.BlockAlign) +
       ",\"BitsPerSample\":" + std::to_string(fmt.BitsPerSample) +
       ",\"DataOffset\":" + std::to_string(layout.DataOffset) +
       ",\"DataSize\":" + std::to_string(layout.DataSize) + "},\"flags\":{";
  const auto flags = Flags(f);
  for (std::size_t i = 0; i < flags.size(); ++i) {
    j += (i ? "," : "") + JsonString(flags[i].name) + ":" + (flags[i].value ? "true" : "false");
  }
  j += "},\"record\":{";
  const auto& r = f.State.Cart;
  for (const auto& [name, value] : RecordTextFields(r))
    j += JsonString(name) + ":" + JsonString(Cp1252ToUtf8(value)) + ",";
  j += "\"LevelReference\":" + std::to_string(r.LevelReference) + "},\"timers\":[";
  for (std::size_t k = 0; k < r.PostTimers.size(); ++k) {
    const auto& t = r.PostTimers[k];
    j += (k ? "," : "") + std::string("{\"slot\":") + std::to_string(k) +
         ",\"id\":" + JsonString(Cp1252ToUtf8(WithoutNuls(t.Id.view()))) +
         ",\"value\":" + std::to_string(t.Value) +
         ",\"seconds\":" + NumberText(GetTimerSeconds(r, fmt, std::string(t.Id.view()))) + "}";
  }
  j += "]}";
  std::printf("%s\n", j.c_str());
}

void PrintText(const InspectedFile& f, const std::string& from) {
  const auto& fmt = f.State.Format;
  const auto& layout = f.State.Layout;
  std::printf("%s\n", f.Path.string().c_str());
  std::printf("  chunks    %s\n", f.Chunks.empty()        ? "no RIFF WAVE chunk list"
                                  : f.ChunkListWellFormed ? "well-formed chunk list"
                                                          : "damaged chunk list (walked as far as it goes)");
  for (const auto& c : f.Chunks) {
    std::printf("            %-6s at %10llu  size %10u%s\n", ("'" + ShownId(c.id) + "'").c_str(),
                static_cast<unsigned long long>(c.offset), c.size, c.clamped ? "  (runs past the end)" : "");
  }
  if (f.State.Flags.WavIdentified) {
    std::printf("  format    %s, %u ch, %u Hz, %u bit, %u bytes/s, block %u\n",
                FormatName(fmt.FormatTag).c_str(), fmt.Channels, fmt.SamplesPerSec, fmt.BitsPerSample,
                fmt.AvgBytesPerSec, fmt.BlockAlign);
    const std::string length = AudioLengthText(static_cast<uint32_t>(layout.AudioBytes), fmt, false);
    std::printf("  audio     data chunk at %llu, %u bytes%s\n",
                static_cast<unsigned long long>(layout.DataOffset), layout.DataSize,
                length.empty() ? "" : (" (" + length + ")").c_str());
  }
  std::string found;
  for (const auto& flag : Flags(f)) {
    if (flag.value) found += std::string(found.empty() ? "" : ", ") + flag.name;
  }
  std::printf("  found     %s\n", found.empty() ? "nothing" : found.c_str());
  for (const auto& m : f.Messages) std::printf("  message   %s\n", m.c_str());
  if (!f.Readable) {
    std::printf("  record    none: the \"%s\" chain does not accept this file\n\n", from.c_str());
    return;
  }
  std::printf("  record    as the \"%s\" chain builds it\n", from.c_str());
  const auto& r = f.State.Cart;
  for (const auto& [name, value] : RecordTextFields(r)) {
    if (value.empty()) continue;
    // Multi-line texts (tag text) continue under their first line.
    std::string shown = ReplaceAll(ReplaceAll(Cp1252ToUtf8(value), "\r\n", "\n"), "\r", "\n");
    while (!shown.empty() && (shown.back() == '\n' || shown.back() == ' ')) shown.pop_back();
    shown = ReplaceAll(shown, "\n", "\n" + std::string(32, ' '));
    std::printf("            %-19s %s\n", name.c_str(), shown.c_str());
  }
  if (r.LevelReference != 0) std::printf("            %-19s %d\n", "LevelReference", r.LevelReference);
  std::printf("  timers\n");
  for (std::size_t k = 0; k < r.PostTimers.size(); ++k) {
    const auto& t = r.PostTimers[k];
    if (CleanText(t.Id).empty() && t.Value == 0) continue;
    const double seconds = GetTimerSeconds(r, fmt, std::string(t.Id.view()));
    std::printf("            %zu  %-6s %10d  %s s\n", k,
                ("'" + ShownId(WithoutNuls(t.Id.view())) + "'").c_str(), t.Value,
                NumberText(seconds).c_str());
  }
  for (const auto& d : f.State.FileDiagnostics) {
    std::printf("  note      %s: %s\n", d.code.c_str(), d.text.c_str());
  }
  std::printf("\n");
}

}  // namespace

int RunInspect(const std::vector<std::string>& args) {
  InspectOptions o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--json") {
      o.json = true;
    } else if ((args[i] == "--from" || args[i] == "--to") && i + 1 < args.size()) {
      (args[i] == "--from" ? o.from : o.to) = args[i + 1];
      ++i;
    } else if (args[i].rfind("--", 0) == 0) {
      std::fprintf(stderr, "Unknown option \"%s\".\n", args[i].c_str());
      return kExitRefused;
    } else {
      o.files.push_back(args[i]);
    }
  }
  if (o.files.empty()) {
    std::fprintf(stderr, "inspect needs at least one file.\n");
    return kExitRefused;
  }
  const auto from = FindEntry(FormatList::From, o.from);
  const auto to = o.to.empty() ? std::optional<int>(-1) : FindEntry(FormatList::To, o.to);
  if (!from || !to) {
    std::fprintf(stderr, "Unknown format \"%s\"; `airfoldex-cli formats` lists them.\n",
                 (!from ? o.from : o.to).c_str());
    return kExitRefused;
  }
  int status = kExitOk;
  for (const auto& file : o.files) {
    const auto inspected = InspectSource(UserPath(file), SelectedCode(FormatList::From, *from),
                                         SelectedCode(FormatList::To, *to), o.from);
    if (!inspected.Readable) status = kExitFailures;
    if (o.json) {
      // The JSON keys are fixed; what the readers would have shown goes to stderr.
      for (const auto& m : inspected.Messages) std::fprintf(stderr, "%s: %s\n", file.c_str(), m.c_str());
      PrintJson(inspected, o.from);
    } else {
      PrintText(inspected, o.from);
    }
  }
  return status;
}

}  // namespace airfoldex::cli
