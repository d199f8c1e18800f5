#pragma once

#include <stdexcept>
#include <string>

namespace airfoldex {

// An error that a job step may raise. It carries the error number and the description that the
// process-error report shows ("Error Line:5 Err#6 Overflow"); the numbers follow the classic
// Basic run-time error numbers that station staff know from the original program.
class ProcessError : public std::runtime_error {
 public:
  ProcessError(int number, const std::string& description)
      : std::runtime_error(description), number_(number) {}
  int number() const { return number_; }

 private:
  int number_;
};

namespace errnum {
inline constexpr int kInvalidCall = 5;
inline constexpr int kOverflow = 6;
inline constexpr int kOutOfMemory = 7;
inline constexpr int kDivisionByZero = 11;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kFileNotFound = 53;
inline constexpr int kInputPastEnd = 62;
inline constexpr int kPathFileAccess = 75;
// A format whose reader or writer is not part of this build.
inline constexpr int kFormatNotAvailable = 445;
}  // namespace errnum

inline ProcessError OverflowError() { return ProcessError(errnum::kOverflow, "Overflow"); }
inline ProcessError DivisionByZeroError() {
  return ProcessError(errnum::kDivisionByZero, "Division by zero");
}

}  // namespace airfoldex
