#include "results/SelectionText.h"

#include "localisation/translation.h"

namespace dunstrel {

std::string SelectionText(std::string_view Path, std::string_view SizeText, int64_t Count,
                          const TFormatSettings& Settings) {
  if (Path.empty()) {
    return Translate("Ready");
  }
  if (Count < 2) {
    return FormatText(Translate("%s  %s"), {Path, SizeText}, Settings);
  }
  return FormatText(Translate("%s  %s  (%d selected)"), {Path, SizeText, Count}, Settings);
}

}  // namespace dunstrel
