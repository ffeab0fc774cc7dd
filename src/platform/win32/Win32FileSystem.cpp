#include <windows.h>

#include <cstdlib>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/win32/WideText.h"

namespace dunstrel::platform {

namespace {

DWORD AttributesOf(const std::string& Path) {
  return Path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(win32::ToWide(Path).c_str());
}

template <typename F>
std::string WideQuery(F&& Query) {
  std::vector<wchar_t> Buffer(MAX_PATH);
  for (;;) {
    const DWORD Length = Query(Buffer.data(), static_cast<DWORD>(Buffer.size()));
    if (Length == 0) {
      return {};
    }
    if (Length < Buffer.size()) {
      return win32::FromWide(std::wstring_view(Buffer.data(), Length));
    }
    Buffer.resize(Buffer.size() * 2);
  }
}

}  // namespace

bool DirectoryExists(const std::string& Path) {
  const DWORD Attributes = AttributesOf(Path);
  return Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::string& Path) {
  const DWORD Attributes = AttributesOf(Path);
  return Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

EEntryKind EntryKindOf(const std::string& Path) {
  const DWORD Attributes = AttributesOf(Path);
  if (Attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD Error = GetLastError();
    return Path.empty() || Error == ERROR_FILE_NOT_FOUND || Error == ERROR_PATH_NOT_FOUND
               ? EEntryKind::Missing
               : EEntryKind::Unknown;
  }
  return (Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EEntryKind::Folder : EEntryKind::File;
}

std::optional<TEntryInfo> GetEntryInfo(const std::string& Path) {
  WIN32_FILE_ATTRIBUTE_DATA Data{};
  if (Path.empty() ||
      !GetFileAttributesExW(win32::ToWide(Path).c_str(), GetFileExInfoStandard, &Data)) {
    return std::nullopt;
  }
  TEntryInfo Entry;
  Entry.IsDirectory = (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  Entry.Size =
      static_cast<int64_t>((static_cast<uint64_t>(Data.nFileSizeHigh) << 32) | Data.nFileSizeLow);
  Entry.Modified = (static_cast<TFileStamp>(Data.ftLastWriteTime.dwHighDateTime) << 32) |
                   Data.ftLastWriteTime.dwLowDateTime;
  return Entry;
}

std::string CurrentDirectory() {
  return WideQuery([](wchar_t* Buffer, DWORD Size) { return GetCurrentDirectoryW(Size, Buffer); });
}

std::string TempDirectory() {
  return StripTrailingDelimiter(
      WideQuery([](wchar_t* Buffer, DWORD Size) { return GetTempPathW(Size, Buffer); }));
}

std::string ExecutableDirectory() {
  return ParentPath(WideQuery(
      [](wchar_t* Buffer, DWORD Size) { return GetModuleFileNameW(nullptr, Buffer, Size); }));
}

std::string HomeDirectory() {
  const std::string Profile = WideQuery([](wchar_t* Buffer, DWORD Size) {
    return GetEnvironmentVariableW(L"USERPROFILE", Buffer, Size);
  });
  return Profile.empty() ? CurrentDirectory() : StripTrailingDelimiter(Profile);
}

std::string ResolveUserFolderPath(std::string_view Typed) {
  std::string Expanded(Typed);
  if (Typed == "~" || Typed.starts_with("~\\") || Typed.starts_with("~/")) {
    Expanded = HomeDirectory() + std::string(Typed.substr(1));
  }
  const std::wstring Wide = win32::ToWide(Expanded);
  const std::string Full = WideQuery([&](wchar_t* Buffer, DWORD Size) {
    return GetFullPathNameW(Wide.c_str(), Size, Buffer, nullptr);
  });
  // A drive root keeps its delimiter here ("C:\"): the scan removes it.
  return Full.size() > 3 ? StripTrailingDelimiter(Full) : Full;
}

}  // namespace dunstrel::platform
