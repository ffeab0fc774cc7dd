#pragma once

#include <cstdint>

namespace dunstrel {

// The two ways a scan's sizes can be counted. Disk usage is the space the files take on the
// disk (allocated blocks, a file with several hard links once), as Linux tools count it; the
// apparent size is the sum of the sizes the files say they have.
enum class TSizeCount : uint8_t { DiskUsage, ApparentSize };

#ifdef _WIN32
inline constexpr TSizeCount kDefaultSizeCount = TSizeCount::ApparentSize;
#else
inline constexpr TSizeCount kDefaultSizeCount = TSizeCount::DiskUsage;
#endif

}  // namespace dunstrel
