#include "riff/list_info.h"

#include <algorithm>
#include <fstream>
#include <system_error>
#include <vector>

#include "model/errors.h"
#include "model/text_codec.h"
#include "model/version.h"
#include "riff/bytes.h"
#include "riff/disp.h"

namespace airfoldex {

namespace {

namespace fs = std::filesystem;

constexpr uint64_t kWindow = 8192;
// An INFO list is a few hundred bytes; a larger one is read this far and no further.
constexpr uint64_t kMaxListData = 1024 * 1024;

// The last three letters of the tags whose subchunk often starts one byte before the walk lands,
// when the writer left out the pad byte after an odd-sized value.
constexpr std::array<std::string_view, 40> kTagEndings{
    "SRC", "PRD", "NAM", "REF", "TTL", "ART", "PUB", "COM", "GNR", "SRF", "INT", "TIM", "END", "YER",
    "MED", "SBJ", "STR", "KEY", "STM", "ETM", "STW", "ETW", "FAD", "CMT", "KST", "KEN", "ALB", "GRE",
    "BPM", "TRK", "ENG", "TCH", "CPR", "COP", "SFT", "URL", "ERG", "TXR", "TPO", "PNI"};

enum class Form { kAtStart, kAtEnd };

void Note(Diagnostics* diag, std::string code, uint64_t offset, std::string text) {
  if (diag) diag->push_back(Diagnostic{std::move(code), "LIST", offset, std::move(text)});
}

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](char c) { return UpperAscii(c); });
  return out;
}

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](char c) { return LowerAscii(c); });
  return out;
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::vector<std::string> SplitAt(std::string_view text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    parts.emplace_back(
        text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

// A plain decimal number, maybe signed, maybe with spaces around it.
bool IsNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  bool digits = false;
  bool point = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digits;
}

// Whole seconds of a number of milliseconds written as text, ties to even.
int32_t MillisecondsToSeconds(std::string_view text) {
  return RoundHalfEven(ReadNumberPrefix(text) / 1000.0);
}

// Seconds of "m:ss", ":ss", "mm:ss" or a plain number of seconds.
double MinSecToSeconds(std::string_view text) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string_view::npos) return ReadNumberPrefix(text);
  return 60.0 * ReadNumberPrefix(text.substr(0, colon)) + ReadNumberPrefix(text.substr(colon + 1));
}

// ---- reading ----------------------------------------------------------------------------------

class InputFile {
 public:
  explicit InputFile(const fs::path& path) {
    std::error_code ec;
    size_ = fs::file_size(path, ec);
    if (ec) return;
    in_.open(path, std::ios::binary);
    open_ = static_cast<bool>(in_);
  }
  bool open() const { return open_; }
  uint64_t size() const { return size_; }

  // Up to n bytes from offset; fewer at the end of the file.
  std::string Read(uint64_t offset, uint64_t n) {
    if (!open_ || offset >= size_) return {};
    std::string out(static_cast<std::size_t>(std::min(n, size_ - offset)), '\0');
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset));
    in_.read(out.data(), static_cast<std::streamsize>(out.size()));
    out.resize(static_cast<std::size_t>(std::max<std::streamsize>(in_.gcount(), 0)));
    return out;
  }

 private:
  std::ifstream in_;
  uint64_t size_ = 0;
  bool open_ = false;
};

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && UpperAscii(a) == UpperAscii(b);
}

// The file offset of the first "LIST" in the window [from, from + kWindow) whose list type, 8 bytes
// after it, is "INFO". Hits that fail the test are skipped 8 bytes at a time.
std::optional<uint64_t> FindInfoList(InputFile& file, uint64_t from, bool ignoreCase) {
  // The window plus the bytes that reach the list type of a hit at its very end.
  const std::string window = file.Read(from, kWindow + 11);
  const std::size_t hits = std::min<std::size_t>(window.size(), kWindow);
  std::size_t pos = 0;
  while (pos < hits) {
    std::size_t hit = std::string::npos;
    for (std::size_t i = pos; i < hits && i + 4 <= window.size(); ++i) {
      const std::string_view id(window.data() + i, 4);
      if (ignoreCase ? EqualIgnoringCase(id, "LIST") : id == "LIST") {
        hit = i;
        break;
      }
    }
    if (hit == std::string::npos) return std::nullopt;
    if (window.size() >= hit + 12 && std::string_view(window).substr(hit + 8, 4) == "INFO") return from + hit;
    pos = hit + 8;
  }
  return std::nullopt;
}

