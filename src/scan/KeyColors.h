#pragma once

#include <cstdint>
#include <string_view>

#include "scan/PathKeys.h"

namespace dunstrel {

// 0x00BBGGRR: red in the lowest byte. 0xFF0000nn stands for the platform's system colour nn.
using TColor = uint32_t;

inline constexpr TColor kBlack = 0x000000;
inline constexpr TColor kWhite = 0xFFFFFF;
inline constexpr TColor kSilver = 0xC0C0C0;
inline constexpr TColor kGrey = 0x808080;

// The colour derived from a key text as it stands: 32-bit FNV-1a over its UTF-16 code units,
// the low 24 bits as 0x00BBGGRR with every channel at least 0x20. One text gives one colour in
// every scan and on every platform.
TColor ColorForKey(std::string_view Key);

// The colour of an extension, taken from its extension key (lower-cased, "(none)" when empty).
TColor ColorForExt(std::string_view Ext);

// The colour of a top-level folder and of everything below it in the folder map: its full
// path lower-cased with the user's locale.
TColor ColorForPath(std::string_view FullPath);

// The group colour of every duplicate file, by the file's path key.

// Every channel halved, rounding down.
inline TColor Darkened(TColor Color) {
  return (Color & 0xFEFEFE) >> 1;
}

}  // namespace dunstrel
