#include "results/ScanSummary.h"

#include "localisation/translation.h"
#include "results/ValueFormat.h"

namespace dunstrel {

std::string ScanSummaryLine(int64_t Files, int64_t TotalBytes, int64_t UnreadableFolders,
                            const TFormatSettings& Settings) {
  std::string Line = FormatText(Translate("Done. Total files: %d   Total size: %s"),
                                {Files, FormatSize(TotalBytes, Settings)}, Settings);
  if (UnreadableFolders == 1) {
    Line += "   " + Translate("(1 folder could not be read)");
  } else if (UnreadableFolders > 1) {
    Line += "   " +
            FormatText(Translate("(%d folders could not be read)"), {UnreadableFolders}, Settings);
  }
  return Line;
}

}  // namespace dunstrel
