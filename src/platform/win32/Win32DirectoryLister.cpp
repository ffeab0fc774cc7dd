#include <windows.h>

#include "platform/DirectoryLister.h"
#include "platform/win32/WideText.h"

namespace dunstrel::platform {

namespace {

class TWin32DirectoryLister final : public IDirectoryLister {
 public:
  bool List(const std::string& Folder, TDirListing& Out) override {
    Out.Clear();
    const std::wstring Pattern = win32::ToWide(Folder) + L"*";
    WIN32_FIND_DATAW Data{};
    const HANDLE Find = FindFirstFileExW(Pattern.c_str(), FindExInfoBasic, &Data,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (Find == INVALID_HANDLE_VALUE) {
      return false;
    }
    do {
      const bool IsDirectory = (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      const bool IsReparse = (Data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
      const int64_t Size = static_cast<int64_t>((static_cast<uint64_t>(Data.nFileSizeHigh) << 32) |
                                                Data.nFileSizeLow);
      const TFileStamp Stamp = (static_cast<uint64_t>(Data.ftLastWriteTime.dwHighDateTime) << 32) |
                               Data.ftLastWriteTime.dwLowDateTime;
      Out.Add(win32::FromWide(Data.cFileName), IsDirectory, IsReparse, Size, Stamp);
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
