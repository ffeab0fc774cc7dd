#pragma once

#include <cstdint>
#include <string>

#include "localisation/TextFormat.h"
#include "results/BaselineComparison.h"

namespace dunstrel {

// "%d B", "%.1f KB", "%.1f MB", "%.2f GB" or "%.2f TB", chosen on the byte count; the format
// is translated before it is filled.
std::string FormatSize(int64_t Bytes, const TFormatSettings& Settings);

// Part / Total as "%.2f%%"; "0.00%" when Total is not positive.
std::string FormatPercent(int64_t Part, int64_t Total, const TFormatSettings& Settings);

// Growth since a baseline as a signed size ("+1.20 GB", "-30.0 KB"), "new" for an entry the
// baseline lacks, nothing for one unchanged.
std::string FormatGrowth(const TGrowth& Growth, const TFormatSettings& Settings);
// An entry only the baseline has.
std::string FormatRemoved();

// "yyyy-mm-dd hh:nn" with the user's time separator.
std::string FormatDateTimeText(double Value, const TFormatSettings& Settings);

}  // namespace dunstrel
