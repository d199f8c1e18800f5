#pragma once

// The RIFF LIST chunk of list type INFO as PlayItLive, PlayoutONE, AudioVault and BSI/Simian files
// carry it: the values of one file, the two readers (near the start and near the end of the
// file), the rules that turn the values into a CartRecord and the two builders of the chunk for a
// destination.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "model/cart_record.h"
#include "model/format_code.h"
#include "model/log_values.h"
#include "model/time_text.h"
#include "model/wave_format.h"
#include "riff/wav.h"

namespace airfoldex {

struct DispRecord;

// One INFO tag and which of the two readers keeps its value.
struct ListInfoTag {
  std::string_view tag;
  bool readAtStart;  // kept by ReadListInfoAtStart
  bool readAtEnd;    // kept by ReadListInfoAtEnd
};

// Every tag the system knows, in the order the values are held.
inline constexpr std::array<ListInfoTag, 24> kListInfoTags{{
    {"IART", true, true},    // artist
    {"INAM", true, true},    // title
    {"ICOM", true, true},    // kept; the builders write the title into it
    {"ICMT", true, true},    // comment (PlayoutONE keeps its timings here)
    {"IGNR", true, false},   // genre
    {"IMED", true, true},    // segue length, milliseconds
    {"IPUB", true, true},    // publisher
    {"ISBJ", true, true},    // subject; artist fall-back for BSI/Simian
    {"ISFT", false, false},  // producing software
    {"ISRC", false, false},  // source
    {"ISRF", true, true},    // intro length, milliseconds
    {"ITRK", false, false},  // cut number
    {"IKEY", false, false},  // end date
    {"IYER", true, true},    // year
    {"BEND", true, true},    // ending: Fade, Cold or Natural
    {"BFAD", false, false},  // fade flag
    {"BFMT", false, false},  // source format
    {"BSTM", false, false},  // start time
    {"BETM", false, false},  // end time
    {"TEND", true, true},    // ending character
    {"TINT", true, true},    // start offset, milliseconds
    {"TREF", true, true},    // reference (cut number)
    {"TTIM", true, true},    // total time, milliseconds
    {"TTTL", true, true},    // title
}};

// The position of a tag in kListInfoTags (exact, upper-case tag), or nothing.
std::optional<std::size_t> ListInfoTagIndex(std::string_view tag);

// The LIST/INFO values of the current file: one text per tag of kListInfoTags. Readers store
// cleaned text; the builders leave the padded values they wrote (text, NUL, pad NUL).
class ListInfoValues {
 public:
  void Clear();
  // The value of a tag; empty for a tag outside the table.
  const std::string& Get(std::string_view tag) const;
  // Stores a value; a tag outside the table is ignored.
  void Set(std::string_view tag, std::string value);

  bool operator==(const ListInfoValues&) const = default;

 private:
  std::array<std::string, kListInfoTags.size()> values_{};
};

// Form A: the first LIST/INFO chunk within the first 8192 bytes of the file. Blanks `values`
// first. A PlayoutONE comment in ICMT also fills the timings and the log values. `yield` runs
// after each subchunk. True when a chunk was read.
bool ReadListInfoAtStart(const std::filesystem::path& path, ListInfoValues& values, LogValues& log,
                         const std::function<void()>& yield = {}, Diagnostics* diag = nullptr);

// Form B: a LIST/INFO chunk within the last 16 KiB of the file (files of more than 8192 bytes).
// Blanks `values` first. True when a chunk was read.
bool ReadListInfoAtEnd(const std::filesystem::path& path, ListInfoValues& values,
                       Diagnostics* diag = nullptr);

// What the record rules and the builders need to know about the current file.
struct ListInfoRecordInputs {
  WaveFormat format;
  uint32_t dataSize = 0;
  std::string fileName;  // current file name as shown in the status box (UTF-8)
  TimerReadRules timerRules;
  FormatCode fromCode = code::kNone;
};

// Blanks `record` and fills it from the LIST/INFO values, with the DISP text as title fall-back.
// Never fails: a step that cannot be done is skipped.
void BuildCartFromListInfo(CartRecord& record, const ListInfoValues& values, const DispRecord& disp,
                           const ListInfoRecordInputs& inputs, LogValues& log);

// The BSI/Simian artist and title fall-backs (from the cart chunk read before, ISBJ, ICMT and the
// DISP text), then BuildCartFromListInfo.
void ApplySimianListRules(CartRecord& record, ListInfoValues& values, const DispRecord& disp, bool cartFound,
                          bool dispFound, const ListInfoRecordInputs& inputs, LogValues& log);

// The parts of the UserDef timing notation "intro/segue/ending/year"; missing parts stay empty,
// the ending is cleaned.
struct UserDefParts {
  std::string intro, segue, ending, year;
};
UserDefParts SplitUserDef(std::string_view text);

// The LIST/INFO chunk for PlayItLive followed by the DISP chunk of the title. The values written
// are left in `values`.
std::string BuildListInfoPlayItLive(const CartRecord& record, ListInfoValues& values,
                                    const ListInfoRecordInputs& inputs);

// The LIST/INFO chunk for AudioVault and BSI/Simian followed by the DISP chunk of the title. The
// values written are left in `values`.
std::string BuildListInfoGeneral(const CartRecord& record, ListInfoValues& values,
                                 const ListInfoRecordInputs& inputs);

// ---- helpers shared with the tests and other writers ----------------------------------------

// Text followed by one NUL, and a second when text plus NUL is odd: the even-sized value the
// builders write.
std::string PaddedValue(std::string_view text);

// A date given as mm/dd/yyyy, yyyy-mm-dd or yyyy/mm/dd written as yyyy/mm/dd; any other text
// is returned as it stands.
std::string DateAsYmdSlashes(std::string_view text);

// A clock time "h:mm" or "hh:mm" (seconds may follow) written as "hh:mm"; any other text is
// returned as it stands.
std::string TimeAsHoursMinutes(std::string_view text);

}  // namespace airfoldex
