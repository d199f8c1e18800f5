#pragma once

// The record a source gets when it carries no cart chunk (or before a reader applies values of
// its own): the chunk's fixed defaults, the audio length, post timers for intro, audio start and
// end and segue, and the timing notation in UserDef.

#include <cstdint>
#include <string>

#include "model/cart_record.h"
#include "model/format_code.h"
#include "model/time_text.h"
#include "model/wave_format.h"

namespace airfoldex {

// What other readers left for the current file that the default record takes into account.
struct DefaultCartInputs {
  WaveFormat Format;
  uint64_t DataSize = 0;  // audio bytes
  FormatCode FromCode = code::kNone;
  TimerReadRules TimerRules;
  bool ListFound = false;      // a LIST/INFO chunk was read
  bool ScotFound = false;      // a scot chunk was read
  std::string Isrf;            // LIST/INFO intro, milliseconds
  std::string Imed;            // LIST/INFO segue, milliseconds
  std::string Id3Intro;        // ID3 intro, milliseconds
  std::string Id3Segue;        // ID3 segue, milliseconds
  std::string Id3Ending;       // ID3 ending value
  std::string Id3Year;         // ID3 year value
  double DafIntroSeconds = 0;  // the intro of a Maestro .daf header
};

struct DefaultCartResult {
  bool Ok = false;
  std::string Ending;  // "C" or "F": the ending value after the build
  // The intro, segue and length texts of a Maestro source, for its log line.
  std::string MaestroIntro, MaestroSegue, MaestroLength;
};

// Builds the default record into `record`. The ID3 form brings in the ending and the year of the
// ID3 values. An arithmetic problem ends the build (Ok false) with the fields set so far kept.
DefaultCartResult BuildDefaultCart(CartRecord& record, const DefaultCartInputs& in, bool id3Form);

}  // namespace airfoldex
