#include <windows.h>

#include <algorithm>

#include "platform/DirectoryLister.h"
#include "platform/Paths.h"
#include "platform/win32/WideText.h"

namespace dunstrel::platform {

namespace {

// The search pattern for every entry of Folder. Past the classic length limit only the "\\?\"
// form of a path can be opened, which takes the path as it is: "\" delimiters only.
std::wstring PatternOf(const std::string& Folder) {
  std::wstring Pattern = win32::ToWide(WithTrailingDelimiter(Folder)) + L"*";
  if (Pattern.size() < MAX_PATH || Pattern.starts_with(L"\\\\?\\") || !IsAbsolutePath(Folder)) {
    return Pattern;
  }
  std::replace(Pattern.begin(), Pattern.end(), L'/', L'\\');
  return Pattern.starts_with(L"\\\\") ? L"\\\\?\\UNC\\" + Pattern.substr(2) : L"\\\\?\\" + Pattern;
}

class TWin32DirectoryLister final : public IDirectoryLister {
 public:
  bool List(const std::string& Folder, TDirListing& Out) override {
    Out.Clear();
    const std::wstring Pattern = PatternOf(Folder);
    WIN32_FIND_DATAW Data{};
    const HANDLE Find = FindFirstFileExW(Pattern.c_str(), FindExInfoBasic, &Data,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (Find == INVALID_HANDLE_VALUE) {
      return false;
    }
    do {
      const std::wstring_view Name(Data.cFileName);
      if (Name == L"." || Name == L"..") {
        continue;
      }
      const bool IsDirectory = (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      const bool IsReparse = (Data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
      const int64_t Size = static_cast<int64_t>((static_cast<uint64_t>(Data.nFileSizeHigh) << 32) |
                                                Data.nFileSizeLow);
      const TFileStamp Stamp = (static_cast<uint64_t>(Data.ftLastWriteTime.dwHighDateTime) << 32) |
                               Data.ftLastWriteTime.dwLowDateTime;
      Out.Add(win32::FromWide(Name), IsDirectory, IsReparse, Size, Stamp);
    } while (FindNextFileW(Find, &Data));
    FindClose(Find);
    return true;
  }
};

}  // namespace

std::unique_ptr<IDirectoryLister> CreateDirectoryLister() {
  return std::make_unique<TWin32DirectoryLister>();
}

}  // namespace dunstrel::platform
