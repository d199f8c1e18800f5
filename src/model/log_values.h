#pragma once

#include <string>

namespace airfoldex {

// The timing values of the current file's log line (texts: seconds, or minutes and seconds as
// some readers leave them).
struct LogValues {
  std::string LogIntro;
  std::string LogSegue;
  std::string LogLength;
  std::string LogEnding;  // "F" or "C"
};

}  // namespace airfoldex
