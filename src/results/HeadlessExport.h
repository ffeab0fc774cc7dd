#pragma once

#include <cstdio>
#include <string>

namespace dunstrel {

// Scans Folder with every filter off, so that every file is counted, and saves the scan to File,
// without any window. Progress goes to Progress when it is given (a terminal); failures are
// described on Errors. Returns the program's exit status: 0 when the file was written.
int ExportScanOfFolder(const std::string& File, const std::string& Folder, std::FILE* Progress,
                       std::FILE* Errors);

}  // namespace dunstrel
