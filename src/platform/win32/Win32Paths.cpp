#include "platform/Paths.h"

namespace dunstrel::platform {

namespace {

bool IsDelimiter(char C) {
  return C == '\\' || C == '/';
}

}  // namespace

std::string StripTrailingDelimiter(std::string_view Path) {
  if (!Path.empty() && IsDelimiter(Path.back())) {
    Path.remove_suffix(1);
  }
  return std::string(Path);
}

std::string_view LastComponent(std::string_view FolderPath) {
  const size_t Separator = FolderPath.find_last_of("\\/:");
  return Separator == std::string_view::npos ? FolderPath : FolderPath.substr(Separator + 1);
}

std::string WithTrailingDelimiter(std::string_view FolderPath) {
  std::string Result(FolderPath);
  if (Result.empty() || !IsDelimiter(Result.back())) {
    Result.push_back(kPathDelimiter);
  }
  return Result;
}

void AppendChildPath(std::string_view FolderPath, std::string_view Name, std::string& Out) {
  Out.append(FolderPath);
  if (FolderPath.empty() || !IsDelimiter(FolderPath.back())) {
    Out.push_back(kPathDelimiter);
  }
  Out.append(Name);
}

bool IsAbsolutePath(std::string_view Path) {
  const bool DriveRooted = Path.size() >= 3 && Path[1] == ':' && IsDelimiter(Path[2]);
  const bool Unc = Path.size() >= 2 && IsDelimiter(Path[0]) && IsDelimiter(Path[1]);
  return DriveRooted || Unc;
}

std::string ParentPath(std::string_view Path) {
  const size_t Separator = Path.find_last_of("\\/");
  if (Separator == std::string_view::npos) {
    return {};
  }
  return std::string(Path.substr(0, Separator));
}

}  // namespace dunstrel::platform
