#pragma once

#include <QIcon>
#include <QString>

namespace dunstrel {

// The picture of a command ("scan", "stop", "open-file", "clipboard", "open-folder",
// "file-properties", "recycle", "delete-file", "domain", "info"): the desktop theme's icon of the
// same meaning where the theme has one, else the program's own, drawn sharp at 35 pixels and at
// twice that for high-density screens.
QIcon ToolbarIcon(const QString& Name);

}  // namespace dunstrel
