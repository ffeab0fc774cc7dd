#include <windows.h>

#include <shellapi.h>  // after windows.h, which they need
#include <winternl.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/FileRemoval.h"
#include "platform/RemovalTarget.h"
#include "platform/win32/SystemMessage.h"
#include "platform/win32/WideText.h"

namespace dunstrel::platform {

namespace {

constexpr const char* kRootRefused = "it is the root folder of a drive, which is never deleted";

bool Refuse(TProblem* Failure, TProblem Why) {
  if (Failure != nullptr) {
    *Failure = std::move(Why);
  }
  return false;
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

// Opens the entry Name of the open folder Parent itself, never what a reparse point (symbolic
// link, junction, mounted volume) refers to; a folder also to be listed. The entry is named by
// its parent's handle and its own name, so no path is resolved again. Without FILE_SHARE_DELETE,
// so that while it is open nobody can rename it or swap it for a link: every folder being
// emptied is held so, from the deleted one down, and listed through its handle.
THandle OpenEntry(HANDLE Parent, const std::wstring& Name, bool AsFolder) {
  if (Name.size() * sizeof(wchar_t) > 0xFFFF) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return THandle(INVALID_HANDLE_VALUE);
  }
  UNICODE_STRING Unicode;
  Unicode.Buffer = const_cast<wchar_t*>(Name.c_str());
  Unicode.Length = Unicode.MaximumLength = static_cast<USHORT>(Name.size() * sizeof(wchar_t));
  OBJECT_ATTRIBUTES Attributes;
  InitializeObjectAttributes(&Attributes, &Unicode, OBJ_CASE_INSENSITIVE, Parent, nullptr);
  IO_STATUS_BLOCK Io{};
  HANDLE Entry = nullptr;
  const ACCESS_MASK Access = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE |
                             (AsFolder ? FILE_LIST_DIRECTORY : 0);
  const NTSTATUS Status = NtCreateFile(
      &Entry, Access, &Attributes, &Io, nullptr, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_OPEN,
      FILE_OPEN_REPARSE_POINT | FILE_OPEN_FOR_BACKUP_INTENT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr,
      0);
  if (!NT_SUCCESS(Status)) {
    SetLastError(RtlNtStatusToDosError(Status));
    return THandle(INVALID_HANDLE_VALUE);
  }
  return THandle(Entry);
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
  // True when the entry Name of the open folder Parent is gone; otherwise Failure() says why
  // (the first fault met).
  bool Remove(HANDLE Parent, const std::wstring& Name) {
    Enter(Parent, Name, false);
    while (!FLevels.empty()) {
      Step();
    }
    return !FFailed;
  }

  const TProblem& Failure() const { return FFailure; }

 private:
  struct TLevel {
    THandle Folder;
    DWORD Attributes = 0;
    std::vector<std::pair<std::wstring, bool>> Entries;  // name, and whether listed as a folder
    size_t Next = 0;
  };

  void Fail(DWORD Code) {
    if (!FFailed) {
      FFailed = true;
      FFailure = win32::ProblemOfCode(Code);
    }
  }

  // Removes the entry Name of Parent when it is no real folder; otherwise lists it and holds it
  // open as the deepest level, to be emptied and then removed.
  void Enter(HANDLE Parent, const std::wstring& Name, bool ListedAsFolder) {
    THandle Entry = OpenEntry(Parent, Name, ListedAsFolder);
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
      Enter(Parent, Name, true);
      return;
    }
    TLevel Level{std::move(Entry), Info.dwFileAttributes, {}, 0};
    if (!List(Level.Folder, Level.Entries)) {
      Fail(GetLastError());
      return;  // the folder stays: it could not be emptied
    }
    FLevels.push_back(std::move(Level));
  }

  void Step() {
    TLevel& Current = FLevels.back();
    if (Current.Next < Current.Entries.size()) {
      const HANDLE Folder = Current.Folder.Get();
      const auto [Name, IsFolder] = Current.Entries[Current.Next++];
      Enter(Folder, Name, IsFolder);  // may add a level, moving Current
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
  bool FFailed = false;
  TProblem FFailure;
};

// The item a removal is given, read without interpreting its path; nothing, with the reason in
// Failure, for a path that is refused or names the root of a drive or a mounted volume.
std::optional<TRemovalTarget> RemovableTarget(const std::string& Path, TProblem* Failure) {
  if (Failure != nullptr) {
    *Failure = {};
  }
  std::string Why;
  std::optional<TRemovalTarget> Target = ReadRemovalTarget(Path, Why);
  if (!Target) {
    Refuse(Failure, {TProblemKind::RefusedPath, Why});
    return std::nullopt;
  }
  if (Target->Name.empty() || IsVolumeRoot(win32::ToWide(Target->Path))) {
    Refuse(Failure, {TProblemKind::RefusedPath, kRootRefused});
    return std::nullopt;
  }
  return Target;
}

}  // namespace

bool DeletePermanently(const std::string& Path, TProblem* Failure) {
  const std::optional<TRemovalTarget> Target = RemovableTarget(Path, Failure);
  if (!Target) {
    return false;
  }
  // The folder that holds the item, as the system resolves its path; the item itself is then
  // named through it.
  const THandle Parent(CreateFileW(LongPath(win32::ToWide(Target->Parent)).c_str(),
                                   FILE_LIST_DIRECTORY | SYNCHRONIZE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!Parent.IsOpen()) {
    return Refuse(Failure, win32::ProblemOfCode(GetLastError()));
  }
  TRemover Remover;
  if (!Remover.Remove(Parent.Get(), win32::ToWide(Target->Name))) {
    return Refuse(Failure, Remover.Failure());
  }
  return true;
}

bool MoveToTrash(const std::string& Path, TProblem* Failure) {
  const std::optional<TRemovalTarget> Target = RemovableTarget(Path, Failure);
  if (!Target) {
    return false;
  }
  const std::wstring Full = win32::ToWide(Target->Path);
  if (GetFileAttributesW(LongPath(Full).c_str()) == INVALID_FILE_ATTRIBUTES) {
    return Refuse(Failure, win32::ProblemOfCode(GetLastError()));
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
    return Refuse(Failure, {TProblemKind::Other, Result != 0 ? "the recycle bin refused it (code " +
                                                                   std::to_string(Result) + ")"
                                                             : "it was kept, as asked"});
  }
  if (GetFileAttributesW(LongPath(Full).c_str()) != INVALID_FILE_ATTRIBUTES) {
    return Refuse(Failure, {TProblemKind::Other, "it is still there"});
  }
  return true;
}

}  // namespace dunstrel::platform
