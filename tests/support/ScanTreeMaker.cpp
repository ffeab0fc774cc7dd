#include "support/ScanTreeMaker.h"

#include "platform/LocalTime.h"
#include "platform/TextCasing.h"

#include <utility>

namespace dunstrel::testing {

namespace {

// Every file was last written at 2026-01-10 12:00 UTC.
constexpr platform::TFileStamp kStamp =
    (1'768'046'400 + platform::kSecondsFrom1601To1970) * platform::kStampTicksPerSecond;

}  // namespace

TScanTreeMaker::TScanTreeMaker(std::string RootPath)
    : FPath(std::move(RootPath)), FRoot(std::make_unique<TDirNode>(FPath)) {}

std::string TScanTreeMaker::operator/(std::string_view Relative) const {
  return FPath + "/" + std::string(Relative);
}

TDirNode& TScanTreeMaker::Folder(std::string_view Relative) {
  TDirNode* Node = FRoot.get();
  while (!Relative.empty()) {
    const size_t Slash = Relative.find('/');
    const std::string_view Name = Relative.substr(0, Slash);
    Relative = Slash == std::string_view::npos ? std::string_view() : Relative.substr(Slash + 1);
    TDirNode* Next = nullptr;
    for (const std::unique_ptr<TDirNode>& Child : Node->Children) {
      if (Child->Name() == Name) {
        Next = Child.get();
      }
    }
    if (Next == nullptr) {
      for (TDirNode* Up = Node; Up != nullptr; Up = Up->Parent()) {
        ++Up->TotalDirs;
      }
      Next = &Node->AddNamedChild(Name);
    }
    Node = Next;
  }
  return *Node;
}

TDirNode& TScanTreeMaker::MakeDir(std::string_view Relative) {
  return Folder(Relative);
}

std::string TScanTreeMaker::MakeFile(std::string_view Relative, int64_t Size, int64_t Used,
                                     int DaysLater) {
  const size_t Slash = Relative.rfind('/');
  TDirNode& Parent = Folder(Slash == std::string_view::npos ? "" : Relative.substr(0, Slash));
  const std::string_view Name =
      Slash == std::string_view::npos ? Relative : Relative.substr(Slash + 1);
  const size_t Dot = Name.rfind('.');
  const std::string Ext = platform::UserTextCasing().ToLower(
      Dot == std::string_view::npos ? std::string_view() : Name.substr(Dot));
  if (Used < 0) {
    Used = (Size + 511) / 512 * 512;
  }
  for (TDirNode* Up = &Parent; Up != nullptr; Up = Up->Parent()) {
    Up->TotalSize += Size;
    Up->TotalDiskUsage += Used;
    ++Up->TotalFiles;
  }
  const platform::TFileStamp Stamp =
      kStamp + static_cast<platform::TFileStamp>(int64_t{DaysLater} * 86'400 *
                                                 platform::kStampTicksPerSecond);
  Parent.AddLeafWithKey(Name, Parent.Store().InternExt(Ext), Size, Used, Stamp);
  return *this / Relative;
}

std::unique_ptr<TDirNode> TScanTreeMaker::Take() {
  return std::exchange(FRoot, std::make_unique<TDirNode>(FPath));
}

}  // namespace dunstrel::testing
