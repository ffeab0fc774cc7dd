#include "platform/RemovalTarget.h"

#include <algorithm>
#include <vector>

#include "platform/Paths.h"

namespace dunstrel::platform {

namespace {

constexpr const char* kNoPath = "no path was given";
constexpr const char* kNotAbsolute = "its path is not absolute";
constexpr const char* kDotComponent =
    "its path holds a \".\" or \"..\" component, which is never read as text";

bool IsDelimiter(char C) {
  return C == kPathDelimiter || C == '/';  // Windows takes either
}

bool IsDot(std::string_view Part) {
  return Part == "." || Part == "..";
}

// The components of Text between delimiters, without empty ones.
std::vector<std::string_view> Components(std::string_view Text) {
  std::vector<std::string_view> Parts;
  size_t Start = 0;
  for (size_t I = 0; I <= Text.size(); ++I) {
    if (I == Text.size() || IsDelimiter(Text[I])) {
      if (I > Start) {
        Parts.push_back(Text.substr(Start, I - Start));
      }
      Start = I + 1;
    }
  }
  return Parts;
}

// The root of an absolute path with its delimiter, and how many bytes of Path it takes; nothing
// when Path is not absolute.
std::optional<std::pair<std::string, size_t>> RootOf(std::string_view Path) {
#ifdef _WIN32
  const auto IsLetter = [](char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z'); };
  // "C:" alone is the drive's root here, as the scan names a drive, not the current folder on it.
  if (Path.size() >= 2 && IsLetter(Path[0]) && Path[1] == ':' &&
      (Path.size() == 2 || IsDelimiter(Path[2]))) {
    return std::pair{std::string(Path.substr(0, 2)) + kPathDelimiter,
                     std::min<size_t>(3, Path.size())};
  }
  // \\server\share\: both parts named, and neither "." nor "?" (the device namespaces).
  if (Path.size() >= 2 && IsDelimiter(Path[0]) && IsDelimiter(Path[1])) {
    size_t End = 2;
    std::string Root = "\\\\";
    for (int Part = 0; Part < 2; ++Part) {
      const size_t Start = End;
      while (End < Path.size() && !IsDelimiter(Path[End])) {
        ++End;
      }
      const std::string_view Name = Path.substr(Start, End - Start);
      if (Name.empty() || IsDot(Name) || Name == "?") {
        return std::nullopt;
      }
      Root.append(Name);
      Root.push_back(kPathDelimiter);
      ++End;
    }
    return std::pair{Root, std::min(End, Path.size())};
  }
  return std::nullopt;
#else
  if (!Path.empty() && Path.front() == '/') {
    return std::pair{std::string("/"), size_t{1}};
  }
  return std::nullopt;
#endif
}

}  // namespace

std::optional<TRemovalTarget> ReadRemovalTarget(std::string_view Path, std::string& Why) {
  if (Path.empty()) {
    Why = kNoPath;
    return std::nullopt;
  }
  const auto Root = RootOf(Path);
  if (!Root) {
    Why = kNotAbsolute;
    return std::nullopt;
  }
  const std::vector<std::string_view> Parts = Components(Path.substr(Root->second));
  for (const std::string_view Part : Parts) {
    if (IsDot(Part)) {
      Why = kDotComponent;
      return std::nullopt;
    }
  }
  TRemovalTarget Target;
  Target.Parent = Root->first;
  for (size_t I = 0; I + 1 < Parts.size(); ++I) {
    if (Target.Parent.back() != kPathDelimiter) {
      Target.Parent.push_back(kPathDelimiter);
    }
    Target.Parent.append(Parts[I]);
  }
  if (!Parts.empty()) {
    Target.Name = std::string(Parts.back());
  }
  if (Target.Name.empty()) {
    Target.Path = Target.Parent;
  } else {
    AppendChildPath(Target.Parent, Target.Name, Target.Path);
  }
  return Target;
}

}  // namespace dunstrel::platform
