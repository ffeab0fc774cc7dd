#pragma once

#include <cstdint>
#include <string>

#include "localisation/TextFormat.h"
#include "scan/ScanTree.h"
#include "scan/SizeCount.h"

namespace dunstrel {

// A hard-linked file whose data is counted at another of its names: in the disk usage it adds
// nothing, and the views show it greyed and marked. In the apparent size every name counts.
inline bool CountedElsewhere(const TFileLeaf& File, TSizeCount Count) {
  return Count == TSizeCount::DiskUsage && File.IsHardLinkRepeat();
}

// A file's figure in Count as the lists, hints and status line show it: its size, and for a file
// counted elsewhere the mark "(hard link)" after it.
std::string FileFigureText(const TFileLeaf& File, TSizeCount Count,
                           const TFormatSettings& Settings);

// Why a folder could not be read, in the user's language ("cannot be read: permission
// denied"); empty for a folder that could.
std::string ReadProblemText(const TDirNode& Folder);

}  // namespace dunstrel
