#pragma once

// The records that live for a whole run and that every step of a file reads and writes. The job
// passes one Session explicitly; nothing of it is global. Lifetimes:
// - Cart, Flags and File are blanked at the top of every file.
// - Log values are cleared at the top of every file too, so no file logs another file's timings.
// - The LIST/INFO values and the DISP record are blanked by their readers and, besides, at the top
//   of every file, so a file that is not read as a WAV never writes another file's values.
// - Format and Layout are overwritten by the identification of each WAV source.

#include <filesystem>
#include <string>

#include "model/cart_record.h"
#include "model/log_values.h"
#include "model/wave_format.h"
#include "riff/disp.h"
#include "riff/list_info.h"
#include "riff/wav.h"

namespace airfoldex {

// What the readers found in the current file.
struct PresenceFlags {
  bool WavIdentified = false;
  bool CartFound = false;
  bool ScotFound = false;
  bool ListFound = false;
  bool DispFound = false;
  bool ApeFound = false;
  bool Av10Found = false;
  bool XmldatRead = false;
  bool AirForceFound = false;  // the file starts with an AIR7, AIR1 or LIST chunk
};

// The values of a source's APE tag: texts, the times in milliseconds.
struct ApeValues {
  std::string Duration, Artist, Title, Intro, Segue;
};

// The intro, segue and length texts that the default record of a Maestro source prepares for the log.
struct MaestroLogTexts {
  std::string Intro;
  std::string Segue;
  std::string Length;
};

// The state of the file being converted.
struct FileState {
  std::string FileName;  // as listed, without folder (UTF-8)
  std::filesystem::path SourcePath;
  std::filesystem::path DestinationPath;
  std::string BaseKey;  // file name upper-cased with every ".WAV" removed
  bool FileResult = false;
  bool FileResultSet = false;
  bool RecordBuilt = false;
  bool CopyToFailed = false;
  bool CsvRecordMissing = false;
  bool TimersRebuilt = false;  // the destination assembly rebuilt the post timers
};

struct Session {
  CartRecord Cart;
  PresenceFlags Flags;
  FileState File;
  WaveFormat Format;
  WavLayout Layout;
  LogValues Log;
  ListInfoValues ListInfo;
  DispRecord Disp;
  ApeValues Ape;
  MaestroLogTexts Maestro;
  Diagnostics FileDiagnostics;  // what the readers of the current file skipped or repaired

  // Blanks what belongs to one file.
  void BeginFile() {
    ResetCartRecord(Cart);
    Flags = PresenceFlags{};
    File = FileState{};
    Log = LogValues{};
    ListInfo.Clear();
    Disp = DispRecord{};
    Ape = ApeValues{};
    Maestro = MaestroLogTexts{};
    FileDiagnostics.clear();
  }
};

}  // namespace airfoldex
