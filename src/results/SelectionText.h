#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "localisation/TextFormat.h"

namespace dunstrel {

// The status line's description of a selection: "Ready" without a path, the path and size
// text for one item, and the count as well for several; in the current language.
std::string SelectionText(std::string_view Path, std::string_view SizeText, int64_t Count,
                          const TFormatSettings& Settings);

}  // namespace dunstrel
