#pragma once

#include <string>
#include <string_view>

namespace dunstrel::platform {

#ifdef _WIN32
inline constexpr char kPathDelimiter = '\\';
// Windows compares file names without regard to case, so paths that differ only in case name
// one file there; on Linux they name two.
inline constexpr bool kFileNamesIgnoreCase = true;
#else
inline constexpr char kPathDelimiter = '/';
inline constexpr bool kFileNamesIgnoreCase = false;
#endif

// Removes one trailing delimiter ("C:\" gives "C:", "/home/" gives "/home"). The root "/" keeps
// its delimiter: it is the one folder path that ends in one.
std::string StripTrailingDelimiter(std::string_view Path);

// The last component of a folder path: the text after the last delimiter (or drive colon).
// The root "/" answers "/"; a drive root such as "C:" answers "".
std::string_view LastComponent(std::string_view FolderPath);

// Folder path followed by one delimiter, unless it already ends in one.
std::string WithTrailingDelimiter(std::string_view FolderPath);

// Appends one delimiter (unless FolderPath ends in one) and Name to Out.
void AppendChildPath(std::string_view FolderPath, std::string_view Name, std::string& Out);

bool IsAbsolutePath(std::string_view Path);

// The folder part of a path ("/a/b" gives "/a", "/a" gives "/"); empty when there is none.
std::string ParentPath(std::string_view Path);

}  // namespace dunstrel::platform