// The body of the LIST chunk at `at` ("INFO" and the subchunks), clamped to the file.
std::string ReadListBody(InputFile& file, uint64_t at, Diagnostics* diag) {
  const std::string sizeField = file.Read(at + 4, 4);
  bytes::Cursor c(sizeField);
  const uint64_t size = c.le32();
  const uint64_t present = file.size() > at + 8 ? file.size() - at - 8 : 0;
  uint64_t length = std::min(size, present);
  if (length < size) Note(diag, "chunk-clamped", at, "LIST runs past the end of the file");
  if (length > kMaxListData) {
    length = kMaxListData;
    Note(diag, "chunk-clamped", at, "LIST longer than 1 MiB; the rest is not read");
  }
  return file.Read(at + 8, length);
}

bool PlausibleTagAt(std::string_view data, std::size_t pos) {
  return pos + 4 <= data.size() && bytes::IsPrintableId(data.substr(pos, 4));
}

// Walks the subchunks after "INFO" by the RIFF rule (a pad byte after an odd-sized value). Where a
// writer left out that pad, the walk lands one byte late; it then steps back one byte.
void WalkSubchunks(std::string_view data, uint64_t listAt, Form form, ListInfoValues& values,
                   const std::function<void()>& yield, Diagnostics* diag) {
  std::size_t pos = 4;
  bool paddedLast = false;
  while (pos < data.size()) {
    if (paddedLast && PlausibleTagAt(data, pos - 1)) {
      const bool landedOnTag = PlausibleTagAt(data, pos);
      const bool landedOnEnding = landedOnTag && std::find(kTagEndings.begin(), kTagEndings.end(),
                                                           data.substr(pos, 3)) != kTagEndings.end();
      if (!landedOnTag || landedOnEnding) {
        --pos;
        Note(diag, "subchunk-realigned", listAt + 8 + pos,
             "INFO value before " + std::string(data.substr(pos, 4)) + " has no pad byte");
      }
    }
    if (data.size() - pos < 8) {
      Note(diag, "subchunk-truncated", listAt + 8 + pos,
           "INFO subchunk header cut off by the end of the list");
      return;
    }
    bytes::Cursor c(data.substr(pos, 8));
    const std::string tag = UpperAscii(c.fourcc());
    const uint32_t size = c.le32();
    const std::size_t valueAt = pos + 8;
    if (size > data.size() - valueAt) {
      Note(diag, "subchunk-overrun", listAt + 8 + pos,
           "INFO subchunk " + tag + " of " + std::to_string(size) + " bytes runs past the end of the list");
      return;
    }
    std::string_view value = data.substr(valueAt, size);
    // The year is its first four characters.
    if (tag == "IYER") value = value.substr(0, 4);
    const auto index = ListInfoTagIndex(tag);
    if (index &&
        (form == Form::kAtStart ? kListInfoTags[*index].readAtStart : kListInfoTags[*index].readAtEnd)) {
      std::string text = CleanText(value);
      if (form == Form::kAtEnd && tag == "IYER" && ReadNumberPrefix(text) == 0.0) text.clear();
      values.Set(tag, std::move(text));
    }
    paddedLast = IsOdd(size);
    pos = valueAt + size + (paddedLast ? 1 : 0);
    if (yield) yield();
  }
}

// PlayoutONE keeps its timings in the comment: field 1 the year, 5 the start offset, 6 the intro,
// 8 the segue and 10 the length, all in milliseconds.
void ApplyPlayoutOneComment(ListInfoValues& values, LogValues& log, uint64_t listAt, Diagnostics* diag) {
  const std::string& comment = values.Get("ICMT");
  if (LowerAscii(comment).find("playoutone") == std::string::npos) return;
  const std::vector<std::string> fields = SplitAt(comment, ',');
  if (fields.size() < 11 || !IsNumber(fields[5]) || !IsNumber(fields[6]) || !IsNumber(fields[8]) ||
      !IsNumber(fields[10])) {
    Note(diag, "playoutone-comment", listAt, "ICMT names PlayoutONE but holds no timings; left as read");
    return;
  }
  LogValues timings = log;
  try {
    timings.LogIntro = std::to_string(MillisecondsToSeconds(fields[6]));
    timings.LogSegue = std::to_string(MillisecondsToSeconds(fields[8]));
    timings.LogLength = std::to_string(MillisecondsToSeconds(fields[10]));
  } catch (const ProcessError&) {
    Note(diag, "playoutone-comment", listAt, "PlayoutONE timings out of range; left as read");
    return;
  }
  log = timings;
  if (values.Get("IYER").empty()) values.Set("IYER", fields[1]);
  values.Set("TINT", fields[5]);
  values.Set("ISRF", fields[6]);
  values.Set("IMED", fields[8]);
  values.Set("TTIM", fields[10]);
}

