#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dunstrel::platform {

bool DirectoryExists(const std::string& Path);  // follows links
bool FileExists(const std::string& Path);       // an existing entry that is not a folder
std::string CurrentDirectory();
std::string TempDirectory();
std::string ExecutableDirectory();
std::string HomeDirectory();

// A folder path as the user typed it, made absolute: "~" and "~/..." mean the home folder, a
// relative path is taken from the current folder. "." and ".." components are resolved textually
// and repeated delimiters are collapsed.
std::string ResolveUserFolderPath(std::string_view Typed);

}  // namespace dunstrel::platform
