#include "model/time_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "model/errors.h"

namespace airfoldex {

namespace {

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

bool ContainsNoCase(std::string_view text, std::string_view part) {
  if (part.size() > text.size()) return false;
  for (std::size_t i = 0; i + part.size() <= text.size(); ++i) {
    if (EqualNoCase(text.substr(i, part.size()), part)) return true;
  }
  return false;
}

// Timer ids are four characters; shorter ones are filled up with spaces.
std::string PadTimerId(std::string_view id) {
  std::string padded(id);
  if (padded.size() < 4) padded.resize(4, ' ');
  return padded;
}

// A piece of text the way a 1-based "mid" would cut it: shorter or empty past the end.
std::string_view Mid(std::string_view text, std::size_t position, std::size_t length) {
  if (position > text.size()) return {};
  return text.substr(position - 1, length);
}

// A count of minutes or seconds with at least two digits; 100 and more are written in full.
std::string TwoDigits(int64_t n) {
  std::string digits = std::to_string(n);
  if (digits.size() < 2) digits.insert(0, 1, '0');
  return digits;
}

// The whole number written in the text (a plain run of digits, maybe signed); absurdly large
// values are an overflow rather than a silently wrong time.
int64_t WholeNumberOf(std::string_view text) {
  const double value = ReadNumberPrefix(text);
  if (!(std::fabs(value) < 9.0e15)) throw OverflowError();
  return static_cast<int64_t>(value);
}

}  // namespace

// ---- numbers as text ------------------------------------------------------------------------

std::string NumberText(double value) {
  // Non-finite values never come out of the conversions here; write them as 0 rather than as
  // text no automation system could read back.
  if (!std::isfinite(value) || value == 0.0) return "0";

  // Scientific notation with 15 significant digits gives the rounded digits and the exponent
  // independently of the C locale; the fixed notation is then laid out by hand.
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
  const std::string_view sci(buffer, static_cast<std::size_t>(result.ptr - buffer));

  std::size_t pos = 0;
  const bool negative = sci[0] == '-';
  if (negative) ++pos;
  const std::size_t e = sci.find('e');
  std::string digits;
  for (std::size_t i = pos; i < e; ++i) {
    if (sci[i] != '.') digits.push_back(sci[i]);
  }
  int exponent = 0;
  std::string_view expText = sci.substr(e + 1);
  if (!expText.empty() && expText[0] == '+') expText.remove_prefix(1);
  std::from_chars(expText.data(), expText.data() + expText.size(), exponent);

  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out;
  if (negative) out.push_back('-');
  if (exponent < 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-exponent - 1), '0');
    out += digits;
  } else {
    const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integerDigits) {
      out += digits;
      out.append(integerDigits - digits.size(), '0');
    } else {
      out += digits.substr(0, integerDigits);
      out.push_back('.');
      out += digits.substr(integerDigits);
    }
  }
  return out;
}

double ReadNumberPrefix(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const std::size_t intStart = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  const std::string_view intDigits = text.substr(intStart, i - intStart);
  std::string_view fracDigits;
  if (i < text.size() && text[i] == '.') {
    const std::size_t fracStart = ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    fracDigits = text.substr(fracStart, i - fracStart);
  }
  if (intDigits.empty() && fracDigits.empty()) return 0.0;

  std::string number(intDigits.empty() ? "0" : intDigits);
  if (!fracDigits.empty()) {
    number.push_back('.');
    number += fracDigits;
  }
  double value = 0.0;
  const auto result =
      std::from_chars(number.data(), number.data() + number.size(), value, std::chars_format::fixed);
  if (result.ec == std::errc::result_out_of_range) {
    // Either too large for a double or too small to be anything but 0.
    const bool large = intDigits.find_first_not_of('0') != std::string_view::npos;
    value = large ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -value : value;
}

int32_t RoundHalfEven(double value) {
  if (std::isnan(value)) throw OverflowError();
  double rounded = std::floor(value);
  const double fraction = value - rounded;  // exact for every value in the 32-bit range
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0)) rounded += 1.0;
  if (rounded < static_cast<double>(std::numeric_limits<int32_t>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<int32_t>::max())) {
    throw OverflowError();
  }
  return static_cast<int32_t>(rounded);
}

