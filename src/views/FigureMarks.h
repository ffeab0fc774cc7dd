#pragma once

#include <QBrush>
#include <QIcon>
#include <QString>

#include "localisation/TextFormat.h"
#include "scan/ScanTree.h"

namespace dunstrel {

// How the views mark a figure that is not what it seems: a hard-linked file counted at another
// of its names, and a folder that could not be read.

// The greyed text of such rows.
QBrush MarkedTextBrush();
// The tooltip of a file counted at another of its names, in the user's language.
QString HardLinkNote();
// The picture of a folder that could not be read, in place of the folder's.
QIcon UnreadableFolderIcon();
// The tooltip of a folder that could not be read ("cannot be read: permission denied"); empty
// for one that could.
QString UnreadableNote(const TDirNode& Folder);

// The maps' hints: a folder's path, its figure and, when it could not be read, why; a file's path
// and its figure in Count, marked when it is counted at another of its names.
QString FolderHint(const TDirNode& Folder, int64_t Figure, const TFormatSettings& Settings);
QString FileHint(const TFileLeaf& File, TSizeCount Count, const TFormatSettings& Settings);

}  // namespace dunstrel
