#include <windows.h>

#include "platform/FileSave.h"
#include "platform/SaveTarget.h"
#include "platform/win32/SystemMessage.h"
#include "platform/win32/WideText.h"

namespace dunstrel::platform {

namespace {

constexpr int kNameAttempts = 100;

}  // namespace

struct TFileSave::TImpl {
  HANDLE File = INVALID_HANDLE_VALUE;
  std::wstring Target;
  std::wstring Temp;
  std::string FolderPath;
  TProblem Failure;

  void Fail(std::string Where, DWORD Code) {
    Failure = win32::ProblemOfCode(Code);
    Failure.Path = std::move(Where);
  }

  void RemoveNewFile() {
    if (File != INVALID_HANDLE_VALUE) {
      // Marked for deletion through its own handle: no other file can be hit by the name.
      FILE_DISPOSITION_INFO Disposition{};
      Disposition.DeleteFile = TRUE;
      SetFileInformationByHandle(File, FileDispositionInfo, &Disposition, sizeof Disposition);
      CloseHandle(File);
      File = INVALID_HANDLE_VALUE;
    } else if (!Temp.empty()) {
      DeleteFileW(Temp.c_str());  // closed, renamed by nobody but this save: its random name
    }
    Temp.clear();
  }
};

TFileSave::TFileSave(const std::string& Target) : FImpl(std::make_unique<TImpl>()) {
  TImpl& F = *FImpl;
  const TSaveTarget Split = SplitSaveTarget(Target);
  if (Split.Name.empty()) {
    F.Failure = {TProblemKind::NotAFile, "it names a folder, not a file"};
    return;
  }
  F.FolderPath = Split.Folder.empty() ? "." : Split.Folder;
  F.Target = win32::ToWide(Target);
  std::wstring Folder = win32::ToWide(Split.Folder);
  if (!Folder.empty() && Folder.back() != L'\\' && Folder.back() != L'/') {
    Folder.push_back(L'\\');
  }
  for (int Attempt = 0; Attempt < kNameAttempts; ++Attempt) {
    const std::wstring Temp = Folder + win32::ToWide(TemporarySaveName(Split.Name));
    // CREATE_NEW: a name that exists, a link included, is never opened.
    F.File = CreateFileW(Temp.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (F.File != INVALID_HANDLE_VALUE) {
      F.Temp = Temp;
      return;
    }
    const DWORD Error = GetLastError();
    if (Error != ERROR_FILE_EXISTS && Error != ERROR_ALREADY_EXISTS) {
      F.Fail(F.FolderPath, Error);
      return;
    }
  }
  F.Fail(F.FolderPath, ERROR_FILE_EXISTS);
}

TFileSave::~TFileSave() {
  FImpl->RemoveNewFile();
}

bool TFileSave::IsOpen() const {
  return FImpl->File != INVALID_HANDLE_VALUE;
}

bool TFileSave::Write(std::string_view Bytes) {
  TImpl& F = *FImpl;
  if (F.File == INVALID_HANDLE_VALUE) {
    return false;
  }
  while (!Bytes.empty()) {
    const DWORD Chunk = Bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(Bytes.size());
    DWORD Written = 0;
    if (!WriteFile(F.File, Bytes.data(), Chunk, &Written, nullptr)) {
      F.Fail(win32::FromWide(F.Temp), GetLastError());
      F.RemoveNewFile();
      return false;
    }
    Bytes.remove_prefix(Written);
  }
  return true;
}

bool TFileSave::Commit() {
  TImpl& F = *FImpl;
  if (F.File == INVALID_HANDLE_VALUE) {
    return false;
  }
  if (!FlushFileBuffers(F.File)) {
    F.Fail(win32::FromWide(F.Temp), GetLastError());
    F.RemoveNewFile();
    return false;
  }
  CloseHandle(F.File);
  F.File = INVALID_HANDLE_VALUE;
  // Replaces the target itself: a link there is replaced, never followed.
  if (!MoveFileExW(F.Temp.c_str(), F.Target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    F.Fail({}, GetLastError());
    F.RemoveNewFile();
    return false;
  }
  F.Temp.clear();
  return true;
}

const TProblem& TFileSave::Failure() const {
  return FImpl->Failure;
}

}  // namespace dunstrel::platform
