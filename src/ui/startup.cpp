#include "ui/startup.h"

#include <system_error>

namespace airfoldex {

namespace fs = std::filesystem;

fs::path ProgramFolder() {
  std::error_code ec;
#ifdef __linux__
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) return exe.parent_path();
#endif
  return fs::current_path(ec);
}

void PrepareDataFolder(const fs::path& dataFolder, const fs::path& programFolder) {
  std::error_code ec;
  if (fs::exists(dataFolder, ec)) return;
  fs::create_directories(dataFolder, ec);
  if (ec) return;
  fs::copy_file(programFolder / kSettingsFileName, dataFolder / kSettingsFileName, ec);
}

}  // namespace airfoldex