// ---- post timers ------------------------------------------------------------------------------

double GetTimerSeconds(const CartRecord& record, const WaveFormat& format, std::string_view id,
                       TimerReadRules rules) {
  const std::string wanted = PadTimerId(id);
  constexpr std::string_view kShortIntro("INT\0", 4);
  constexpr std::string_view kShortSegue("SEG\0", 4);

  // Some systems write the three-letter ids with a NUL terminator into the first two slots;
  // those win over any later slot for an intro or segue request.
  const CartTimer* timer = nullptr;
  if (record.PostTimers[0].Id.view() == kShortIntro && wanted.find("INT") != std::string::npos) {
    timer = &record.PostTimers[0];
  } else if (record.PostTimers[1].Id.view() == kShortSegue && wanted.find("SEG") != std::string::npos) {
    timer = &record.PostTimers[1];
  } else {
    for (const CartTimer& candidate : record.PostTimers) {
      if (EqualNoCase(candidate.Id.view(), wanted)) {
        timer = &candidate;
        break;
      }
    }
  }
  if (timer == nullptr || timer->Value == 0 || format.AvgBytesPerSec == 0) return 0.0;

  // Computed in double so that large positions cannot overflow on the way.
  double value = timer->Value;
  if (rules.MyriadIntroTimesTen && ContainsNoCase(wanted, "int")) value *= 10.0;
  return value * format.BlockAlign / format.AvgBytesPerSec;
}

void SetTimer(CartRecord& record, const WaveFormat& format, std::string_view id, std::string_view timeText,
              bool digitsOnly, TimerWriteRules rules) {
  const std::string wanted = PadTimerId(id);

  // A bare run of up to four digits is seconds ("7", "45") or minutes and seconds ("245", "0245").
  std::string text(timeText);
  if (digitsOnly) {
    switch (text.size()) {
      case 1:
        text = "00:0" + text;
        break;
      case 2:
        text = "00:" + text;
        break;
      case 3:
        text = "0" + text.substr(0, 1) + ":" + text.substr(1);
        break;
      case 4:
        text = text.substr(0, 2) + ":" + text.substr(2);
        break;
      default:
        break;
    }
  }

  double seconds = 0.0;
  const std::size_t colon = text.find(':');
  if (colon != std::string::npos) {
    seconds = 60.0 * ReadNumberPrefix(std::string_view(text).substr(0, colon)) +
              ReadNumberPrefix(std::string_view(text).substr(colon + 1));
  } else {
    seconds = ReadNumberPrefix(text);
  }

  double value = seconds;
  if (seconds != 0.0 && !rules.StoreSeconds) {
    if (format.BlockAlign == 0) throw DivisionByZeroError();
    value = seconds * format.AvgBytesPerSec / format.BlockAlign;
  }
  const int32_t stored = RoundHalfEven(value);

  for (CartTimer& timer : record.PostTimers) {
    if (EqualNoCase(timer.Id.view(), wanted)) {
      timer.Value = stored;
      return;
    }
  }
  // Slots 0 to 3 belong to the standard timers; a new id only goes into a free slot of 4 to 7.
  for (std::size_t slot = 4; slot < kPostTimerCount; ++slot) {
    CartTimer& timer = record.PostTimers[slot];
    if (CleanText(timer.Id).empty()) {
      SetFixedText(timer.Id, wanted);
      timer.Value = stored;
      return;
    }
  }
}

// ---- minutes and seconds ----------------------------------------------------------------------

std::string FormatMinSec(int32_t seconds, bool introStyle) {
  // A negative time is written as the time it falls short of zero with a minus sign in front,
  // rather than as digits that would read as a positive time.
  const int64_t total = seconds;
  const int64_t magnitude = total < 0 ? -total : total;
  const int64_t minutes = magnitude / 60;
  std::string minuteText = std::to_string(minutes);
  if (introStyle && minutes == 0) minuteText.clear();
  return (total < 0 ? "-" : "") + minuteText + ":" + TwoDigits(magnitude % 60);
}

