// airfoldex-cli: scripted and unattended runs of the converter.

#include <cctype>
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
      "  airfoldex-cli tags FILE [--set FIELD=VALUE ...]   ID3 tags of an MP3 file\n"
      "  airfoldex-cli inspect FILE... [--from TEXT] [--to TEXT] [--json]\n"
      "                        chunks, format and the record the FROM system's readers build\n"
      "  airfoldex-cli convert --from TEXT --to TEXT --source DIR --dest DIR [--log FILE]\n"
      "                        [--settings INI] [--yes]\n"
      "  airfoldex-cli /script NAME      unattended run with the settings of NAME.txt in the data folder\n"
      "  airfoldex-cli --script NAME [convert options]\n"
      "\n"
      "TEXT is an entry of the FROM or TO list exactly as `formats` prints it.\n"
      "Options not given to convert come from the settings file.\n"
      "Exit status: 0 no file failed, 1 a file failed, the job was aborted or the log could not be\n"
      "written, 2 refused or invalid.\n",
      to);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    PrintUsage(stderr);
    return airfoldex::cli::kExitRefused;
  }
  // The classic command line: "/script NAME" (any letter case, "\\" for "/"); the name is the rest
  // of the command line after one separator.
  std::string commandLine;
  for (const auto& a : args) commandLine += (commandLine.empty() ? "" : " ") + a;
  std::string head = commandLine.substr(0, 7);
  for (auto& c : head) c = static_cast<char>(c == '\\' ? '/' : std::tolower(static_cast<unsigned char>(c)));
  if (head == "/script") {
    try {
      return airfoldex::cli::RunScript(commandLine.size() > 8 ? commandLine.substr(8) : "", {});
    } catch (const std::exception& e) {
      std::fprintf(stderr, "airfoldex-cli: %s\n", e.what());
      return airfoldex::cli::kExitRefused;
    }
  }

  const std::string command = args.front();
  args.erase(args.begin());
  try {
    if (command == "formats") return airfoldex::cli::RunFormats(args);
    if (command == "convert") return airfoldex::cli::RunConvert(args);
    if (command == "tags") return airfoldex::cli::RunTags(args);
    if (command == "inspect") return airfoldex::cli::RunInspect(args);
    if (command == "--script" && !args.empty()) {
      const std::string name = args.front();
      return airfoldex::cli::RunScript(name, std::vector<std::string>(args.begin() + 1, args.end()));
    }
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
