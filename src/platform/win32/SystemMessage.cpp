#include "platform/win32/SystemMessage.h"

#include "platform/win32/WideText.h"

namespace dunstrel::platform::win32 {

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
  return Message.empty() ? "system error " + std::to_string(Code) : FromWide(Message);
}

TProblem ProblemOfCode(DWORD Code) {
  TProblemKind Kind = TProblemKind::Other;
  switch (Code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
      Kind = TProblemKind::PermissionDenied;
      break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      Kind = TProblemKind::NotFound;
      break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_BUSY:
      Kind = TProblemKind::Busy;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      Kind = TProblemKind::NoSpace;
      break;
    case ERROR_WRITE_PROTECT:
      Kind = TProblemKind::ReadOnly;
      break;
    case ERROR_TOO_MANY_OPEN_FILES:
      Kind = TProblemKind::TooManyOpen;
      break;
    case ERROR_DIRECTORY:
      Kind = TProblemKind::NotAFolder;
      break;
    default:
      break;
  }
  return {Kind, SystemMessage(Code)};
}

}  // namespace dunstrel::platform::win32
