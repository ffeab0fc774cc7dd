#include "platform/SaveTarget.h"

#include <algorithm>
#include <random>

#include "platform/Paths.h"

namespace dunstrel::platform {

namespace {

bool IsDelimiter(char C) {
  return C == kPathDelimiter || C == '/';  // Windows takes either
}

}  // namespace

TSaveTarget SplitSaveTarget(std::string_view Path) {
  size_t Last = Path.size();
  while (Last > 0 && !IsDelimiter(Path[Last - 1])) {
    --Last;
  }
  TSaveTarget Target;
  Target.Name = std::string(Path.substr(Last));
  if (Target.Name == "." || Target.Name == "..") {
    Target.Name.clear();
  }
  if (Last > 0) {
    // The folder keeps its delimiter when it is the root ("/", "C:\").
    size_t End = Last - 1;
    while (End > 0 && IsDelimiter(Path[End - 1])) {
      --End;
    }
    const bool Root = End == 0 || (End == 2 && Path[1] == ':');
    Target.Folder = std::string(Path.substr(0, Root ? Last : End));
  }
  return Target;
}

std::string TemporarySaveName(std::string_view Name) {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  // At most 160 bytes of the name, cut before a UTF-8 continuation byte.
  size_t Kept = std::min<size_t>(Name.size(), 160);
  while (Kept > 0 && Kept < Name.size() &&
         (static_cast<unsigned char>(Name[Kept]) & 0xC0) == 0x80) {
    --Kept;
  }
  std::random_device Random;
  std::uniform_int_distribution<size_t> Pick(0, sizeof kLetters - 2);
  std::string Temporary = ".";
  Temporary.append(Name.substr(0, Kept));
  Temporary.push_back('.');
  for (int I = 0; I < 12; ++I) {
    Temporary.push_back(kLetters[Pick(Random)]);
  }
  Temporary.append(".tmp");
  return Temporary;
}

}  // namespace dunstrel::platform
