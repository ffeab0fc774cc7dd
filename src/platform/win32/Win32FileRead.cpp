#include <windows.h>

#include "platform/FileRead.h"
#include "platform/win32/SystemMessage.h"
#include "platform/win32/WideText.h"

namespace dunstrel::platform {

struct TFileRead::TImpl {
  HANDLE File = INVALID_HANDLE_VALUE;
  EFailure Failure = EFailure::None;
  TProblem Problem;

  void Fail(DWORD Code) {
    Failure = EFailure::System;
    Problem = win32::ProblemOfCode(Code);
  }
};

TFileRead::TFileRead(const std::string& Path) : FImpl(std::make_unique<TImpl>()) {
  TImpl& F = *FImpl;
  const std::wstring Wide = win32::ToWide(Path);
  const DWORD Attributes = GetFileAttributesW(Wide.c_str());
  if (Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    F.Failure = EFailure::NotAFile;
    F.Problem = {TProblemKind::NotAFile, "not a file"};
    return;
  }
  F.File = CreateFileW(Wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (F.File == INVALID_HANDLE_VALUE) {
    F.Fail(GetLastError());
    return;
  }
  // A pipe or a device (a console, a serial port) is no file to read a scan from.
  if (GetFileType(F.File) != FILE_TYPE_DISK) {
    F.Failure = EFailure::NotAFile;
    F.Problem = {TProblemKind::NotAFile, "not a file"};
    CloseHandle(F.File);
    F.File = INVALID_HANDLE_VALUE;
  }
}

TFileRead::~TFileRead() {
  if (FImpl->File != INVALID_HANDLE_VALUE) {
    CloseHandle(FImpl->File);
  }
}

bool TFileRead::IsOpen() const {
  return FImpl->File != INVALID_HANDLE_VALUE;
}

int64_t TFileRead::Read(char* Buffer, size_t Size) {
  TImpl& F = *FImpl;
  if (F.File == INVALID_HANDLE_VALUE) {
    return -1;
  }
  DWORD Got = 0;
  const DWORD Wanted = Size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(Size);
  if (!ReadFile(F.File, Buffer, Wanted, &Got, nullptr)) {
    F.Fail(GetLastError());
    return -1;
  }
  return Got;
}

TFileRead::EFailure TFileRead::Failure() const {
  return FImpl->Failure;
}

const TProblem& TFileRead::Problem() const {
  return FImpl->Problem;
}

}  // namespace dunstrel::platform
