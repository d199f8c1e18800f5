#include "engine/acquisition.h"

#include "engine/paths.h"
#include "riff/wav.h"

namespace airfoldex {

bool SourceReadersAvailable(FormatCode fromCode) {
  switch (fromCode) {
    case code::kMp3:          // ID3 tags and decoding
    case code::kMaestro:      // the .daf header
    case code::kCsvMetadata:  // the CSV metadata file
    case code::kWavWithId3:   // the id3 chunk
      return false;
    default:
      return true;
  }
}

void AcquireLate(JobContext& ctx) {
  throw ProcessError(errnum::kFormatNotAvailable,
                     "Reading \"" + ctx.settings.FromText + "\" sources is not available in this version.");
}

namespace {

void FailUnidentified(JobContext& ctx) {
  if (!ctx.settings.ErrorStopsOff) {
    ctx.ui.ShowMessage("WARNING!", "Can't identify WAV file.", MessageIcon::Critical, MessageButtons::Ok);
  }
  ctx.session.File.FileResult = false;
  ctx.session.File.FileResultSet = true;
}

}  // namespace

void AcquireSource(JobContext& ctx) {
  auto& s = ctx.session;
  const std::string x = ToLowerAscii(s.File.SourcePath.string());
  const bool isWav =
      EndsWithNoCase(x, "wav") || (ctx.settings.FromCode == code::kCsvMetadata && EndsWithNoCase(x, "mts"));

  bool readersMissing = false;
  ctx.Guard(5, [&] {
    if (!SourceReadersAvailable(ctx.settings.FromCode)) {
      readersMissing = true;
      throw ProcessError(errnum::kFormatNotAvailable, "Reading \"" + ctx.settings.FromText +
                                                          "\" sources is not available in this version.");
    }
  });
  if (readersMissing) {
    s.File.FileResult = false;
    s.File.FileResultSet = true;
    return;
  }

  if (!isWav) {
    FailUnidentified(ctx);
    return;
  }

  bool identified = false;
  ctx.Guard(6, [&] { identified = IdentifyWav(s.File.SourcePath, s.Format, s.Layout, &s.FileDiagnostics); });
  if (!identified) {
    FailUnidentified(ctx);
    return;
  }
  s.Flags.WavIdentified = true;
  s.Flags.AirForceFound = s.Layout.PrefixOffset != 0;
  // The chunk readers (cart, scot, LIST/INFO, DISP, APE, av10 ...) and the stores of the source
  // systems (ENCO, XMLDAT, mediaItem, rdxl, file names, CSV rows) run here, in chain order, as
  // they become part of the program. A reader that is not present finds nothing.
}

}  // namespace airfoldex