// ---- building -----------------------------------------------------------------------------------

// Runs one step of the record rules; a step that cannot be done is left out.
template <typename F>
void Step(F&& step) {
  try {
    step();
  } catch (const ProcessError&) {
  }
}

// The intro and segue in milliseconds and the ending, as both builders take them from the record.
struct BuilderTimes {
  int64_t introMs = 0;
  int64_t segueMs = 0;
  std::string ending;
};

BuilderTimes TimesOf(const CartRecord& record, const ListInfoRecordInputs& inputs, bool tryIntroEnd) {
  const UserDefParts parts = SplitUserDef(CleanText(record.UserDef));
  BuilderTimes times;
  times.ending = CleanText(parts.ending);

  const auto seconds = [&](std::string_view id) {
    return GetTimerSeconds(record, inputs.format, id, inputs.timerRules);
  };
  int64_t intro = RoundHalfEven(seconds("INT "));
  if (intro == 0 && tryIntroEnd) intro = RoundHalfEven(seconds("INTe"));
  if (intro == 0) intro = RoundHalfEven(MinSecToSeconds(CleanText(parts.intro)));
  times.introMs = intro * 1000;

  // Without both segue timers there is no segue length.
  const double segueStart = seconds("SEGs");
  const double segueEnd = seconds("SEGe");
  if (segueStart != 0.0 && segueEnd != 0.0) times.segueMs = RoundHalfEven((segueEnd - segueStart) * 1000.0);
  return times;
}

class InfoWriter {
 public:
  explicit InfoWriter(ListInfoValues& values) : values_(values) {
    w_.raw("LIST");
    w_.le32(0);
    w_.raw("INFO");
  }

  // A subchunk whose value is written as given (its size is the value's length).
  void Raw(std::string_view tag, std::string value) {
    w_.raw(tag);
    w_.le32(static_cast<uint32_t>(value.size()));
    w_.raw(value);
    values_.Set(tag, std::move(value));
  }
  // A subchunk holding text, its NUL and the pad NUL, all counted in the size.
  void Text(std::string_view tag, std::string_view text) { Raw(tag, PaddedValue(text)); }

  // The LIST bytes with their size filled in.
  std::string Finish() {
    if (IsOdd(static_cast<int64_t>(w_.size()))) w_.raw(std::string_view("\0", 1));
    w_.PatchLe32(4, static_cast<uint32_t>(w_.size() - 8));
    return w_.data();
  }

 private:
  bytes::Writer w_;
  ListInfoValues& values_;
};

// The entries both forms begin with, up to and including the ending and its fade flag and the
// source format.
void WriteCommonHead(InfoWriter& out, const CartRecord& record, std::string_view ending, int64_t introMs,
                     int64_t segueMs, bool writeZeroTimes, FormatCode fromCode) {
  out.Text("IART", CleanText(record.Artist));
  out.Text("INAM", CleanText(record.Title));
  out.Text("ICOM", CleanText(record.Title));
  if (writeZeroTimes || introMs != 0) out.Text("ISRF", std::to_string(introMs));
  if (writeZeroTimes || segueMs != 0) out.Text("IMED", std::to_string(segueMs));
  const std::string_view endingWord = ending == "F" ? "Fade" : ending == "C" ? "Cold" : "Natural";
  out.Text("BEND", endingWord);
  if (endingWord == "Cold") out.Raw("BFAD", std::string("-1\0\x02", 4));
  if (fromCode == code::kMp3) out.Raw("BFMT", "AX-MP3");
  out.Text("ISFT", "Airfoldex v" + VersionText());
}

