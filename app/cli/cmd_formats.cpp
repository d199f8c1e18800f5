#include <cstdio>

#include "cli/commands.h"
#include "engine/catalogue.h"

namespace airfoldex::cli {

int RunFormats(const std::vector<std::string>& args) {
  if (!args.empty()) {
    std::fprintf(stderr, "formats takes no arguments.\n");
    return kExitRefused;
  }
  for (auto [list, label] : {std::pair{FormatList::From, "FROM"}, std::pair{FormatList::To, "TO"}}) {
    const auto entries = Entries(list);
    for (std::size_t i = 0; i < entries.size(); ++i) {
      std::printf("%s %zu %d %.*s\n", label, i, entries[i].code, static_cast<int>(entries[i].text.size()),
                  entries[i].text.data());
    }
  }
  return kExitOk;
}

}  // namespace airfoldex::cli
