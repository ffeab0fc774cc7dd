#include <windows.h>

#include <shellapi.h>  // after windows.h, which it needs

#include <string>
#include <vector>

#include "platform/FileRemoval.h"
#include "platform/win32/WideText.h"

namespace dunstrel::platform {

namespace {

constexpr const char* kRootRefused = "it is the root folder of a drive, which is never deleted";

// The system's text for an error code, in English where the system has it.
std::string SystemMessage(DWORD Code) {
  wchar_t* Text = nullptr;
  const DWORD Flags =
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  DWORD Length = FormatMessageW(Flags, nullptr, Code, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                reinterpret_cast<wchar_t*>(&Text), 0, nullptr);
  if (Length == 0) {
    Length = FormatMessageW(Flags, nullptr, Code, 0, reinterpret_cast<wchar_t*>(&Text), 0, nullptr);
  }
  std::wstring Message(Text != nullptr ? Text : L"", Length);
  LocalFree(Text);
  while (!Message.empty() && (Message.back() == L'\n' || Message.back() == L'\r' ||
                              Message.back() == L' ' || Message.back() == L'.')) {
    Message.pop_back();
  }
  return Message.empty() ? "system error " + std::to_string(Code) : win32::FromWide(Message);
}

bool Refuse(std::string* Failure, const std::string& Why) {
  if (Failure != nullptr) {
    *Failure = Why;
  }
  return false;
}

// The absolute form of Path, ".." and "." resolved. "C:" alone means the root of drive C here,
// as the scan names a drive (not the current folder on that drive, as Windows would read it).
std::wstring FullPath(const std::string& Path) {
  std::wstring Wide = win32::ToWide(Path);
  if (Wide.size() == 2 && Wide[1] == L':') {
    Wide.push_back(L'\\');
  }
  const DWORD Needed = GetFullPathNameW(Wide.c_str(), 0, nullptr, nullptr);
  if (Needed == 0) {
    return {};
  }
  std::wstring Full(Needed, L'\0');
  const DWORD Length = GetFullPathNameW(Wide.c_str(), Needed, Full.data(), nullptr);
  Full.resize(Length < Needed ? Length : 0);
  return Full;
}

// The "\\?\" form of a full path, to which no length limit applies.
std::wstring LongPath(const std::wstring& Full) {
  if (Full.starts_with(L"\\\\?\\")) {
    return Full;
  }
  if (Full.starts_with(L"\\\\")) {
    return L"\\\\?\\UNC\\" + Full.substr(2);
  }
  return L"\\\\?\\" + Full;
}

// True for the root of a drive ("C:\"), of a network share ("\\server\share\") and of a volume
// mounted in a folder.
bool IsVolumeRoot(std::wstring Full) {
  if (Full.back() != L'\\') {
    Full.push_back(L'\\');
  }
  if (Full.size() == 3 && Full[1] == L':') {
    return true;
  }
  std::wstring Volume(Full.size() + MAX_PATH, L'\0');
  if (!GetVolumePathNameW(Full.c_str(), Volume.data(), static_cast<DWORD>(Volume.size()))) {
    return false;
  }
  Volume.resize(wcslen(Volume.c_str()));
  return CompareStringOrdinal(Volume.c_str(), static_cast<int>(Volume.size()), Full.c_str(),
                              static_cast<int>(Full.size()), TRUE) == CSTR_EQUAL;
}

class THandle {
 public:
  explicit THandle(HANDLE Handle) : FHandle(Handle) {}
  ~THandle() { Close(); }
  THandle(THandle&& Other) noexcept : FHandle(Other.FHandle) {
    Other.FHandle = INVALID_HANDLE_VALUE;
  }
  THandle& operator=(THandle&&) = delete;
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;

  bool IsOpen() const { return FHandle != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return FHandle; }
  void Close() {
    if (IsOpen()) {
      CloseHandle(FHandle);
      FHandle = INVALID_HANDLE_VALUE;
    }
  }

