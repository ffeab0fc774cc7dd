#include "app/CommandLine.h"

namespace dunstrel {

namespace {

TCommandLine Refused(std::string Problem) {
  TCommandLine Result;
  Result.Action = TCommandLine::TAction::Refuse;
  Result.Problem = std::move(Problem);
  return Result;
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& Arguments) {
  TCommandLine Result;
  bool OptionsEnded = false;
  bool Export = false;
  bool Open = false;
  std::vector<std::string> Operands;
  for (size_t I = 0; I < Arguments.size(); ++I) {
    const std::string& Argument = Arguments[I];
    if (!OptionsEnded && Argument == "--") {
      OptionsEnded = true;
    } else if (!OptionsEnded && Argument == "--version") {
      return {TCommandLine::TAction::PrintVersion, {}, {}, {}, {}};
    } else if (!OptionsEnded && (Argument == "--help" || Argument == "-h")) {
      return {TCommandLine::TAction::PrintHelp, {}, {}, {}, {}};
    } else if (!OptionsEnded && (Argument == "--open" || Argument == "--export")) {
      if (Open || Export) {
        return Refused("--open and --export can be given only once, and not together");
      }
      if (I + 1 == Arguments.size() || Arguments[I + 1].empty()) {
        return Refused(Argument + " needs a file name");
      }
      (Argument == "--open" ? Open : Export) = true;
      Result.ScanFile = Arguments[++I];
    } else if (!OptionsEnded && Argument == "--compare") {
      if (!Result.CompareWith.empty()) {
        return Refused("--compare can be given only once");
      }
      if (I + 1 == Arguments.size() || Arguments[I + 1].empty()) {
        return Refused(Argument + " needs a file name");
      }
      Result.CompareWith = Arguments[++I];
    } else if (!OptionsEnded && Argument.size() > 1 && Argument.front() == '-') {
      return Refused("unknown option: " + Argument);
    } else {
      Operands.push_back(Argument);
    }
  }
  if (Operands.size() > 1) {
    return Refused("only one folder can be given");
  }
  if (!Operands.empty() && Operands.front().empty()) {
    return Refused("the folder's name is empty");
  }
  if (Open && !Operands.empty()) {
    return Refused("--open takes no folder");
  }
  if (Export && Operands.empty()) {
    return Refused("--export needs the folder to scan after the file name");
  }
  if (!Result.CompareWith.empty() && (Export || (!Open && Operands.empty()))) {
    return Refused("--compare needs a folder or --open, and not --export");
  }
  if (!Operands.empty()) {
    Result.ScanPath = Operands.front();
  }
  if (Export) {
    Result.Action = TCommandLine::TAction::ExportScan;
  }
  return Result;
}

std::string CommandLineHelp() {
  return "Usage: dunstrel [FOLDER]\n"
         "       dunstrel --open FILE\n"
         "       dunstrel --export FILE FOLDER\n"
         "       dunstrel --compare SAVED (FOLDER | --open FILE)\n"
         "Shows where the space on your disks went.\n"
         "\n"
         "  FOLDER                scan this folder at once\n"
         "  --open FILE           show a saved scan (this program's, or another disk\n"
         "                        analyser's JSON export, plain or packed with gzip or\n"
         "                        zstd); - reads standard input\n"
         "  --export FILE FOLDER  scan FOLDER with every file counted, save the scan to\n"
         "                        FILE and exit, without a window; FILE.gz and FILE.zst\n"
         "                        are packed; - writes plain JSON to standard output\n"
         "  --compare SAVED       once the scan is shown, compare it with the saved scan\n"
         "                        SAVED of the same folder\n"
         "  --version             print the version and exit\n"
         "  -h, --help            print this help and exit\n";
}

}  // namespace dunstrel
