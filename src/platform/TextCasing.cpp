#include "platform/TextCasing.h"

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

}  // namespace dunstrel::platform
