#include <windows.h>

#include "platform/TextCasing.h"
#include "platform/TextEncoding.h"
#include "platform/win32/WideText.h"

namespace dunstrel::platform {

namespace {

class TWin32TextCasing final : public ITextCasing {
 public:
  explicit TWin32TextCasing(std::wstring LocaleName) : FLocale(std::move(LocaleName)) {
    wchar_t Language[LOCALE_NAME_MAX_LENGTH] = {};
    GetLocaleInfoEx(LocaleNameOrDefault(), LOCALE_SISO639LANGNAME, Language,
                    LOCALE_NAME_MAX_LENGTH);
    const std::wstring_view Code(Language);
    FAsciiLikeRoot = Code != L"tr" && Code != L"az";
  }

  std::string ToUpper(std::string_view Text) const override { return Map(Text, LCMAP_UPPERCASE); }
  std::string ToLower(std::string_view Text) const override { return Map(Text, LCMAP_LOWERCASE); }
  bool MapsAsciiLikeRoot() const override { return FAsciiLikeRoot; }

 private:
  const wchar_t* LocaleNameOrDefault() const {
    return FLocale.empty() ? LOCALE_NAME_USER_DEFAULT : FLocale.c_str();
  }

  // Cases the runs of valid UTF-8 and keeps every other byte as it is (a name from another
  // system, or a lone surrogate kept as WTF-8), so that casing never changes such a byte.
  std::string Map(std::string_view Text, DWORD Flags) const {
    std::string Result;
    Result.reserve(Text.size());
    size_t RunStart = 0;
    for (size_t Pos = 0; Pos < Text.size();) {
      const TDecodedChar Ch = DecodeUtf8At(Text, Pos);
      if (!Ch.Valid) {
        Result += MapValid(Text.substr(RunStart, Pos - RunStart), Flags);
        Result.append(Text.substr(Pos, Ch.Length));
        RunStart = Pos + Ch.Length;
      }
      Pos += Ch.Length;
    }
    Result += MapValid(Text.substr(RunStart), Flags);
    return Result;
  }

  std::string MapValid(std::string_view Text, DWORD Flags) const {
    const std::wstring Wide = win32::ToWide(Text);
    if (Wide.empty()) {
      return {};
    }
    const DWORD AllFlags = Flags | LCMAP_LINGUISTIC_CASING;
    const int Length =
        LCMapStringEx(LocaleNameOrDefault(), AllFlags, Wide.c_str(), static_cast<int>(Wide.size()),
                      nullptr, 0, nullptr, nullptr, 0);
    if (Length <= 0) {
      return std::string(Text);
    }
    std::wstring Mapped(static_cast<size_t>(Length), L'\0');
    LCMapStringEx(LocaleNameOrDefault(), AllFlags, Wide.c_str(), static_cast<int>(Wide.size()),
                  Mapped.data(), Length, nullptr, nullptr, 0);
    return win32::FromWide(Mapped);
  }

  std::wstring FLocale;
  bool FAsciiLikeRoot = true;
};

// Upper-cased, then lower-cased, by the invariant locale: Windows's nearest to Unicode's case
// folding (the Kelvin sign and the long s end as "k" and "s").
std::wstring Folded(std::string_view Text) {
  std::wstring Wide = win32::ToWide(Text);
  for (const DWORD Flags : {LCMAP_UPPERCASE, LCMAP_LOWERCASE}) {
    const int Length =
        LCMapStringEx(LOCALE_NAME_INVARIANT, Flags, Wide.c_str(), static_cast<int>(Wide.size()),
                      nullptr, 0, nullptr, nullptr, 0);
    if (Length <= 0) {
      break;
    }
    std::wstring Mapped(static_cast<size_t>(Length), L'\0');
    LCMapStringEx(LOCALE_NAME_INVARIANT, Flags, Wide.c_str(), static_cast<int>(Wide.size()),
                  Mapped.data(), Length, nullptr, nullptr, 0);
    Wide = std::move(Mapped);
  }
  return Wide;
}

}  // namespace

bool SameTextIgnoringCase(std::string_view A, std::string_view B) {
  if (A == B || !IsValidUtf8(A) || !IsValidUtf8(B)) {
    return A == B;
  }
  return Folded(A) == Folded(B);
}

std::unique_ptr<ITextCasing> CreateTextCasing(const std::string& LocaleName) {
  // "tr_TR" names the locale Windows calls "tr-TR".
  std::wstring Name = win32::ToWide(LocaleName);
  for (wchar_t& C : Name) {
    C = C == L'_' ? L'-' : C;
  }
  return std::make_unique<TWin32TextCasing>(std::move(Name));
}

}  // namespace dunstrel::platform
