#include "riff/default_cart.h"

#include <cmath>

#include "model/ascii_text.h"
#include "model/errors.h"

namespace airfoldex {

namespace {

// The number as decimal text, at least two digits ("7" -> "07"); 100 and more in full.
std::string TwoDigit(int64_t n) {
  std::string t = std::to_string(n);
  return t.size() >= 2 ? t : std::string(2 - t.size(), '0') + t;
}

// "mm:ss" of a number of seconds, the seconds raised to the next whole second.
std::string MinSecText(double seconds, int64_t* minutesOut = nullptr, int64_t* secondsOut = nullptr) {
  const auto m = static_cast<int64_t>(RoundDown(seconds / 60));
  const auto s = static_cast<int64_t>(RoundUp(seconds - 60.0 * static_cast<double>(m)));
  if (minutesOut) *minutesOut = m;
  if (secondsOut) *secondsOut = s;
  return TwoDigit(m) + ":" + TwoDigit(s);
}

// "03:25" -> "3:25".
std::string ShortenLength(std::string l) {
  if (l.size() == 5 && l[0] == '0' && l[2] == ':') l.erase(0, 1);
  return l;
}

// Seconds as an intro text: ":07", ":15", or the text itself when longer.
std::string IntroSecondsText(const std::string& t) {
  if (t.size() == 2) return ":" + t;
  if (t.size() == 1) return ":0" + t;
  return t;
}

// Byte rate of the audio as the length calculation sees it. Compressed formats (MPEG Layer II
// broadcast WAVs carry 0xFFFF bits per sample) go by their average byte rate instead.
double BytesPerSecond(const WaveFormat& f) {
  const bool linear = f.FormatTag == 1 || f.FormatTag == 3 || f.FormatTag == 0xFFFE;
  if (linear) return static_cast<double>(f.Channels) * f.SamplesPerSec * f.BitsPerSample / 8.0;
  return f.AvgBytesPerSec;
}

}  // namespace

DefaultCartResult BuildDefaultCart(CartRecord& record, const DefaultCartInputs& in, bool id3Form) {
  DefaultCartResult result;
  try {
    ResetCartRecord(record);
    SetFixedText(record.ChunkId, "cart");
    record.ChunkSize = 2050;
    SetFixedText(record.Version, "0101");
    SetFixedText(record.StartDate, "01/01/2000");
    SetFixedText(record.StartTime, "00:00:00");
    SetFixedText(record.EndDate, "12/31/2037");
    SetFixedText(record.EndTime, "23:59:59");
    record.TagText.assign(64, '\0');  // writers clear it

    std::string length = "00:00", intro = ":00", segue = "0:00";
    int64_t m = 0, s = 0;
    if (in.FromCode != code::kMaestro) {
      const double rate = BytesPerSecond(in.Format);
      if (in.Format.BitsPerSample != 0 && rate > 0) {
        length = MinSecText(static_cast<double>(in.DataSize) / rate, &m, &s);
      }
    } else {
      const double frameBytes =
          static_cast<double>(in.Format.Channels) * in.Format.SamplesPerSec * in.Format.BitsPerSample / 8.0;
      const double perMilli = in.Format.BitsPerSample * 1000.0 / 8.0;
      if (frameBytes == 0 || perMilli == 0) throw DivisionByZeroError();
      const double d = static_cast<double>(in.DataSize) - 2048.0;
      const double seconds = RoundUp(d / frameBytes);
      length = MinSecText(seconds, &m, &s);
      const double segueSeconds = seconds - static_cast<double>(RoundHalfEven(d / perMilli) / 2560);
      segue = MinSecText(segueSeconds);
      int64_t im = 0, is = 0;
      MinSecText(in.DafIntroSeconds, &im, &is);
      intro = (im > 0 ? std::to_string(im) : std::string()) + ":" + TwoDigit(is);
    }
    length = ShortenLength(length);

    static constexpr const char* kIds[] = {"INT ", "AUDs", "AUDe", "SEGs", "SEGe"};
    for (std::size_t i = 0; i < kPostTimerCount; ++i) {
      record.PostTimers[i] = CartTimer{};
      if (i < 5) SetFixedText(record.PostTimers[i].Id, kIds[i]);
    }
    const WaveFormat& f = in.Format;
    const double wholeLength = static_cast<double>(60 * m + s);
    if (in.FromCode == code::kMp3) {
      SetTimer(record, f, "INT ", NumberText(ReadNumberPrefix(in.Id3Intro) / 1000), false);
      SetTimer(record, f, "AUDs", "0:00", false);
      SetTimer(record, f, "AUDe", length, false);
      SetTimer(record, f, "SEGs", NumberText(wholeLength - ReadNumberPrefix(in.Id3Segue) / 1000), false);
      SetTimer(record, f, "SEGe", length, false);
    } else if (in.ListFound && !in.ScotFound) {
      SetTimer(record, f, "INT ", NumberText(ReadNumberPrefix(in.Isrf) / 1000), false);
      intro = IntroSecondsText(NumberText(GetTimerSeconds(record, f, "INT ", in.TimerRules)));
      SetTimer(record, f, "AUDs", "0:00", false);
      SetTimer(record, f, "AUDe", length, false);
      SetTimer(record, f, "SEGs", NumberText(wholeLength - ReadNumberPrefix(in.Imed) / 1000), false);
      SetTimer(record, f, "SEGe", length, false);
    } else {
      const TimerWriteRules maestro{in.FromCode == code::kMaestro};
      SetTimer(record, f, "INT ", intro, false, maestro);
      SetTimer(record, f, "AUDs", "0:00", false, maestro);
      SetTimer(record, f, "AUDe", length, false, maestro);
      SetTimer(record, f, "SEGs", segue, false, maestro);
      SetTimer(record, f, "SEGe", length, false, maestro);
    }
    if (in.FromCode == code::kMaestro) {
      result.MaestroIntro = intro;
      result.MaestroSegue = segue;
      result.MaestroLength = length;
    }

    if (intro.size() == 5 && intro[1] == '0' && intro[2] == ':') {
      intro = intro.substr(2);
    } else if (intro.size() == 4 && intro[0] == '0') {
      intro = intro.substr(1);
    }
    length = ShortenLength(length);
    std::string userDef = intro + "/" + length + "/C";

    if (in.Id3Ending.empty() && id3Form) {
      result.Ending = "C";
    } else if (in.Id3Ending.find_first_of("fF") != std::string::npos) {
      result.Ending = "F";
      userDef = ReplaceAll(userDef, "/C", "/F");
    } else {
      result.Ending = "C";
    }
    SetFixedTextNulPadded(record.UserDef, userDef);

    std::string year;
    if (id3Form) {
      year = CleanText(in.Id3Year.size() > 4 ? in.Id3Year.substr(in.Id3Year.size() - 4) : in.Id3Year);
      if (!year.empty()) SetFixedTextNulPadded(record.UserDef, CleanText(record.UserDef) + "/" + year);
    }
    if (in.FromCode == code::kMp3) {
      const std::string i2 =
          IntroSecondsText(NumberText(RoundUp(GetTimerSeconds(record, f, "INT ", in.TimerRules))));
      const std::string s2 =
          FormatMinSec(RoundHalfEven(GetTimerSeconds(record, f, "SEGs", in.TimerRules)), false);
      std::string t = i2 + "/" + s2 + "/" + result.Ending;
      if (!year.empty()) t += "/" + year;
      SetFixedTextNulPadded(record.UserDef, t);
    }
    result.Ok = true;
  } catch (const ProcessError&) {
    result.Ok = false;
  }
  return result;
}

}  // namespace airfoldex
