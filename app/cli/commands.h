#pragma once

// One function per subcommand of airfoldex-cli. Each returns the process exit status:
// 0 done and no file failed, 1 at least one file failed, the job was aborted or the results log
// could not be written, 2 the request was refused or invalid (also a question answered No that
// ends the job before its files).

#include <string>
#include <vector>

namespace airfoldex::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailures = 1;
inline constexpr int kExitRefused = 2;

int RunFormats(const std::vector<std::string>& args);
int RunConvert(const std::vector<std::string>& args);
int RunTags(const std::vector<std::string>& args);
// What the program sees in source files: chunks, format, and the record a source chain builds.
int RunInspect(const std::vector<std::string>& args);
// An unattended run: every option from <data folder>/<scriptName>.txt; args may add convert's options.
int RunScript(const std::string& scriptName, const std::vector<std::string>& args);

}  // namespace airfoldex::cli
