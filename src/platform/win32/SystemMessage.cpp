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

}  // namespace dunstrel::platform::win32
