#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/LocalTime.h"

namespace dunstrel::platform {

bool DirectoryExists(const std::string& Path);  // follows links
bool FileExists(const std::string& Path);       // an existing entry that is not a folder
// What a path names, following links: nothing (Missing), a folder, a regular file, or another
// kind of entry (a FIFO, a device, a socket). Unknown when it cannot be looked at.
enum class EEntryKind { Missing, Folder, File, Other, Unknown };
EEntryKind EntryKindOf(const std::string& Path);

std::string CurrentDirectory();
std::string TempDirectory();
std::string ExecutableDirectory();
std::string HomeDirectory();

struct TEntryInfo {
  bool IsDirectory = false;
  int64_t Size = 0;
  TFileStamp Modified = 0;
};
// What a properties window shows of an existing file or folder (following links).
std::optional<TEntryInfo> GetEntryInfo(const std::string& Path);

// A folder path as the user typed it, made absolute: "~" and "~/..." mean the home folder, a
// relative path is taken from the current folder. "." and ".." components are resolved textually
// and repeated delimiters are collapsed.
std::string ResolveUserFolderPath(std::string_view Typed);

}  // namespace dunstrel::platform
