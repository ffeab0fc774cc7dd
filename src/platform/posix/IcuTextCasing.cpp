#include <unicode/locid.h>
#include <unicode/stringoptions.h>
#include <unicode/unistr.h>

#include <cstring>

#include "platform/TextCasing.h"
#include "platform/TextEncoding.h"

namespace dunstrel::platform {

namespace {

enum class ECase { Upper, Lower };

class TIcuTextCasing final : public ITextCasing {
 public:
  explicit TIcuTextCasing(const std::string& LocaleName)
      : FLocale(LocaleName.empty() ? icu::Locale::getDefault()
                                   : icu::Locale::createFromName(LocaleName.c_str())) {
    // Turkish and Azeri map the ASCII letters I and i differently from the root locale.
    const char* Language = FLocale.getLanguage();
    FAsciiLikeRoot = std::strcmp(Language, "tr") != 0 && std::strcmp(Language, "az") != 0;
  }

  std::string ToUpper(std::string_view Text) const override { return Map(Text, ECase::Upper); }
  std::string ToLower(std::string_view Text) const override { return Map(Text, ECase::Lower); }
  bool MapsAsciiLikeRoot() const override { return FAsciiLikeRoot; }

 private:
  std::string Map(std::string_view Text, ECase Case) const {
    if (FAsciiLikeRoot && IsAscii(Text)) {
      std::string Result(Text);
      for (char& C : Result) {
        if (Case == ECase::Upper && C >= 'a' && C <= 'z') {
          C = static_cast<char>(C - 'a' + 'A');
        } else if (Case == ECase::Lower && C >= 'A' && C <= 'Z') {
          C = static_cast<char>(C - 'A' + 'a');
        }
      }
      return Result;
    }
    // Map each run of valid UTF-8 with ICU; undecodable bytes are copied as they are.
    std::string Result;
    Result.reserve(Text.size());
    size_t RunStart = 0;
    size_t Pos = 0;
    while (Pos < Text.size()) {
      const TDecodedChar Ch = DecodeUtf8At(Text, Pos);
      if (!Ch.Valid) {
        AppendMappedRun(Text.substr(RunStart, Pos - RunStart), Case, Result);
        Result.push_back(Text[Pos]);
        RunStart = Pos + 1;
      }
      Pos += Ch.Length;
    }
    AppendMappedRun(Text.substr(RunStart), Case, Result);
    return Result;
  }

  void AppendMappedRun(std::string_view Run, ECase Case, std::string& Out) const {
    if (Run.empty()) {
      return;
    }
    icu::UnicodeString Unicode = icu::UnicodeString::fromUTF8(
        icu::StringPiece(Run.data(), static_cast<int32_t>(Run.size())));
    if (Case == ECase::Upper) {
      Unicode.toUpper(FLocale);
    } else {
      Unicode.toLower(FLocale);
    }
    Unicode.toUTF8String(Out);
  }

  icu::Locale FLocale;
  bool FAsciiLikeRoot = true;
};

}  // namespace

std::unique_ptr<ITextCasing> CreateTextCasing(const std::string& LocaleName) {
  return std::make_unique<TIcuTextCasing>(LocaleName);
}

bool SameTextIgnoringCase(std::string_view A, std::string_view B) {
  if (A == B || !IsValidUtf8(A) || !IsValidUtf8(B)) {
    return A == B;
  }
  const auto Unicode = [](std::string_view Text) {
    return icu::UnicodeString::fromUTF8(
        icu::StringPiece(Text.data(), static_cast<int32_t>(Text.size())));
  };
  return Unicode(A).caseCompare(Unicode(B), U_FOLD_CASE_DEFAULT) == 0;
}

}  // namespace dunstrel::platform
