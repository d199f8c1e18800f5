// airfoldex-cli: scripted and unattended runs of the converter.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace {

void PrintUsage(FILE* to) {
  std::fputs(
      "Usage:\n"
      "  airfoldex-cli formats\n"
      "  airfoldex-cli convert --from TEXT --to TEXT --source DIR --dest DIR [--log FILE]\n"
      "                        [--settings INI] [--yes]\n"
      "\n"
      "TEXT is an entry of the FROM or TO list exactly as `formats` prints it.\n"
      "Exit status: 0 no file failed, 1 a file failed or the job was aborted, 2 refused or invalid.\n",
      to);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    PrintUsage(stderr);
    return airfoldex::cli::kExitRefused;
  }
  const std::string command = args.front();
  args.erase(args.begin());
  try {
    if (command == "formats") return airfoldex::cli::RunFormats(args);
    if (command == "convert") return airfoldex::cli::RunConvert(args);
    if (command == "--help" || command == "-h" || command == "help") {
      PrintUsage(stdout);
      return airfoldex::cli::kExitOk;
    }
    std::fprintf(stderr, "Unknown command \"%s\".\n", command.c_str());
    PrintUsage(stderr);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "airfoldex-cli: %s\n", e.what());
  }
  return airfoldex::cli::kExitRefused;
}
