#include <windows.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/DirectoryLister.h"
#include "platform/Paths.h"
#include "platform/win32/WideText.h"

namespace dunstrel::platform {

namespace {

// A batch of entries as the folder's handle gives them: large, so that a folder of thousands of
// entries takes few calls.
constexpr DWORD kBatchBytes = 64 * 1024;

// Folder with a trailing delimiter, as its handle is opened. Past the classic length limit only
// the "\\?\" form of a path can be opened, which takes the path as it is: "\" delimiters only.
std::wstring OpenablePathOf(const std::string& Folder) {
  std::wstring Path = win32::ToWide(WithTrailingDelimiter(Folder));
  if (Path.size() < MAX_PATH || Path.starts_with(L"\\\\?\\") || !IsAbsolutePath(Folder)) {
    return Path;
  }
  std::replace(Path.begin(), Path.end(), L'/', L'\\');
  return Path.starts_with(L"\\\\") ? L"\\\\?\\UNC\\" + Path.substr(2) : L"\\\\?\\" + Path;
}

int64_t Int64Of(const LARGE_INTEGER& Value) {
  return static_cast<int64_t>(Value.QuadPart);
}

// Lists a folder through its own handle, which gives each entry's allocated size beside its
// size (a sparse or compressed file takes less, a small one a whole cluster) without opening the
// entry. Its link count would take an open of every file, so files carry no link identity here.
class TWin32DirectoryLister final : public IDirectoryLister {
 public:
  TWin32DirectoryLister() : FBatch(kBatchBytes / sizeof(LONGLONG)) {}

  bool List(const std::string& Folder, TDirListing& Out) override {
    Out.Clear();
    const HANDLE Handle =
        CreateFileW(OpenablePathOf(Folder).c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (Handle == INVALID_HANDLE_VALUE) {
      return false;
    }
    auto* const Buffer = reinterpret_cast<char*>(FBatch.data());
    FILE_INFO_BY_HANDLE_CLASS Class = FileIdBothDirectoryRestartInfo;
    while (GetFileInformationByHandleEx(Handle, Class, Buffer, kBatchBytes)) {
      Class = FileIdBothDirectoryInfo;
      for (DWORD Offset = 0;;) {
        const auto* Info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(Buffer + Offset);
        AddEntry(*Info, Out);
        if (Info->NextEntryOffset == 0) {
          break;
        }
        Offset += Info->NextEntryOffset;
      }
    }
    // The end of the listing reads as "no more files"; anything else cut it short.
    const bool Listed = GetLastError() == ERROR_NO_MORE_FILES;
    CloseHandle(Handle);
    if (!Listed) {
      Out.Clear();
    }
    return Listed;
  }

 private:
  static void AddEntry(const FILE_ID_BOTH_DIR_INFO& Info, TDirListing& Out) {
    const std::wstring_view Name(Info.FileName, Info.FileNameLength / sizeof(WCHAR));
    if (Name == L"." || Name == L"..") {
      return;
    }
    TDirEntry Entry;
    Entry.IsDirectory = (Info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    Entry.IsReparse = (Info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    Entry.Size = Int64Of(Info.EndOfFile);
    Entry.Allocated = Int64Of(Info.AllocationSize);
    Entry.Stamp = static_cast<TFileStamp>(Info.LastWriteTime.QuadPart);
    Out.Add(win32::FromWide(Name), Entry);
  }

  // Aligned for the entries, whose fields are 8-byte values.
  std::vector<LONGLONG> FBatch;
};

}  // namespace

std::unique_ptr<IDirectoryLister> CreateDirectoryLister() {
  return std::make_unique<TWin32DirectoryLister>();
}

}  // namespace dunstrel::platform
