#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "platform/Paths.h"

namespace dunstrel {

// Where the file system tells names apart by case (Linux), a path is its own key: "Makefile"
// and "makefile" in one folder are two files and must never share a key, a selection or a
// duplicate colour. Where it does not (Windows), the key is the path upper-cased, so that every
// spelling of one file finds it.
inline constexpr bool kPathKeyIsThePath = !platform::kFileNamesIgnoreCase;

// The key under which the maps and views file a full path.
std::string PathKey(std::string_view FullPath);

// The key of an extension: lower-cased with the user's locale, so ".JPG" and ".jpg" are one
// type on every platform; "(none)" for a name without one.
std::string ExtKey(std::string_view Ext);

// The text before the last delimiter of the path of every file in the folder FolderPath: the
// folder's path itself, without the delimiter a root path such as "/" ends in.
inline std::string_view FolderPartOfFilePaths(std::string_view FolderPath) {
  if (!FolderPath.empty() && FolderPath.back() == platform::kPathDelimiter) {
    FolderPath.remove_suffix(1);
  }
  return FolderPath;
}

// Dictionaries keyed by those texts, searchable with a string_view.
struct TKeyHash {
  using is_transparent = void;
  size_t operator()(std::string_view Key) const { return std::hash<std::string_view>{}(Key); }
};

template <typename TValue>
using TKeyMap = std::unordered_map<std::string, TValue, TKeyHash, std::equal_to<>>;
using TKeySet = std::unordered_set<std::string, TKeyHash, std::equal_to<>>;

}  // namespace dunstrel