bool ReadDigits(std::string_view text, std::size_t& pos, std::size_t minDigits, std::size_t maxDigits,
                int& value) {
  std::size_t n = 0;
  value = 0;
  while (pos < text.size() && n < maxDigits && text[pos] >= '0' && text[pos] <= '9') {
    value = value * 10 + (text[pos] - '0');
    ++pos;
    ++n;
  }
  return n >= minDigits;
}

bool ReadSeparator(std::string_view text, std::size_t& pos, char separator) {
  if (pos >= text.size() || text[pos] != separator) return false;
  ++pos;
  return true;
}

std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

int DaysInMonth(int year, int month) {
  static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

}  // namespace

// ---- values -----------------------------------------------------------------------------------

std::optional<std::size_t> ListInfoTagIndex(std::string_view tag) {
  for (std::size_t i = 0; i < kListInfoTags.size(); ++i) {
    if (kListInfoTags[i].tag == tag) return i;
  }
  return std::nullopt;
}

void ListInfoValues::Clear() {
  for (std::string& value : values_) value.clear();
}

const std::string& ListInfoValues::Get(std::string_view tag) const {
  static const std::string kEmpty;
  const auto index = ListInfoTagIndex(tag);
  return index ? values_[*index] : kEmpty;
}

void ListInfoValues::Set(std::string_view tag, std::string value) {
  if (const auto index = ListInfoTagIndex(tag)) values_[*index] = std::move(value);
}

// ---- readers ----------------------------------------------------------------------------------

bool ReadListInfoAtStart(const fs::path& path, ListInfoValues& values, LogValues& log,
                         const std::function<void()>& yield, Diagnostics* diag) {
  values.Clear();
  InputFile file(path);
  if (!file.open()) return false;
  const auto at = FindInfoList(file, 0, /*ignoreCase=*/true);
  if (!at) return false;
  if (file.Read(*at, 4) != "LIST") {
    Note(diag, "list-id-case", *at, "INFO list with an id not in upper case; not read");
    return false;
  }
  const std::string body = ReadListBody(file, *at, diag);
  WalkSubchunks(body, *at, Form::kAtStart, values, yield, diag);
  ApplyPlayoutOneComment(values, log, *at, diag);
  return true;
}

bool ReadListInfoAtEnd(const fs::path& path, ListInfoValues& values, Diagnostics* diag) {
  values.Clear();
  InputFile file(path);
  if (!file.open() || file.size() <= kWindow) return false;
  // The last window ends one byte before the end of the file; the one before it needs a file of
  // more than two windows.
  std::optional<uint64_t> at = FindInfoList(file, file.size() - kWindow - 1, /*ignoreCase=*/false);
  if (!at && file.size() > 2 * kWindow) {
    at = FindInfoList(file, file.size() - 2 * kWindow - 1, /*ignoreCase=*/false);
  }
  if (!at) return false;
  const std::string body = ReadListBody(file, *at, diag);
  WalkSubchunks(body, *at, Form::kAtEnd, values, {}, diag);
  return true;
}

// ---- record rules ---------------------------------------------------------------------------------

