#pragma once

#include <string>
#include <vector>

namespace dunstrel {

// What the program was asked to do on its command line. Paths keep the bytes they were given.
struct TCommandLine {
  enum class TAction { ShowWindow, PrintVersion, PrintHelp, Refuse };
  TAction Action = TAction::ShowWindow;
  // A folder to scan at once; empty for none.
  std::string ScanPath;
  // Why the command line was refused.
  std::string Problem;
};

// Reads the arguments after the program's name: `--version`, `--help` (or `-h`), and at most
// one folder. "--" ends the options, so a folder named like an option can still be given.
TCommandLine ParseCommandLine(const std::vector<std::string>& Arguments);

// The text `--help` prints.
std::string CommandLineHelp();

}  // namespace dunstrel
