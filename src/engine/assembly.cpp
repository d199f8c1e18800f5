#include "engine/assembly.h"

#include <chrono>

#include "engine/acquisition.h"
#include "model/ascii_text.h"
#include "model/time_text.h"
#include "riff/cart.h"
#include "riff/list_info.h"
#include "riff/wav.h"

namespace airfoldex {

namespace fs = std::filesystem;

bool TargetWritersAvailable(FormatCode toCode) {
  switch (toCode) {
    case code::kCartChunk:
    case code::kPlayItLive:
    case code::kMediaTouch:
    case code::kStationPlaylist:
    case code::kBsiSimian:
    case code::kWavPcm:
      return true;
    default:  // scot, ENCO dialect, XMLDAT, packed names, av10, rdxl, mediaItem, ASC
      return false;
  }
}

namespace {

// The destination side of a Storq/Air Force source (CutID from the destination name, UserDef
// from intro and segue) arrives with the AIR format; until then the record stays as read.
void FillAirRecordForDestination(JobContext&) {}

// Sources whose timers are rebuilt from their intro and segue before writing (Myriad, MediaTouch).
void RebuildTimers(JobContext& ctx) {
  auto& s = ctx.session;
  auto& r = s.Cart;
  const auto rules = CurrentTimerRules(ctx);
  r.ChunkSize = 2050;
  double intro = GetTimerSeconds(r, s.Format, "INT ", rules);
  if (!(intro > 0)) intro = GetTimerSeconds(r, s.Format, std::string_view("INT\0", 4), rules);
  double segue = RoundHalfEven(GetTimerSeconds(r, s.Format, "SEGs", rules));
  if (segue == 0) segue = GetTimerSeconds(r, s.Format, "SEG ", rules);
  if (intro + segue < 0) return;
  static constexpr const char* kIds[] = {"INT ", "AUDs", "AUDe", "SEGs", "SEGe"};
  for (int i = 0; i < 5; ++i) {
    SetFixedText(r.PostTimers[i].Id, kIds[i]);
    r.PostTimers[i].Value = 0;
  }
  const std::string length = AudioLengthText(static_cast<uint32_t>(s.Layout.AudioBytes), s.Format, false);
  SetTimer(r, s.Format, "INT ", NumberText(RoundHalfEven(intro)), false);
  SetTimer(r, s.Format, "AUDs", "0", false);
  SetTimer(r, s.Format, "AUDe", length, false);
  SetTimer(r, s.Format, "SEGs", NumberText(segue), false);
  SetTimer(r, s.Format, "SEGe", length, false);
  s.File.TimersRebuilt = true;
}

std::string WithoutLeadingZero(std::string t) {
  if (!t.empty() && t.front() == '0') t.erase(0, 1);
  return t;
}

// A Rivendell cart chunk into a cart target: the timing notation from the timers.
void RivendellUserDef(JobContext& ctx) {
  auto& s = ctx.session;
  auto& r = s.Cart;
  const auto rules = CurrentTimerRules(ctx);
  const int32_t intro = RoundHalfEven(GetTimerSeconds(r, s.Format, "INT ", rules));
  int32_t segue = RoundHalfEven(GetTimerSeconds(r, s.Format, "SEGs", rules));
  if (segue == 0) segue = RoundHalfEven(GetTimerSeconds(r, s.Format, "SEG ", rules));
  const std::string i = WithoutLeadingZero(FormatMinSec(intro, false));
  const std::string sg = WithoutLeadingZero(FormatMinSec(segue, false));
  const std::string l =
      WithoutLeadingZero(AudioLengthText(static_cast<uint32_t>(s.Layout.AudioBytes), s.Format, false));
  SetFixedTextNulPadded(r.UserDef, i + "/" + sg + (sg != l ? "/F" : "/C"));
  const std::string client = std::string(r.ClientID.view().substr(0, 4));
  if (ReadNumberPrefix(client) != 0) SetFixedTextNulPadded(r.UserDef, CleanText(r.UserDef) + "/" + client);
}

// The cart targets take an empty artist and title from the LIST/INFO values.
void FillFromListInfo(JobContext& ctx) {
  auto& s = ctx.session;
  if (CleanText(s.Cart.Artist).empty()) SetFixedTextNulPadded(s.Cart.Artist, s.ListInfo.Get("IART"));
  if (CleanText(s.Cart.Title).empty()) SetFixedTextNulPadded(s.Cart.Title, s.ListInfo.Get("TTTL"));
  // Standard INFO lists keep the title in INAM; without a TTTL entry that is the title.
  if (CleanText(s.Cart.Title).empty()) SetFixedTextNulPadded(s.Cart.Title, CleanText(s.ListInfo.Get("INAM")));
  if (ctx.settings.AudioVault11Mode) s.Cart.ClientID = s.Cart.Artist;
  if (ctx.settings.LevelActive) s.Cart.LevelReference = ctx.settings.Level;
}

void CloseUserDefWithCold(CartRecord& r) {
  const std::string u = CleanText(r.UserDef);
  if (!u.empty() && u.back() == '/') SetFixedTextNulPadded(r.UserDef, u + "C");
}

// MediaTouch keeps only the intro and segue timers, the segue under the id "SEG ".
void MediaTouchTimers(CartRecord& r) {
  for (auto& t : r.PostTimers) {
    const std::string id(t.Id.view());
    if (id == "SEGs") {
      SetFixedText(t.Id, "SEG ");
    } else if (id != "INT ") {
      SetFixedText(t.Id, "    ");
      t.Value = 0;
    }
  }
}

// The target's chunks, chosen by its code; may adjust the record first.
TargetChunks PrepareTarget(JobContext& ctx) {
  auto& s = ctx.session;
  auto& r = s.Cart;
  const FormatCode to = ctx.settings.ToCode;
  TargetChunks chunks;
  if (to == code::kWavPcm) return chunks;  // no metadata chunk
  switch (to) {
    case code::kCartChunk:
    case code::kPlayItLive:
      FillFromListInfo(ctx);
      break;
    case code::kStationPlaylist:
    case code::kBsiSimian:
      CloseUserDefWithCold(r);
      break;
    case code::kMediaTouch:
      MediaTouchTimers(r);
      break;
    default:
      break;
  }
  if (ctx.settings.FromCode == code::kMp3) MarkMp3Producer(r);
  chunks.before = RenderCartChunk(r);
  if (to == code::kPlayItLive) {
    chunks.after = BuildListInfoPlayItLive(r, s.ListInfo, CurrentListInfoInputs(ctx));
  } else if (to == code::kBsiSimian) {
    chunks.after = BuildListInfoGeneral(r, s.ListInfo, CurrentListInfoInputs(ctx));
  }
  return chunks;
}

}  // namespace

int16_t AssembleDestination(JobContext& ctx, const fs::path& source, fs::path& destination) {
  auto& s = ctx.session;
  const FormatCode from = ctx.settings.FromCode;
  const FormatCode to = ctx.settings.ToCode;
  if (!TargetWritersAvailable(to)) {
    throw ProcessError(errnum::kFormatNotAvailable,
                       "Writing \"" + ctx.settings.ToText + "\" files is not available in this version.");
  }

  if (from == code::kMaestro) {
    // Where a .daf file's audio starts and how it is coded is not known well enough to copy it.
    throw ProcessError(errnum::kFormatNotAvailable,
                       "Converting \"" + ctx.settings.FromText +
                           "\" audio into WAV files is not available in this version.");
  }

  // A Storq/Air Force source gets its record completed for the destination.
  if (from == code::kWavPcm && s.Flags.AirForceFound) FillAirRecordForDestination(ctx);

  // From here on a problem fails the file, as a failed write does.
  const auto fail = [&](const std::string& why) -> int16_t {
    s.FileDiagnostics.push_back({"write-failed", "", 0, why});
    if (!ctx.settings.ErrorStopsOff) {
      ctx.ui.ShowMessage("Copying Source to Dest", "Likely Error in Source file " + source.string(),
                         MessageIcon::Critical, MessageButtons::Ok);
    }
    return 0;
  };

  TargetChunks chunks;
  try {
    if (from == code::kMyriad || from == code::kMediaTouch) RebuildTimers(ctx);
    if (IsRivendellProducer(s.Cart) && from == code::kWavPcm && to == code::kCartChunk) RivendellUserDef(ctx);
    PrepareCartForWrite(s.Cart);
    chunks = PrepareTarget(ctx);
  } catch (const std::exception& e) {
    return fail(e.what());
  }

  // The copy reports every block; the window gets a turn at most every 50 ms.
  auto lastYield = std::chrono::steady_clock::now();
  const CopyProgress progress = [&](uint64_t done, uint64_t total) {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastYield < std::chrono::milliseconds(50) && done < total) return;
    lastYield = now;
    ctx.ui.SetFileProgress(total ? static_cast<int>(done * 100 / total) : 100, 100);
    ctx.ui.YieldToUi();
  };
  const WriteResult written = WriteDestinationWav(source, destination, s.Format, s.Layout, chunks, progress);
  return written.ok ? -1 : fail(written.error);
}

}  // namespace airfoldex
