#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/cart_record.h"
#include "model/wave_format.h"

namespace airfoldex {

// Whole seconds are 32-bit here so that long-form recordings (over 9 hours) work; every value
// that fits 16 bits comes out exactly as the classic 16-bit arithmetic gave it.

// ---- numbers as text ------------------------------------------------------------------------

// Decimal text with at most 15 significant digits, trailing zeros dropped, "." as decimal
// point and never an exponent: 185.0 / 60 -> "3.08333333333333", 2.0 -> "2", -0.5 -> "-0.5".
std::string NumberText(double value);

// Reads the longest numeric prefix (leading spaces, optional sign, digits, optional point and
// digits); 0 when there is none. "12abc" -> 12, ":07" -> 0, " -3.5s" -> -3.5.
double ReadNumberPrefix(std::string_view text);

// Rounds to the nearest integer with ties to even; throws ProcessError "Overflow" outside the
// signed 32-bit range.
int32_t RoundHalfEven(double value);

// ---- post timers ------------------------------------------------------------------------------

// How the timer reader treats intro timers of the Myriad source system.
struct TimerReadRules {
  // Source code 11 whose timers were not rebuilt: "int" timers hold tenths and are multiplied by 10.
  bool MyriadIntroTimesTen = false;
};

// Seconds of the timer with the given id (ids shorter than 4 are padded with spaces). 0 when no
// timer matches, its value is 0 or the format has no byte rate.
double GetTimerSeconds(const CartRecord& record, const WaveFormat& format, std::string_view id,
                       TimerReadRules rules = {});

struct TimerWriteRules {
  // Maestro (source code 14) stores the seconds themselves, not sample positions.
  bool StoreSeconds = false;
};

// Sets the timer with the given id from a time text ("1:05", ":07", "7", "12.5"). Stores into the
// slot holding the id, else into the first free slot of 4 to 7, else nowhere. A BlockAlign of 0
// with non-zero seconds throws ProcessError "Division by zero".
void SetTimer(CartRecord& record, const WaveFormat& format, std::string_view id, std::string_view timeText,
              bool digitsOnly, TimerWriteRules rules = {});

// ---- minutes and seconds ----------------------------------------------------------------------

// 75 -> "1:15", 15 -> "0:15" (intro style ":15"), 600 -> "10:00". Minutes of 100 and more are
// written in full.
std::string FormatMinSec(int32_t seconds, bool introStyle);

// 119.96 -> "02:00", 59.4 -> "00:59" (seconds-only ":59").
std::string FormatMinSecRounded(double seconds, bool secondsOnly);

// The audio length of a data chunk: 9 s -> "0:09", 185 s -> "03:05" (flag: "3:05"); empty for
// an empty data chunk or a format without byte rate.
std::string AudioLengthText(uint32_t dataSize, const WaveFormat& format, bool dropLeadingZero);

// "00:03:05.50" -> 186, "03:05" -> 185, shorter texts -> 0.
int32_t ClockToSeconds(std::string_view text);

// Truncation toward zero, and the same plus one when there is a fraction.
double RoundDown(double value);
double RoundUp(double value);

// The text up to and including the last path separator ("\" or "/"); empty without one.
std::string FolderOfPath(std::string_view path);

}  // namespace airfoldex