void BuildCartFromListInfo(CartRecord& record, const ListInfoValues& values, const DispRecord& disp,
                           const ListInfoRecordInputs& inputs, LogValues& log) {
  const auto value = [&](std::string_view tag) { return CleanText(values.Get(tag)); };
  const WaveFormat& format = inputs.format;

  ResetCartRecord(record);
  SetFixedTextNulPadded(record.Artist, ReplaceAll(value("IART"), "_", " "));
  std::string title = CleanText(ReplaceAll(value("TTTL"), "_", " "));
  if (title.empty()) title = disp.DispText;
  if (title.empty()) title = value("INAM");
  SetFixedTextNulPadded(record.Title, title);

  SetFixedTextNulPadded(record.ChunkId, "cart");
  record.ChunkSize = 2050;
  SetFixedTextNulPadded(record.Version, "0101");

  std::string cutId = value("TREF");
  if (cutId.empty()) cutId = CleanText(ReplaceAll(UpperAscii(Utf8ToCp1252(inputs.fileName)), ".WAV", ""));
  SetFixedTextNulPadded(record.CutID, cutId);

  SetFixedTextNulPadded(record.StartDate, "01/01/2000");
  SetFixedTextNulPadded(record.StartTime, "00:00:00");
  SetFixedTextNulPadded(record.EndDate, "12/31/2037");
  SetFixedTextNulPadded(record.EndTime, "23:59:59");

  // Slots 0 to 4 hold intro end, audio start and end, segue start and end.
  constexpr std::array<std::string_view, 5> kSlotIds{"INT ", "AUDs", "AUDe", "SEGs", "SEGe"};
  for (std::size_t slot = 0; slot < kSlotIds.size(); ++slot) {
    SetFixedTextNulPadded(record.PostTimers[slot].Id, kSlotIds[slot]);
  }
  const auto setSeconds = [&](std::string_view id, double seconds) {
    SetTimer(record, format, id, NumberText(seconds), false);
  };
  Step([&] { setSeconds("INT ", ReadNumberPrefix(value("ISRF")) / 1000.0); });
  Step([&] { setSeconds("AUDs", ReadNumberPrefix(value("TINT")) / 1000.0); });
  int32_t length = 0;
  Step([&] {
    length = MillisecondsToSeconds(value("TTIM"));
    if (length == 0) length = RoundHalfEven(MinSecToSeconds(AudioLengthText(inputs.dataSize, format, false)));
  });
  Step([&] { setSeconds("AUDe", length); });
  Step([&] {
    const std::string segue = value("IMED");
    const int32_t segueStart = IsNumber(segue) ? length - MillisecondsToSeconds(segue) : length;
    setSeconds("SEGs", segueStart);
  });
  record.PostTimers[4].Value = record.PostTimers[2].Value;

  // The UserDef notation: ":ss" intro (under a minute), "/" segue start, "/" ending, "/" year.
  std::string userDef;
  const auto timerSeconds = [&](std::string_view id) {
    return GetTimerSeconds(record, format, id, inputs.timerRules);
  };
  Step([&] {
    const int32_t intro = RoundHalfEven(timerSeconds("INT "));
    if (intro < 60) userDef = ":" + TwoDigits(intro);
  });
  Step([&] {
    const double segueStart = timerSeconds("SEGs");
    userDef += "/" + (segueStart != 0.0 ? FormatMinSec(RoundHalfEven(segueStart), false)
                                        : AudioLengthText(inputs.dataSize, format, false));
  });
  userDef = ReplaceAll(userDef, "/0", "/");
  const std::string ending = value("TEND");
  const std::string endingWord = value("BEND");
  const std::string endingChar = !ending.empty()       ? ending.substr(0, 1)
                                 : !endingWord.empty() ? endingWord.substr(0, 1)
                                                       : "C";
  userDef += "/" + endingChar;
  SetFixedTextNulPadded(record.OutCue, endingChar);
  const std::string year = value("IYER");
  if (!year.empty()) userDef += "/" + year;
  userDef = CleanText(userDef);
  SetFixedTextNulPadded(record.UserDef, userDef);

  // The log takes the intro and the segue as the UserDef shows them.
  const std::vector<std::string> parts = SplitAt(userDef, '/');
  log.LogIntro = parts[0];
  log.LogSegue = parts.size() > 1 ? parts[1] : std::string();
  log.LogEnding = userDef.find('C') != std::string::npos ? "C" : "F";
  log.LogLength = AudioLengthText(inputs.dataSize, format, false);
}

void ApplySimianListRules(CartRecord& record, ListInfoValues& values, const DispRecord& disp, bool cartFound,
                          bool dispFound, const ListInfoRecordInputs& inputs, LogValues& log) {
  const auto value = [&](std::string_view tag) { return CleanText(values.Get(tag)); };
  if (value("IART").empty() && cartFound) values.Set("IART", CleanText(record.Artist));
  if (!value("ISBJ").empty() && value("IART").empty()) values.Set("IART", value("ISBJ"));
  const std::string dispText = CleanText(disp.DispText);
  if (!dispText.empty() && dispFound) {
    values.Set("TTTL", dispText);
    values.Set("INAM", dispText);
  } else if (value("TTTL").empty()) {
    std::string title = cartFound ? CleanText(record.Title) : value("ICMT");
    if (title.empty()) title = dispText;
    values.Set("TTTL", title);
  }
  BuildCartFromListInfo(record, values, disp, inputs, log);
}