 private:
  HANDLE FHandle;
};

// Opens the entry at Path itself, never what a reparse point (symbolic link, junction, mounted
// volume) refers to; a folder also to be listed. Without FILE_SHARE_DELETE, so that while it is
// open nobody can rename it or swap it for a link: every folder being emptied is held so, from
// the deleted one down, and listed through its handle.
THandle OpenEntry(const std::wstring& Path, bool AsFolder) {
  const DWORD Access = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE |
                       (AsFolder ? FILE_LIST_DIRECTORY : 0);
  return THandle(CreateFileW(Path.c_str(), Access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

bool IsRealFolder(DWORD Attributes) {
  return (Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         (Attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

// Marks the open entry for deletion when its handle closes; a read-only entry is made writable
// first, as deleting it means to.
bool MarkForDeletion(const THandle& Entry, DWORD Attributes) {
  if ((Attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    FILE_BASIC_INFO Basic{};
    Basic.FileAttributes = Attributes & ~FILE_ATTRIBUTE_READONLY;
    if (Basic.FileAttributes == 0) {
      Basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    }
    if (!SetFileInformationByHandle(Entry.Get(), FileBasicInfo, &Basic, sizeof Basic)) {
      return false;
    }
  }
  FILE_DISPOSITION_INFO Disposition{};
  Disposition.DeleteFile = TRUE;
  return SetFileInformationByHandle(Entry.Get(), FileDispositionInfo, &Disposition,
                                    sizeof Disposition) != 0;
}

// Removes an entry and, for a real folder, everything in it, depth-first with an explicit stack
// so that no depth the file system allows overflows the call stack. Reparse points are removed
// as themselves and never entered: the kind of each entry is read from its open handle, not
// from its folder's listing, so an entry swapped for a link after the listing is not followed.
class TRemover {
 public:
  // True when Path is gone; otherwise Failure() says why (the first fault met).
  bool Remove(const std::wstring& Path) {
    const DWORD Attributes = GetFileAttributesW(Path.c_str());
    if (Attributes == INVALID_FILE_ATTRIBUTES) {
      Fail(GetLastError());
      return false;
    }
    Enter(Path, IsRealFolder(Attributes));
    while (!FLevels.empty()) {
      Step();
    }
    return FFailure.empty();
  }

  const std::string& Failure() const { return FFailure; }

 private:
  struct TLevel {
    std::wstring Path;
    THandle Folder;
    DWORD Attributes = 0;
    std::vector<std::pair<std::wstring, bool>> Entries;  // name, and whether listed as a folder
    size_t Next = 0;
  };

  void Fail(DWORD Code) {
    if (FFailure.empty()) {
      FFailure = SystemMessage(Code);
    }
  }

  // Removes the entry at Path when it is no real folder; otherwise lists it and holds it open
  // as the deepest level, to be emptied and then removed.
  void Enter(const std::wstring& Path, bool ListedAsFolder) {
    THandle Entry = OpenEntry(Path, ListedAsFolder);
    BY_HANDLE_FILE_INFORMATION Info{};
    if (!Entry.IsOpen() || !GetFileInformationByHandle(Entry.Get(), &Info)) {
      Fail(GetLastError());
      return;
    }
    if (!IsRealFolder(Info.dwFileAttributes)) {
      if (!MarkForDeletion(Entry, Info.dwFileAttributes)) {
        Fail(GetLastError());
      }
      return;
    }
    if (!ListedAsFolder) {
      // A folder now where the listing saw none: opened again, to be listed too.
      Entry.Close();
      Enter(Path, true);
      return;
    }
    TLevel Level{Path, std::move(Entry), Info.dwFileAttributes, {}, 0};
    if (!List(Level.Folder, Level.Entries)) {
      Fail(GetLastError());
      return;  // the folder stays: it could not be emptied
    }
    FLevels.push_back(std::move(Level));
  }

  void Step() {
    TLevel& Current = FLevels.back();
    if (Current.Next < Current.Entries.size()) {
      const auto& [Name, IsFolder] = Current.Entries[Current.Next++];
      Enter(Current.Path + L'\\' + Name, IsFolder);  // may add a level, moving Current
      return;
    }
    // Emptied as far as it could be: what stayed makes the removal fail, which the first
    // failure already says.
    if (!MarkForDeletion(Current.Folder, Current.Attributes)) {
      Fail(GetLastError());
    }
    FLevels.pop_back();
  }

  // The entries of the open folder, without "." and "..".
  static bool List(const THandle& Folder, std::vector<std::pair<std::wstring, bool>>& Entries) {
    alignas(8) static thread_local BYTE Buffer[64 * 1024];
    for (FILE_INFO_BY_HANDLE_CLASS Class = FileFullDirectoryRestartInfo;;
         Class = FileFullDirectoryInfo) {
      if (!GetFileInformationByHandleEx(Folder.Get(), Class, Buffer, sizeof Buffer)) {
        return GetLastError() == ERROR_NO_MORE_FILES;
      }
      for (size_t Offset = 0;;) {
        const auto* Info = reinterpret_cast<const FILE_FULL_DIR_INFO*>(Buffer + Offset);
        const std::wstring_view Name(Info->FileName, Info->FileNameLength / sizeof(wchar_t));
        if (Name != L"." && Name != L"..") {
          Entries.emplace_back(Name, IsRealFolder(Info->FileAttributes));
        }
        if (Info->NextEntryOffset == 0) {
          break;
        }
        Offset += Info->NextEntryOffset;
      }
    }
  }

  std::vector<TLevel> FLevels;
  std::string FFailure;
};

// The full path of an item that may be removed; empty, with the reason in Failure, for no path
// or the root of a drive.
std::wstring RemovableFullPath(const std::string& Path, std::string* Failure) {
  if (Failure != nullptr) {
    Failure->clear();
  }
  if (Path.empty()) {
    Refuse(Failure, "no path was given");
    return {};
  }
  std::wstring Full = FullPath(Path);
  if (Full.empty()) {
    Refuse(Failure, SystemMessage(GetLastError()));
    return {};
  }
  if (IsVolumeRoot(Full)) {
    Refuse(Failure, kRootRefused);
    return {};
  }
  return Full;
}

}  // namespace

bool DeletePermanently(const std::string& Path, std::string* Failure) {
  const std::wstring Full = RemovableFullPath(Path, Failure);
  if (Full.empty()) {
    return false;
  }
  TRemover Remover;
  if (!Remover.Remove(LongPath(Full))) {
    return Refuse(Failure, Remover.Failure());
  }
  return true;
}

bool MoveToTrash(const std::string& Path, std::string* Failure) {
  const std::wstring Full = RemovableFullPath(Path, Failure);
  if (Full.empty()) {
    return false;
  }
  if (GetFileAttributesW(LongPath(Full).c_str()) == INVALID_FILE_ATTRIBUTES) {
    return Refuse(Failure, SystemMessage(GetLastError()));
  }
  // The recycle bin's own operation. Where it cannot keep an item (a drive without a recycle
  // bin, an item too large for it) it would destroy the item silently under FOF_NOCONFIRMATION;
  // FOF_WANTNUKEWARNING makes it ask the user instead.
  const std::wstring From = Full + L'\0';  // a list of names, ended by an empty one
  SHFILEOPSTRUCTW Operation{};
  Operation.wFunc = FO_DELETE;
  Operation.pFrom = From.c_str();
  Operation.fFlags =
      FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT | FOF_WANTNUKEWARNING;
  const int Result = SHFileOperationW(&Operation);
  if (Result != 0 || Operation.fAnyOperationsAborted) {
    return Refuse(Failure, Result != 0
                               ? "the recycle bin refused it (code " + std::to_string(Result) + ")"
                               : "it was kept, as asked");
  }
  if (GetFileAttributesW(LongPath(Full).c_str()) != INVALID_FILE_ATTRIBUTES) {
    return Refuse(Failure, "it is still there");
  }
  return true;
}

}  // namespace dunstrel::platform
