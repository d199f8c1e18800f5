#include "model/time_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "model/errors.h"

namespace airfoldex {
namespace {

// 44.1 kHz, 16-bit stereo: 176400 bytes per second, 4 bytes per sample frame.
WaveFormat CdFormat() {
  WaveFormat format;
  format.FormatTag = 1;
  format.Channels = 2;
  format.SamplesPerSec = 44100;
  format.AvgBytesPerSec = 176400;
  format.BlockAlign = 4;
  format.BitsPerSample = 16;
  return format;
}

WaveFormat RateFormat(uint32_t avgBytesPerSec, uint16_t blockAlign) {
  WaveFormat format;
  format.AvgBytesPerSec = avgBytesPerSec;
  format.BlockAlign = blockAlign;
  return format;
}

void SetId(CartRecord& record, std::size_t slot, std::string_view id, int32_t value) {
  SetFixedTextNulPadded(record.PostTimers[slot].Id, id);
  record.PostTimers[slot].Value = value;
}

int ErrorNumberOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const ProcessError& error) {
    return error.number();
  }
  return 0;
}

// ---- numbers as text ------------------------------------------------------------------------

TEST(NumberTextTest, FifteenSignificantDigitsWithoutExponent) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {185.0 / 60, "3.08333333333333"},
      {2.0, "2"},
      {-0.5, "-0.5"},
      {-0.0, "0"},
      {0.1 + 0.2, "0.3"},     // binary noise beyond 15 digits disappears
      {0.99 * 0.6, "0.594"},  // the same
      {8.5, "8.5"},
      {15.25, "15.25"},
      {1e20, "100000000000000000000"},
      {123456789012345678.0, "123456789012346000"},
      {0.00001, "0.00001"},
      {1.0 / 3e6, "0.000000333333333333333"},
      {1999.99999999999999, "2000"},
  };
  for (const auto& c : cases) EXPECT_EQ(NumberText(c.value), c.text) << c.value;
}

TEST(ReadNumberPrefixTest, LongestNumericPrefixOrZero) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"12abc", 12},  {":07", 0}, {" -3.5s", -3.5}, {"", 0},         {"-", 0},   {".", 0},
      {".5", 0.5},    {"5.", 5},  {"+7", 7},        {"07", 7},       {"1e3", 1}, {"12 3", 12},
      {"1.2.3", 1.2}, {"\t5", 0}, {"--5", 0},       {"-.25", -0.25},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(ReadNumberPrefix(c.text), c.value) << '"' << c.text << '"';
  EXPECT_EQ(ReadNumberPrefix(std::string(400, '9')), std::numeric_limits<double>::infinity());
  EXPECT_EQ(ReadNumberPrefix("0." + std::string(400, '0') + "1"), 0.0);
}

TEST(RoundHalfEvenTest, TiesGoToTheEvenNeighbour) {
  const struct {
    double value;
    int32_t rounded;
  } cases[] = {
      {0.5, 0},
      {1.5, 2},
      {2.5, 2},
      {-0.5, 0},
      {-1.5, -2},
      {-2.5, -2},
      {2.4999999, 2},
      {2.5000001, 3},
      {-2.6, -3},
      {2147483646.5, 2147483646},
      {-2147483648.4, std::numeric_limits<int32_t>::min()},
  };
  for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.value), c.rounded) << c.value;
}

TEST(RoundHalfEvenTest, OutsideThirtyTwoBitsIsOverflow) {
  for (double value : {2147483647.5, -2147483648.6, 1e300, std::nan("")}) {
    EXPECT_EQ(ErrorNumberOf([&] { RoundHalfEven(value); }), errnum::kOverflow) << value;
  }
}

// ---- post timers ------------------------------------------------------------------------------

