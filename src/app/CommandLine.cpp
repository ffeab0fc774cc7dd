#include "app/CommandLine.h"

namespace dunstrel {

TCommandLine ParseCommandLine(const std::vector<std::string>& Arguments) {
  TCommandLine Result;
  bool OptionsEnded = false;
  for (const std::string& Argument : Arguments) {
    if (!OptionsEnded && Argument == "--") {
      OptionsEnded = true;
    } else if (!OptionsEnded && Argument == "--version") {
      return {TCommandLine::TAction::PrintVersion, {}, {}};
    } else if (!OptionsEnded && (Argument == "--help" || Argument == "-h")) {
      return {TCommandLine::TAction::PrintHelp, {}, {}};
    } else if (!OptionsEnded && Argument.size() > 1 && Argument.front() == '-') {
      return {TCommandLine::TAction::Refuse, {}, "unknown option: " + Argument};
    } else if (!Result.ScanPath.empty()) {
      return {TCommandLine::TAction::Refuse, {}, "only one folder can be given"};
    } else if (Argument.empty()) {
      return {TCommandLine::TAction::Refuse, {}, "the folder's name is empty"};
    } else {
      Result.ScanPath = Argument;
    }
  }
  return Result;
}

std::string CommandLineHelp() {
  return "Usage: dunstrel [FOLDER]\n"
         "Shows where the space on your disks went.\n"
         "\n"
         "  FOLDER      scan this folder at once\n"
         "  --version   print the version and exit\n"
         "  -h, --help  print this help and exit\n";
}

}  // namespace dunstrel
