#pragma once

#include <string>
#include <string_view>

namespace dunstrel::platform {

// Where a file is saved: the folder to open (empty for the current one) and the file's own name
// in it. Name is empty when the path ends in a delimiter or its last component is "." or "..",
// so that it names no file.
struct TSaveTarget {
  std::string Folder;
  std::string Name;
};
TSaveTarget SplitSaveTarget(std::string_view Path);

// A name for the new file of one save beside the file Name: hidden, with random letters that
// nobody can guess beforehand, different on every call, and short enough for any file system.
std::string TemporarySaveName(std::string_view Name);

}  // namespace dunstrel::platform
