#include "scan/PathKeys.h"

#include "platform/TextCasing.h"
#include "scan/ExtStats.h"

namespace dunstrel {

std::string PathKey(std::string_view FullPath) {
  if constexpr (kPathKeyIsThePath) {
    return std::string(FullPath);
  } else {
    return platform::UserTextCasing().ToUpper(FullPath);
  }
}

std::string ExtKey(std::string_view Ext) {
  std::string Key = platform::UserTextCasing().ToLower(Ext);
  if (Key.empty()) {
    Key = kNoExtensionKey;
  }
  return Key;
}

}  // namespace dunstrel
