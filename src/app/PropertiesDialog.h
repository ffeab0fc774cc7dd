#pragma once

#include <string>

#include "localisation/TextFormat.h"

class QWidget;

namespace dunstrel {

// A small window of our own with the name, folder, size, modified time and type of an item, for
// desktops without a file manager that shows properties. It closes itself and is owned by Owner.
QWidget* ShowPropertiesDialog(const std::string& Path, QWidget* Owner,
                              const TFormatSettings& Settings);

}  // namespace dunstrel