TEST(GetTimerSecondsTest, FindsTimersByIdAndConvertsSamples) {
  CartRecord record;
  SetId(record, 0, "INT ", 441000);  // 10 s
  SetId(record, 1, "AUDs", 0);
  SetId(record, 2, "SEGs", 44100 * 30);  // 30 s
  SetId(record, 3, "AUDe", 2000000000);  // large enough to overflow 32 bits if multiplied first
  const WaveFormat cd = CdFormat();

  const struct {
    const char* id;
    double seconds;
  } cases[] = {
      {"INT ", 10}, {"int ", 10}, {"INT", 10},  // short ids are padded with spaces
      {"segs", 30}, {"seg ", 0},  {"SEG", 0},   // "SEG " is not "SEGs"
      {"AUDs", 0},  {"XXXX", 0},  {"AUDe", 2000000000.0 * 4 / 176400},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(GetTimerSeconds(record, cd, c.id), c.seconds) << c.id;

  EXPECT_EQ(GetTimerSeconds(record, RateFormat(0, 4), "INT "), 0.0);
}

TEST(GetTimerSecondsTest, NulTerminatedShortIdsInFirstSlotsWin) {
  CartRecord record;
  record.PostTimers[0].Id.bytes = {'I', 'N', 'T', '\0'};
  record.PostTimers[0].Value = 44100;
  record.PostTimers[1].Id.bytes = {'S', 'E', 'G', '\0'};
  record.PostTimers[1].Value = 88200;
  SetId(record, 4, "INT ", 441000);
  SetId(record, 5, "SEGs", 441000);
  const WaveFormat cd = CdFormat();

  EXPECT_DOUBLE_EQ(GetTimerSeconds(record, cd, "INT "), 1);
  EXPECT_DOUBLE_EQ(GetTimerSeconds(record, cd, "INTe"), 1);
  EXPECT_DOUBLE_EQ(GetTimerSeconds(record, cd, std::string_view("INT\0", 4)), 1);
  EXPECT_DOUBLE_EQ(GetTimerSeconds(record, cd, "SEGs"), 2);
  // The containment test is case-sensitive; a lower-case request matches the ordinary way.
  EXPECT_DOUBLE_EQ(GetTimerSeconds(record, cd, "int "), 10);
  EXPECT_DOUBLE_EQ(GetTimerSeconds(record, cd, "segs"), 10);
}

TEST(GetTimerSecondsTest, MyriadIntroHoldsTenths) {
  CartRecord record;
  SetId(record, 0, "INT ", 44100);
  SetId(record, 1, "SEGs", 44100);
  const WaveFormat cd = CdFormat();
  const TimerReadRules myriad{.MyriadIntroTimesTen = true};

  EXPECT_DOUBLE_EQ(GetTimerSeconds(record, cd, "INT ", myriad), 10);
  EXPECT_DOUBLE_EQ(GetTimerSeconds(record, cd, "int ", myriad), 10);
  EXPECT_DOUBLE_EQ(GetTimerSeconds(record, cd, "SEGs", myriad), 1);
  EXPECT_DOUBLE_EQ(GetTimerSeconds(record, cd, "INT "), 1);
}

TEST(SetTimerTest, TimeTextsBecomeSamplePositions) {
  const struct {
    const char* text;
    bool digitsOnly;
    uint32_t avgBytesPerSec;
    uint16_t blockAlign;
    int32_t stored;
  } cases[] = {
      {"1:05", false, 176400, 4, 2866500},
      {":07", false, 176400, 4, 308700},
      {"7", false, 176400, 4, 308700},
      {"7", true, 176400, 4, 308700},         // becomes 00:07
      {"45", true, 176400, 4, 1984500},       // becomes 00:45
      {"245", true, 176400, 4, 7276500},      // becomes 02:45
      {"0245", true, 176400, 4, 7276500},     // becomes 02:45
      {"245", false, 176400, 4, 10804500},    // plain seconds
      {"12345", true, 176400, 4, 544414500},  // five characters stay seconds
      {"12.5", false, 176400, 4, 551250},
      {"1:5", false, 176400, 4, 2866500},
      {"123:45", false, 176400, 4, 327442500},
      {"0:00", false, 176400, 4, 0},
      {"abc", false, 176400, 4, 0},
      {"", false, 176400, 4, 0},
      {"1", false, 3, 2, 2},  // 1.5 frames round to 2
      {"3", false, 3, 2, 4},  // 4.5 frames round to 4
  };
  for (const auto& c : cases) {
    CartRecord record;
    SetId(record, 0, "INT ", 99);
    SetTimer(record, RateFormat(c.avgBytesPerSec, c.blockAlign), "INT ", c.text, c.digitsOnly);
    EXPECT_EQ(record.PostTimers[0].Value, c.stored) << '"' << c.text << "\" digitsOnly=" << c.digitsOnly;
  }
}

TEST(SetTimerTest, MaestroStoresTheSecondsThemselves) {
  const struct {
    const char* text;
    int32_t stored;
  } cases[] = {{"1:05", 65}, {"12.5", 12}, {"13.5", 14}, {":07", 7}};
  for (const auto& c : cases) {
    CartRecord record;
    SetTimer(record, CdFormat(), "INT ", c.text, false, TimerWriteRules{.StoreSeconds = true});
    EXPECT_EQ(record.PostTimers[4].Value, c.stored) << c.text;
  }
}

TEST(SetTimerTest, ChoosesTheSlotHoldingTheIdElseAFreeSlotFromFour) {
  CartRecord record;
  SetId(record, 2, "SEGs", 1);
  SetId(record, 5, "AUDe", 2);
  SetFixedText(record.PostTimers[4].Id, "    ");  // blank after cleaning, so free
  const WaveFormat cd = CdFormat();

  SetTimer(record, cd, "segs", "1", false);  // existing slot, id letters kept
  EXPECT_EQ(record.PostTimers[2].Value, 44100);
  EXPECT_EQ(record.PostTimers[2].Id.view(), "SEGs");

  SetTimer(record, cd, "IN", "2", false);  // slots 0, 1 and 3 are blank but not eligible
  EXPECT_EQ(record.PostTimers[4].Id.view(), "IN  ");
  EXPECT_EQ(record.PostTimers[4].Value, 88200);
  EXPECT_EQ(GetTimerSeconds(record, cd, "in"), 2);

  SetTimer(record, cd, "XTRA", "3", false);
  EXPECT_EQ(record.PostTimers[6].Id.view(), "XTRA");
  SetTimer(record, cd, "LAST", "4", false);
  EXPECT_EQ(record.PostTimers[7].Id.view(), "LAST");

  const CartRecord full = record;
  SetTimer(record, cd, "NONE", "5", false);
  EXPECT_EQ(record, full);
  EXPECT_EQ(CartRecord{}.PostTimers[0], record.PostTimers[0]);
}

TEST(SetTimerTest, ArithmeticFailuresReachTheCaller) {
  CartRecord record;
  EXPECT_EQ(ErrorNumberOf([&] { SetTimer(record, RateFormat(176400, 0), "INT ", "1:05", false); }),
            errnum::kDivisionByZero);
  EXPECT_EQ(record, CartRecord{});
  // Nothing to divide when the time is zero.
  EXPECT_EQ(ErrorNumberOf([&] { SetTimer(record, RateFormat(176400, 0), "INT ", "0:00", false); }), 0);
  EXPECT_EQ(record.PostTimers[4].Id.view(), "INT ");
  EXPECT_EQ(ErrorNumberOf([&] { SetTimer(record, CdFormat(), "INT ", "99999999", false); }),
            errnum::kOverflow);
}

// ---- minutes and seconds ----------------------------------------------------------------------

TEST(FormatMinSecTest, MinutesAndSeconds) {
  const struct {
    int32_t seconds;
    bool introStyle;
    const char* text;
  } cases[] = {
      {60, false, "1:00"},
      {59, false, "0:59"},
      {61, false, "1:01"},
      {75, false, "1:15"},
      {15, false, "0:15"},
      {15, true, ":15"},
      {0, true, ":00"},
      {0, false, "0:00"},
      {75, true, "1:15"},
      {600, false, "10:00"},
      {5999, false, "99:59"},
      {6000, false, "100:00"},
      {32767, false, "546:07"},
      {40000, true, "666:40"},
      {-75, false, "-1:15"},
      {-5, true, "-:05"},
      {std::numeric_limits<int32_t>::min(), false, "-35791394:08"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatMinSec(c.seconds, c.introStyle), c.text) << c.seconds;
}

TEST(FormatMinSecRoundedTest, RoundsFractionalSeconds) {
  const struct {
    double seconds;
    const char* text;
  } cases[] = {
      {119.96, "02:00"}, {59.4, "00:59"},  {59.94, "01:00"},   {59.5, "01:00"},
      {0, "00:00"},      {120, "02:00"},   {90, "01:30"},      {185, "03:05"},
      {3.3, "00:03"},    {6000, "100:00"}, {6005.2, "100:05"}, {-90, "-01:30"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatMinSecRounded(c.seconds, false), c.text) << c.seconds;
  EXPECT_EQ(FormatMinSecRounded(59.4, true), ":59");
  EXPECT_EQ(FormatMinSecRounded(120, true), ":00");
}

TEST(AudioLengthTextTest, LengthOfTheDataChunk) {
  const struct {
    double seconds;
    const char* text;
    const char* dropped;
  } cases[] = {
      {9, "0:09", ":09"},         {185, "03:05", "3:05"},
      {60, "1:00", "1:00"},  // a whole number of minutes is written as it stands
      {61, "01:01", "1:01"},      {600, "10:00", "10:00"},
      {119.99, "02:00", "2:00"},  // 59.94 seconds round up into the next minute
      {1.5, "0:02", ":02"},       // 0.025 minutes, 1.5 s: ties to even
      {4.5, "0:04", ":04"},       // 0.075 minutes, 4.5 s: ties to even
      {6000, "100:00", "100:00"}, {6005, "100:05", "100:05"},
  };
  const WaveFormat cd = CdFormat();
  for (const auto& c : cases) {
    const auto dataSize = static_cast<uint32_t>(std::lround(c.seconds * cd.AvgBytesPerSec));
    EXPECT_EQ(AudioLengthText(dataSize, cd, false), c.text) << c.seconds;
    EXPECT_EQ(AudioLengthText(dataSize, cd, true), c.dropped) << c.seconds;
  }
  EXPECT_EQ(AudioLengthText(0, cd, false), "");
  EXPECT_EQ(AudioLengthText(176400, RateFormat(0, 4), false), "");
}

TEST(ClockToSecondsTest, ReadsClockTexts) {
  const struct {
    const char* text;
    int32_t seconds;
  } cases[] = {
      {"00:03:05.50", 186},   {"00:03:05.49", 185},    {"03:05", 185}, {"3:05", 0}, {"", 0},
      {"01:00:00", 3600},     {"00:03:05.5", 185},  // "5" hundredths
      {"10:00:00.00", 36000}, {"99:59:59.99", 360000}, {"ab:cd", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ClockToSeconds(c.text), c.seconds) << c.text;
}

TEST(RoundingTest, RoundDownAndRoundUp) {
  const struct {
    double value;
    double down;
    double up;
  } cases[] = {
      {2.9, 2, 3},    {2.1, 2, 3},          {2.0, 2, 2},
      {-3.2, -3, -2}, {-3.0, -3, -3},       {0, 0, 0},
      {-0.5, 0, 1},   {std::nan(""), 0, 0}, {std::numeric_limits<double>::infinity(), 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RoundDown(c.value), c.down) << c.value;
    EXPECT_EQ(RoundUp(c.value), c.up) << c.value;
  }
  EXPECT_FALSE(std::signbit(RoundDown(-0.5)));
}

TEST(FolderOfPathTest, UpToTheLastSeparatorOfEitherKind) {
  const struct {
    const char* path;
    const char* folder;
  } cases[] = {
      {"C:\\Audio\\cut.wav", "C:\\Audio\\"},
      {"/srv/audio/cut.wav", "/srv/audio/"},
      {"D:\\in/sub\\x.wav", "D:\\in/sub\\"},
      {"share\\a/b.wav", "share\\a/"},
      {"cut.wav", ""},
      {"", ""},
      {"C:\\", "C:\\"},
  };
  for (const auto& c : cases) EXPECT_EQ(FolderOfPath(c.path), c.folder) << c.path;
}

}  // namespace
}  // namespace airfoldex
