#include "engine/results_log.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>

#include "engine/catalogue.h"
#include "engine/paths.h"
#include "model/text_codec.h"
#include "model/time_text.h"

namespace airfoldex {

namespace fs = std::filesystem;

void JobContext::ReportProcessError(int number, std::string_view description) {
  if (number == errnum::kFormatNotAvailable) {
    if (!formatReportsShown.insert(std::string(description)).second) return;
  } else if (settings.ErrorStopsOff) {
    return;
  }
  ui.ShowMessage("Airfoldex-Process Error",
                 "Error Line:" + std::to_string(step) + " Err#" + std::to_string(number) + " " +
                     std::string(description),
                 MessageIcon::Critical, MessageButtons::Ok);
}

bool AppendLogLine(const fs::path& logPath, std::string_view text, UserInterface& ui) {
  const std::string line = CleanText(text) + "\r\n";
  errno = 0;
  std::ofstream out(logPath, std::ios::binary | std::ios::app);
  if (out) out.write(line.data(), static_cast<std::streamsize>(line.size()));
  if (out) out.close();
  if (out) return true;
  const std::string reason = errno != 0 ? std::strerror(errno) : "cannot write the file";
  ui.ShowMessage(
      "Airfoldex-Write Log Problem",
      "Error:" + std::to_string(errnum::kPathFileAccess) + " Path/File access error (" + reason + ")",
      MessageIcon::Critical, MessageButtons::Ok);
  return false;
}

namespace {

bool Contains(std::string_view text, char c) { return text.find(c) != std::string_view::npos; }

TimerReadRules ReadRules(const JobContext& ctx) {
  return TimerReadRules{ctx.settings.FromCode == code::kMyriad && !ctx.session.File.TimersRebuilt};
}

// Intro, segue and length from the post timers, in seconds as decimal text.
void TimesFromTimers(JobContext& ctx) {
  auto& s = ctx.session;
  const auto rules = ReadRules(ctx);
  s.Log.LogIntro = NumberText(GetTimerSeconds(s.Cart, s.Format, "INT ", rules));
  const double segue = GetTimerSeconds(s.Cart, s.Format, "SEGs", rules);
  s.Log.LogSegue = segue < 0 ? "0" : NumberText(segue);
  const double length = GetTimerSeconds(s.Cart, s.Format, "AUDe", rules);
  s.Log.LogLength = NumberText(length);
  if (length == 0) {
    const std::string text = AudioLengthText(static_cast<uint32_t>(s.Layout.AudioBytes), s.Format, false);
    const auto colon = text.find(':');
    if (colon != std::string::npos) {
      const double minutes = ReadNumberPrefix(std::string_view(text).substr(0, colon));
      const double seconds = ReadNumberPrefix(std::string_view(text).substr(colon + 1));
      s.Log.LogLength = NumberText(minutes * 60 + seconds);
    }
  }
}

std::string DropLeadingZero(std::string text) {
  if (!text.empty() && text.front() == '0') text.erase(0, 1);
  return text;
}

// A log value as minutes and seconds; absurd values are held at the 32-bit limits rather than
// costing the file its log line.
std::string FormattedTime(std::string_view value, bool introStyle) {
  constexpr double kLimit = std::numeric_limits<int32_t>::max();
  const double seconds = std::clamp(ReadNumberPrefix(value), -kLimit, kLimit);
  return FormatMinSec(RoundHalfEven(seconds), introStyle);
}

std::string WithoutCommas(std::string text) { return ReplaceAll(std::move(text), ",", ""); }

}  // namespace

void SetLogEndingAfterConversion(Session& session) {
  session.Log.LogEnding = Contains(session.Cart.UserDef.view(), 'C') ? "C" : "F";
}

void ComputeLogValues(JobContext& ctx) {
  auto& s = ctx.session;
  if (s.Flags.CartFound || s.File.RecordBuilt) {
    if (ctx.settings.FromCode == code::kMaestro) {
      const auto& intro = s.Maestro.Intro;
      s.Log.LogIntro = intro.size() > 3 ? intro.substr(intro.size() - 3) : intro;
      s.Log.LogSegue = DropLeadingZero(s.Maestro.Segue);
      s.Log.LogLength = DropLeadingZero(s.Maestro.Length);
    } else {
      TimesFromTimers(ctx);
    }
    // Some systems keep two characters before the timing notation ("xx:05/3:00/C").
    const auto userDef = s.Cart.UserDef.view();
    if (userDef[2] == ':') SetFixedTextNulPadded(s.Cart.UserDef, std::string(userDef.substr(2)));
    s.Log.LogEnding = Contains(s.Cart.UserDef.view(), 'C') ? "C" : "F";
  } else if (ctx.settings.FromCode == code::kWavPcm && s.Flags.AirForceFound) {
    TimesFromTimers(ctx);
    s.Log.LogEnding = Contains(s.Cart.UserDef.view(), 'F') ? "F" : "C";
  }
}

std::string BuildOutcomeLine(JobContext& ctx, bool success) {
  auto& s = ctx.session;
  const auto& settings = ctx.settings;

  if (CleanText(s.Cart.CutID).empty()) {
    const std::string& name = s.File.FileName;
    const std::string stem = name.size() > 4 ? name.substr(0, name.size() - 4) : std::string();
    SetFixedTextNulPadded(s.Cart.CutID, Utf8ToCp1252(stem));
  }
  if (settings.LogFailuresOnly) return {};

  if (success && settings.FromCode != code::kMaestro) {
    std::string dest = ReplaceAll(s.File.DestinationPath.string(), ".mp3", ".wav");
    s.File.DestinationPath = ReplaceAll(std::move(dest), ".MP3", ".wav");
  }

  const std::string destName = s.File.DestinationPath.filename().string();
  const std::string srcName = s.File.SourcePath.filename().string();
  const std::string cutId = Cp1252ToUtf8(CleanText(s.Cart.CutID));
  const std::string title = Cp1252ToUtf8(WithoutCommas(CleanText(s.Cart.Title)));
  const std::string artist = Cp1252ToUtf8(WithoutCommas(CleanText(s.Cart.Artist)));
  const std::string userDef = Cp1252ToUtf8(CleanText(s.Cart.UserDef));

  // Some systems' logs carry the times as the readers left them rather than as minutes and seconds.
  const bool rawTimes =
      success && (settings.FromCode == code::kBsiSimian || settings.FromCode == code::kWideOrbitScott ||
                  (settings.FromCode == code::kPlayItLive && settings.ToCode == code::kNextGenZetta));
  std::string intro, segue, length;
  if (rawTimes) {
    intro = s.Log.LogIntro;
    segue = s.Log.LogSegue;
    length = s.Log.LogLength;
  } else {
    intro = FormattedTime(s.Log.LogIntro, true);
    segue = FormattedTime(s.Log.LogSegue, false);
    length = FormattedTime(s.Log.LogLength, false);
  }

  return std::string(success ? "SUCCESS," : "FAILED,") + destName + "," + srcName + "," + cutId + "," +
         title + "," + artist + "," + userDef + "," + intro + "," + segue + "," + length + "," +
         s.Log.LogEnding + "," + GeneralDateText(ctx.clock.Now());
}

bool LogOutcome(JobContext& ctx, bool success) {
  const std::string line = BuildOutcomeLine(ctx, success);
  return line.empty() || AppendLogLine(UserPath(ctx.settings.LogPath), line, ctx.ui);
}

bool CopyToFailedFolder(const fs::path& sourceFolder, std::string_view fileName) {
  std::error_code ec;
  const fs::path failed = sourceFolder / "FAILED";
  fs::create_directory(failed, ec);
  ec.clear();
  fs::copy_file(sourceFolder / fileName, failed / fileName, fs::copy_options::overwrite_existing, ec);
  return !ec;
}

void RemoveEmptyFailedFolder(const fs::path& sourceFolder) {
  std::error_code ec;
  const fs::path failed = sourceFolder / "FAILED";
  if (fs::is_directory(failed, ec) && fs::is_empty(failed, ec)) fs::remove(failed, ec);
}

std::string GeneralDateText(const LocalDateTime& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d/%d/%04d", t.month, t.day, t.year);
  std::string out = buf;
  if (t.hour == 0 && t.minute == 0 && t.second == 0) return out;
  const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
  std::snprintf(buf, sizeof buf, " %d:%02d:%02d %s", hour12, t.minute, t.second, t.hour < 12 ? "AM" : "PM");
  return out + buf;
}

}  // namespace airfoldex
