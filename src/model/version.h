#pragma once

// The program's version as it appears in what it writes ("Airfoldex v0.10" for 0.1 revision 0).

#include <string>

namespace airfoldex {

inline constexpr int kVersionMajor = 0;
inline constexpr int kVersionMinor = 1;
inline constexpr int kVersionRevision = 0;

// Major, ".", minor and revision run together: version 3.2 revision 5 reads "3.25".
inline std::string VersionText() {
  return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) +
         std::to_string(kVersionRevision);
}

}  // namespace airfoldex
