#pragma once

#include "localisation/TextFormat.h"

class QLocale;

namespace dunstrel {

// The decimal separator and the time separator (taken from the short time format) of a locale.
TFormatSettings FormatSettingsOf(const QLocale& Locale);

}  // namespace dunstrel
