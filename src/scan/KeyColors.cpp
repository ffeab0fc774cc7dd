#include "scan/KeyColors.h"

#include "platform/TextCasing.h"
#include "platform/TextEncoding.h"
#include "scan/PathKeys.h"

namespace dunstrel {

TColor ColorForKey(std::string_view Key) {
  uint32_t Hash = 0x811C9DC5;
  platform::ForEachUtf16Unit(Key, [&Hash](uint16_t Unit) {
    Hash ^= Unit;
    Hash *= 0x01000193;
  });
  return (Hash & 0xFFFFFF) | 0x202020;
}

TColor ColorForExt(std::string_view Ext) {
  return ColorForKey(ExtKey(Ext));
}

TColor ColorForPath(std::string_view FullPath) {
  return ColorForKey(platform::UserTextCasing().ToLower(FullPath));
}

}  // namespace dunstrel
