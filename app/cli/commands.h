#pragma once

// One function per subcommand of airfoldex-cli. Each returns the process exit status:
// 0 done and no file failed, 1 at least one file failed (or the job was aborted),
// 2 the request was refused or invalid.

#include <string>
#include <vector>

namespace airfoldex::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailures = 1;
inline constexpr int kExitRefused = 2;

int RunFormats(const std::vector<std::string>& args);
int RunConvert(const std::vector<std::string>& args);

}  // namespace airfoldex::cli
