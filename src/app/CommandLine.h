#pragma once

#include <string>
#include <vector>

namespace dunstrel {

// What the program was asked to do on its command line. Paths keep the bytes they were given.
struct TCommandLine {
  enum class TAction { ShowWindow, PrintVersion, PrintHelp, ExportScan, Refuse };
  TAction Action = TAction::ShowWindow;
  // A folder to scan at once (or, for ExportScan, the folder to export); empty for none.
  std::string ScanPath;
  // A saved scan to open at once (ShowWindow), or the file to write (ExportScan).
  std::string ScanFile;
  // A saved scan to compare the results with once they are shown (ShowWindow); empty for none.
  std::string CompareWith;
  // Why the command line was refused.
  std::string Problem;
};

// Reads the arguments after the program's name: `--version`, `--help` (or `-h`), `--open FILE`,
// `--export FILE FOLDER`, `--compare FILE` (with a folder or `--open`), and otherwise at most
// one folder. "--" ends the options, so a folder
// named like an option can still be given.
TCommandLine ParseCommandLine(const std::vector<std::string>& Arguments);

// The text `--help` prints.
std::string CommandLineHelp();

}  // namespace dunstrel