std::string FormatMinSecRounded(double seconds, bool secondsOnly) {
  if (seconds < 0) return "-" + FormatMinSecRounded(-seconds, secondsOnly);

  // The minutes are taken from their decimal text, so that a value such as 1.99999999999999998
  // counts as the 2 its text shows; the fraction of a minute becomes seconds the same way.
  const std::string minuteText = NumberText(seconds / 60.0);
  int64_t minutes = 0;
  int64_t wholeSeconds = 0;
  const std::size_t point = minuteText.find('.');
  if (point == std::string::npos) {
    minutes = WholeNumberOf(minuteText);
  } else {
    minutes = WholeNumberOf(std::string_view(minuteText).substr(0, point));
    const double fraction = ReadNumberPrefix(std::string_view(minuteText).substr(point));
    const std::string secondText = NumberText(fraction * 0.6) + "000";
    const std::size_t secondPoint = secondText.find('.');
    if (secondPoint != std::string::npos) {
      const std::string_view after = std::string_view(secondText).substr(secondPoint + 1);
      wholeSeconds = (after[0] - '0') * 10 + (after[1] - '0');
      if (after[2] >= '5') ++wholeSeconds;
    }
    if (wholeSeconds >= 60) {
      wholeSeconds -= 60;
      ++minutes;
    }
  }
  const std::string text = TwoDigits(minutes) + ":" + TwoDigits(wholeSeconds);
  return secondsOnly ? text.substr(text.find(':')) : text;
}

std::string AudioLengthText(uint32_t dataSize, const WaveFormat& format, bool dropLeadingZero) {
  if (dataSize == 0 || format.AvgBytesPerSec == 0) return {};

  const std::string minuteText = NumberText(static_cast<double>(dataSize) / format.AvgBytesPerSec / 60.0);
  std::string text;
  const std::size_t point = minuteText.find('.');
  if (point == std::string::npos) {
    text = minuteText + ":00";
  } else {
    // Only the first three decimals of the minutes count; thousandths of a minute times 60,
    // rounded half to even, are the seconds (done in integers so that ties are exact).
    int64_t minutes = WholeNumberOf(std::string_view(minuteText).substr(0, point));
    const std::string decimals = (minuteText.substr(point + 1) + "000").substr(0, 3);
    const int64_t thousandths = (decimals[0] - '0') * 100 + (decimals[1] - '0') * 10 + (decimals[2] - '0');
    const int64_t scaled = thousandths * 60;
    int64_t seconds = scaled / 1000;
    const int64_t remainder = scaled % 1000;
    if (remainder > 500 || (remainder == 500 && seconds % 2 != 0)) ++seconds;
    if (seconds == 60) {
      seconds = 0;
      ++minutes;
    }
    text = TwoDigits(minutes) + ":" + TwoDigits(seconds);
  }
  if (text.starts_with("00")) text.erase(0, 1);
  if (dropLeadingZero && text.starts_with('0')) text.erase(0, 1);
  return text;
}

int32_t ClockToSeconds(std::string_view text) {
  double hours = 0;
  double minutes = 0;
  double seconds = 0;
  double hundredths = 0;
  if (text.size() > 5) {
    hours = ReadNumberPrefix(Mid(text, 1, 2));
    minutes = ReadNumberPrefix(Mid(text, 4, 2));
    seconds = ReadNumberPrefix(Mid(text, 7, 2));
    hundredths = ReadNumberPrefix(Mid(text, 10, 2));
  } else if (text.size() == 5) {
    minutes = ReadNumberPrefix(Mid(text, 1, 2));
    seconds = ReadNumberPrefix(Mid(text, 4, 2));
  } else {
    return 0;
  }
  // Two characters per part keep the total far inside 32 bits.
  return RoundHalfEven(3600 * hours + 60 * minutes + seconds + (hundredths >= 50 ? 1 : 0));
}

double RoundDown(double value) {
  if (!std::isfinite(value)) return 0.0;
  return std::trunc(value) + 0.0;  // + 0.0 turns -0 into 0
}

double RoundUp(double value) {
  if (!std::isfinite(value)) return 0.0;
  const double truncated = std::trunc(value);
  return (truncated == value ? value : truncated + 1.0) + 0.0;
}

std::string FolderOfPath(std::string_view path) {
  const std::size_t last = path.find_last_of("\\/");
  if (last == std::string_view::npos) return {};
  return std::string(path.substr(0, last + 1));
}

}  // namespace airfoldex
