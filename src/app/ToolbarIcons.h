#pragma once

#include <QIcon>
#include <QString>

namespace dunstrel {

// One of the program's own toolbar pictures ("scan", "stop", "open-file", "clipboard",
// "open-folder", "file-properties", "recycle", "delete-file", "domain", "info"), drawn sharp
// at 35 pixels and at twice that for high-density screens.
QIcon ToolbarIcon(const QString& Name);

}  // namespace dunstrel
