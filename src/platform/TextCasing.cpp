#include "platform/TextCasing.h"

#include "platform/TextEncoding.h"

namespace dunstrel::platform {

namespace {

const ITextCasing*& CurrentCasing() {
  static const ITextCasing* Current = nullptr;
  return Current;
}

}  // namespace

const ITextCasing& UserTextCasing() {
  if (const ITextCasing* Override = CurrentCasing()) {
    return *Override;
  }
  static const std::unique_ptr<ITextCasing> Default = CreateTextCasing();
  return *Default;
}

TScopedTextCasing::TScopedTextCasing(const ITextCasing& Casing) : FPrevious(CurrentCasing()) {
  CurrentCasing() = &Casing;
}

TScopedTextCasing::~TScopedTextCasing() {
  CurrentCasing() = FPrevious;
}

void AppendUpperCodePoints(const ITextCasing& Casing, std::string_view Text, std::u32string& Out) {
  if (Casing.MapsAsciiLikeRoot() && IsAscii(Text)) {
    for (const char C : Text) {
      Out.push_back(C >= 'a' && C <= 'z' ? static_cast<char32_t>(C - 'a' + 'A')
                                         : static_cast<char32_t>(C));
    }
    return;
  }
  AppendCodePoints(Casing.ToUpper(Text), Out);
}

}  // namespace dunstrel::platform
