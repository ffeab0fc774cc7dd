#pragma once

#include <optional>
#include <string>

#include "localisation/TextFormat.h"
#include "scan/ScanTree.h"

class QWidget;

namespace dunstrel {

class IUserDialogs;
class TStatusStrip;

// Asks where to save the scan of Root and writes it there, with the format's suffix when the
// name has none; tells the user when it cannot.
void SaveScanWithDialog(IUserDialogs& Dialogs, QWidget* Window, TStatusStrip& Status,
                        const TDirNode& Root, const TFormatSettings& Settings);

// Asks which saved scan to open: its name as the file system's bytes; none when the user cancels.
std::optional<std::string> ChooseScanFile(IUserDialogs& Dialogs, QWidget* Window);

}  // namespace dunstrel
