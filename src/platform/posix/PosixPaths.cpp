#include "platform/Paths.h"

namespace dunstrel::platform {

std::string StripTrailingDelimiter(std::string_view Path) {
  if (Path.size() > 1 && Path.back() == kPathDelimiter) {
    Path.remove_suffix(1);
  }
  return std::string(Path);
}

std::string_view LastComponent(std::string_view FolderPath) {
  if (FolderPath == "/") {
    return FolderPath;
  }
  const size_t Slash = FolderPath.rfind(kPathDelimiter);
  return Slash == std::string_view::npos ? FolderPath : FolderPath.substr(Slash + 1);
}

std::string WithTrailingDelimiter(std::string_view FolderPath) {
  std::string Result(FolderPath);
  if (Result.empty() || Result.back() != kPathDelimiter) {
    Result.push_back(kPathDelimiter);
  }
  return Result;
}

void AppendChildPath(std::string_view FolderPath, std::string_view Name, std::string& Out) {
  Out.append(FolderPath);
  if (FolderPath.empty() || FolderPath.back() != kPathDelimiter) {
    Out.push_back(kPathDelimiter);
  }
  Out.append(Name);
}

bool IsAbsolutePath(std::string_view Path) {
  return !Path.empty() && Path.front() == '/';
}

std::string ParentPath(std::string_view Path) {
  const size_t Slash = Path.rfind(kPathDelimiter);
  if (Slash == std::string_view::npos) {
    return {};
  }
  if (Slash == 0) {
    return Path.size() > 1 ? "/" : "";
  }
  return std::string(Path.substr(0, Slash));
}

}  // namespace dunstrel::platform
