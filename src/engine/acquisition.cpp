#include "engine/acquisition.h"

#include <optional>

#include "engine/daf_header.h"
#include "engine/paths.h"
#include "model/text_codec.h"
#include "model/time_text.h"
#include "riff/cart.h"
#include "riff/default_cart.h"
#include "riff/disp.h"
#include "riff/list_info.h"
#include "riff/wav.h"

namespace airfoldex {

bool SourceReadersAvailable(FormatCode fromCode) {
  switch (fromCode) {
    case code::kMp3:          // ID3 tags and decoding
    case code::kCsvMetadata:  // the CSV metadata file
      return false;
    default:
      return true;
  }
}

namespace {
bool ReadId3Chunk(JobContext&) { return false; }  // the id3 chunk reader arrives with its format
}  // namespace

void AcquireLate(JobContext& ctx) {
  auto& s = ctx.session;
  if (ctx.settings.FromCode != code::kWavWithId3) {
    throw ProcessError(errnum::kFormatNotAvailable,
                       "Reading \"" + ctx.settings.FromText + "\" sources is not available in this version.");
  }
  if (!s.Flags.ListFound && ReadId3Chunk(ctx)) {
    s.Log.LogEnding = s.ListInfo.Get("TEND");
    s.Log.LogIntro = s.ListInfo.Get("ISRF");
    s.Log.LogSegue = s.ListInfo.Get("IMED");
  }
  ctx.ui.YieldToUi();
  BuildDefaultRecord(ctx, true);
  SetFixedTextNulPadded(s.Cart.Artist, s.ListInfo.Get("IART"));
  SetFixedTextNulPadded(s.Cart.Title, s.ListInfo.Get("TTTL"));
  const std::string dest = s.File.DestinationPath.filename().string();
  SetFixedTextNulPadded(s.Cart.CutID, Utf8ToCp1252(dest.size() > 4 ? dest.substr(0, dest.size() - 4) : ""));
  SetFixedText(s.Cart.Category, s.ListInfo.Get("ICMT"));
}

TimerReadRules CurrentTimerRules(const JobContext& ctx) {
  return TimerReadRules{ctx.settings.FromCode == code::kMyriad && !ctx.session.File.TimersRebuilt};
}

ListInfoRecordInputs CurrentListInfoInputs(const JobContext& ctx) {
  ListInfoRecordInputs in;
  in.format = ctx.session.Format;
  in.dataSize = static_cast<uint32_t>(std::min<uint64_t>(ctx.session.Layout.AudioBytes, UINT32_MAX));
  in.fileName = ctx.session.File.FileName;
  in.timerRules = CurrentTimerRules(ctx);
  in.fromCode = ctx.settings.FromCode;
  return in;
}

bool BuildDefaultRecord(JobContext& ctx, bool id3Form) {
  auto& s = ctx.session;
  DefaultCartInputs in;
  in.Format = s.Format;
  in.DataSize = s.Layout.AudioBytes;
  in.FromCode = ctx.settings.FromCode;
  in.TimerRules = CurrentTimerRules(ctx);
  in.ListFound = s.Flags.ListFound;
  in.ScotFound = s.Flags.ScotFound;
  in.Isrf = s.ListInfo.Get("ISRF");
  in.Imed = s.ListInfo.Get("IMED");
  const DefaultCartResult result = BuildDefaultCart(s.Cart, in, id3Form);
  if (ctx.settings.FromCode == code::kMaestro) {
    s.Maestro = {result.MaestroIntro, result.MaestroSegue, result.MaestroLength};
  }
  return result.Ok;
}

namespace {

void FailFile(JobContext& ctx) {
  ctx.session.File.FileResult = false;
  ctx.session.File.FileResultSet = true;
}

void FailUnidentified(JobContext& ctx) {
  if (!ctx.settings.ErrorStopsOff) {
    ctx.ui.ShowMessage("WARNING!", "Can't identify WAV file.", MessageIcon::Critical, MessageButtons::Ok);
  }
  FailFile(ctx);
}

// The APE values into the record: artist, title, timers in whole seconds, and the timing notation.
void ApplyApe(JobContext& ctx) {
  auto& s = ctx.session;
  auto& r = s.Cart;
  SetFixedTextNulPadded(r.Artist, s.Ape.Artist);
  SetFixedTextNulPadded(r.Title, s.Ape.Title);
  const auto seconds = [](const std::string& ms) {
    return NumberText(RoundHalfEven(ReadNumberPrefix(ms) / 1000));
  };
  SetTimer(r, s.Format, "AUDe", seconds(s.Ape.Duration), false);
  SetTimer(r, s.Format, "SEGe", seconds(s.Ape.Duration), false);
  SetTimer(r, s.Format, "SEGs", seconds(s.Ape.Segue), false);
  SetTimer(r, s.Format, "INT ", seconds(s.Ape.Intro), false);
  const auto rules = CurrentTimerRules(ctx);
  const double intro = GetTimerSeconds(r, s.Format, "INT ", rules);
  double segue = GetTimerSeconds(r, s.Format, "SEGs", rules);
  if (segue == 0) segue = GetTimerSeconds(r, s.Format, "AUDe", rules);
  SetFixedTextNulPadded(r.UserDef, FormatMinSec(RoundHalfEven(intro), true) + "/" +
                                       FormatMinSec(RoundHalfEven(segue), false) + "/C");
  s.File.RecordBuilt = true;
}

// The texts of a cart chunk as read, laid over a record built by other rules: over the default
// record where the chunk holds a text, over a LIST/INFO record only where that record has none.
void KeepReadTexts(const CartRecord& read, CartRecord& record, bool onlyWhereEmpty = false) {
  const auto keep = [onlyWhereEmpty](const auto& from, auto& to) {
    if (!CleanText(from).empty() && (!onlyWhereEmpty || CleanText(to).empty())) to = from;
  };
  keep(read.Title, record.Title);
  keep(read.Artist, record.Artist);
  keep(read.CutID, record.CutID);
  keep(read.ClientID, record.ClientID);
  keep(read.Category, record.Category);
  keep(read.Classification, record.Classification);
  keep(read.OutCue, record.OutCue);
  keep(read.StartDate, record.StartDate);
  keep(read.StartTime, record.StartTime);
  keep(read.EndDate, record.EndDate);
  keep(read.EndTime, record.EndTime);
  keep(read.URL, record.URL);
  if (record.LevelReference == 0) record.LevelReference = read.LevelReference;
}

// The readers below belong to formats that are not part of this build yet. Each finds nothing,
// which is what the chain does when a file does not carry that format.
bool FindAirTrailer(JobContext&) { return false; }
void ApplyAirRecord(JobContext&) {}
bool ReadApeTag(JobContext&) { return false; }
bool FindScot(JobContext&) { return false; }
void ApplyScotToCart(JobContext&) {}
void LoadPilCsv(JobContext&) {}
bool ReadAv10(JobContext&) { return false; }
void ReadSourceFileName(JobContext&) {}
void BuildScot(JobContext&) {}
void ApplySourceStore(JobContext&) {}  // ENCO, XMLDAT, av10 values, rdxl, mediaItem, packed names

}  // namespace

void AcquireSource(JobContext& ctx) {
  auto& s = ctx.session;
  const auto& settings = ctx.settings;
  const FormatCode from = settings.FromCode;
  const FormatCode to = settings.ToCode;
  const std::string x = ToLowerAscii(s.File.SourcePath.string());
  const auto yield = [&ctx] { ctx.ui.YieldToUi(); };

  bool readersMissing = false;
  ctx.Guard(5, [&] {
    if (!SourceReadersAvailable(from)) {
      readersMissing = true;
      throw ProcessError(errnum::kFormatNotAvailable,
                         "Reading \"" + settings.FromText + "\" sources is not available in this version.");
    }
  });
  if (readersMissing) return FailFile(ctx);

  // The cart chunk as read, kept so that records rebuilt from LIST/INFO or from defaults keep the
  // texts it carried.
  std::optional<CartRecord> cartAsRead;

  // Step 5: the kind of file.
  const bool isWav = EndsWithNoCase(x, "wav") || (from == code::kCsvMetadata && EndsWithNoCase(x, "mts"));
  if (isWav) {
    // Step 6: identification and the cart chunk; a file without one gets the default record.
    bool identified = false;
    ctx.Guard(6,
              [&] { identified = IdentifyWav(s.File.SourcePath, s.Format, s.Layout, &s.FileDiagnostics); });
    if (!identified) return FailUnidentified(ctx);
    s.Flags.WavIdentified = true;
    s.Flags.AirForceFound = s.Layout.PrefixOffset != 0;
    ctx.Guard(6, [&] {
      s.Flags.CartFound = FindCartAtStart(s.File.SourcePath, s.Cart, &s.FileDiagnostics) ||
                          FindCartAtEnd(s.File.SourcePath, s.Cart, from, yield, &s.FileDiagnostics);
    });
    if (CleanText(s.Cart.ChunkId) == "cart") cartAsRead = s.Cart;
    if (!s.Flags.CartFound) {
      // A cart chunk without intro and segue timers counts as absent, so the default record gives
      // the file its timers and timing notation; the texts that chunk did carry are kept.
      ctx.Guard(6, [&] { BuildDefaultRecord(ctx, false); });
      if (cartAsRead) KeepReadTexts(*cartAsRead, s.Cart);
    }
  } else if (EndsWithNoCase(x, "mp3")) {
    // MP3 sources read their tags inside the conversion step.
  } else if (EndsWithNoCase(x, "daf")) {
    ctx.Guard(5, [&] { ReadDafHeader(ctx, s.File.SourcePath); });
  } else {
    return FailUnidentified(ctx);
  }

  // Storq/Air Force, for every file that came this far.
  ctx.Guard(6, [&] {
    if ((s.Flags.AirForceFound && to != code::kBsiSimian) || FindAirTrailer(ctx)) ApplyAirRecord(ctx);
  });

  // Rebuilding the record from LIST/INFO starts from a blank record; what a cart chunk said
  // stays where LIST/INFO says nothing.
  const auto keepCartTexts = [&] {
    if (!cartAsRead) return;
    KeepReadTexts(*cartAsRead, s.Cart, /*onlyWhereEmpty=*/true);
    // The file name stands in for a missing TREF; a cut number from the cart chunk is better.
    if (CleanText(s.ListInfo.Get("TREF")).empty() && !CleanText(cartAsRead->CutID).empty()) {
      s.Cart.CutID = cartAsRead->CutID;
    }
  };
  const auto rebuildFromListInfo = [&] {
    BuildCartFromListInfo(s.Cart, s.ListInfo, s.Disp, CurrentListInfoInputs(ctx), s.Log);
    keepCartTexts();
  };

  if (s.Flags.WavIdentified) {
    if (settings.PilCsvMode) ctx.Guard(6, [&] { LoadPilCsv(ctx); });
    ctx.Guard(6, [&] { s.Flags.ApeFound = ReadApeTag(ctx); });

    // Step 7: scot; its values fill a record that no cart chunk gave.
    ctx.Guard(7, [&] {
      s.Flags.ScotFound = FindScot(ctx);
      if (s.Flags.ScotFound && !s.Flags.CartFound) ApplyScotToCart(ctx);
    });

    // Steps 8 to 83: LIST/INFO near the start, else near the end, each with its DISP chunk.
    bool listAtStart = false;
    ctx.Guard(8, [&] {
      listAtStart = ReadListInfoAtStart(s.File.SourcePath, s.ListInfo, s.Log, yield, &s.FileDiagnostics);
    });
    if (listAtStart) {
      ctx.Guard(81, [&] {
        s.Flags.ListFound = true;
        s.Flags.DispFound = ReadDispAtStart(s.File.SourcePath, s.Disp, &s.FileDiagnostics);
      });
    } else {
      bool listAtEnd = false;
      ctx.Guard(82,
                [&] { listAtEnd = ReadListInfoAtEnd(s.File.SourcePath, s.ListInfo, &s.FileDiagnostics); });
      if (listAtEnd) {
        ctx.Guard(83, [&] {
          s.Flags.ListFound = true;
          s.Flags.DispFound = ReadDispAtEnd(s.File.SourcePath, s.Disp, s.ListInfo, &s.FileDiagnostics);
        });
      }
    }
    if (s.Flags.ListFound && to == code::kBsiSimian) ctx.Guard(83, rebuildFromListInfo);

    // The APE merge: an APE tag wins over the record, with LIST/INFO, DISP and cart texts filling
    // its gaps; a plain WAV source with LIST/INFO but no APE tag becomes a record for cart and
    // scot targets.
    ctx.Guard(83, [&] {
      auto& ape = s.Ape;
      if (s.Flags.ApeFound && s.Flags.ListFound) {
        if (CleanText(ape.Artist).empty()) ape.Artist = CleanText(s.ListInfo.Get("IART"));
        if (CleanText(ape.Title).empty()) ape.Title = CleanText(s.Disp.DispText);
        ApplyApe(ctx);
      } else if (!s.Flags.ApeFound) {
        if (from == code::kWavPcm && s.Flags.ListFound &&
            (to == code::kCartChunk || to == code::kWideOrbitScott)) {
          rebuildFromListInfo();
          if (to == code::kWideOrbitScott) BuildScot(ctx);
          s.File.RecordBuilt = true;
        }
      } else {
        if (s.Flags.CartFound) {
          if (CleanText(ape.Artist).empty()) ape.Artist = CleanText(s.Cart.Artist);
          if (CleanText(ape.Title).empty()) ape.Title = CleanText(s.Cart.Title);
        }
        ApplyApe(ctx);
      }
    });

    // Step 9: the av10 chunk.
    if (from == code::kAudioVault) ctx.Guard(9, [&] { s.Flags.Av10Found = ReadAv10(ctx); });
  }

  // Step 10: metadata from the source file name.
  if (settings.GetDataFromFileName) {
    ctx.Guard(10, [&] {
      if (s.Flags.WavIdentified && !s.Flags.CartFound) {
        BuildDefaultRecord(ctx, false);
        if (cartAsRead) KeepReadTexts(*cartAsRead, s.Cart);
      }
      ReadSourceFileName(ctx);
    });
  }

  // Steps 11 to 15: the source system's own store.
  if (from == code::kBsiSimian && s.Flags.ListFound) {
    ctx.Guard(14, [&] {
      // The rules look at the cart chunk's artist and title, not at the record rebuilt above.
      if (s.Flags.CartFound && cartAsRead) {
        s.Cart.Artist = cartAsRead->Artist;
        s.Cart.Title = cartAsRead->Title;
      }
      ApplySimianListRules(s.Cart, s.ListInfo, s.Disp, s.Flags.CartFound, s.Flags.DispFound,
                           CurrentListInfoInputs(ctx), s.Log);
      keepCartTexts();
    });
  }
  ctx.Guard(15, [&] { ApplySourceStore(ctx); });
}

}  // namespace airfoldex