UserDefParts SplitUserDef(std::string_view text) {
  const std::vector<std::string> parts = SplitAt(text, '/');
  UserDefParts out;
  const auto part = [&](std::size_t i) { return i < parts.size() ? parts[i] : std::string(); };
  out.intro = part(0);
  out.segue = part(1);
  out.ending = CleanText(part(2));
  out.year = part(3);
  return out;
}

// ---- builders -----------------------------------------------------------------------------------

std::string BuildListInfoPlayItLive(const CartRecord& record, ListInfoValues& values,
                                    const ListInfoRecordInputs& inputs) {
  const BuilderTimes times = TimesOf(record, inputs, /*tryIntroEnd=*/false);
  InfoWriter out(values);
  WriteCommonHead(out, record, times.ending, times.introMs, times.segueMs, /*writeZeroTimes=*/false,
                  inputs.fromCode);
  out.Text("ISRC", "AUDIO");
  return out.Finish() + BuildDispChunk(CleanText(record.Title));
}

std::string BuildListInfoGeneral(const CartRecord& record, ListInfoValues& values,
                                 const ListInfoRecordInputs& inputs) {
  const BuilderTimes times = TimesOf(record, inputs, /*tryIntroEnd=*/true);
  // Automation systems that read this form expect an intro and a segue; a short default stands in.
  const int64_t introMs = times.introMs != 0 ? times.introMs : 500;
  const int64_t segueMs = times.segueMs != 0 ? times.segueMs : 1000;
  InfoWriter out(values);
  WriteCommonHead(out, record, times.ending, introMs, segueMs, /*writeZeroTimes=*/true, inputs.fromCode);
  out.Text("ITRK", CleanText(record.CutID));
  out.Text("IKEY", DateAsYmdSlashes(CleanText(record.EndDate)));
  out.Text("BSTM", TimeAsHoursMinutes(CleanText(record.StartTime).substr(0, 5)));
  // A genre holding a "/" is taken for a date and replaced by the start date.
  std::string genre = CleanText(values.Get("IGNR"));
  if (genre.find('/') != std::string::npos) genre = DateAsYmdSlashes(CleanText(record.StartDate));
  out.Text("IGNR", CleanText(genre));
  out.Text("BETM", TimeAsHoursMinutes(CleanText(record.EndTime)));
  return out.Finish() + BuildDispChunk(CleanText(record.Title));
}

// ---- text helpers -------------------------------------------------------------------------------

std::string PaddedValue(std::string_view text) {
  std::string out(text);
  out.push_back('\0');
  if (IsOdd(static_cast<int64_t>(out.size()))) out.push_back('\0');
  return out;
}

std::string DateAsYmdSlashes(std::string_view text) {
  int year = 0;
  int month = 0;
  int day = 0;
  bool parsed = false;
  std::size_t pos = 0;
  if (ReadDigits(text, pos, 4, 4, year) && pos < text.size() && (text[pos] == '-' || text[pos] == '/')) {
    const char separator = text[pos++];
    parsed = ReadDigits(text, pos, 1, 2, month) && ReadSeparator(text, pos, separator) &&
             ReadDigits(text, pos, 1, 2, day) && pos == text.size();
  } else {
    pos = 0;
    parsed = ReadDigits(text, pos, 1, 2, month) && ReadSeparator(text, pos, '/') &&
             ReadDigits(text, pos, 1, 2, day) && ReadSeparator(text, pos, '/') &&
             ReadDigits(text, pos, 4, 4, year) && pos == text.size();
  }
  if (!parsed || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
    return std::string(text);
  return std::to_string(year) + "/" + TwoDigits(month) + "/" + TwoDigits(day);
}

std::string TimeAsHoursMinutes(std::string_view text) {
  int hours = 0;
  int minutes = 0;
  int seconds = 0;
  std::size_t pos = 0;
  bool parsed = ReadDigits(text, pos, 1, 2, hours) && ReadSeparator(text, pos, ':') &&
                ReadDigits(text, pos, 2, 2, minutes);
  // Seconds, or the colon before them, may follow.
  if (parsed && ReadSeparator(text, pos, ':') && pos < text.size()) {
    parsed = ReadDigits(text, pos, 2, 2, seconds) && seconds < 60;
  }
  if (!parsed || pos != text.size() || hours > 23 || minutes > 59) return std::string(text);
  return TwoDigits(hours) + ":" + TwoDigits(minutes);
}

}  // namespace airfoldex
