#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/Paths.h"
#include "scan/ScanTree.h"
#include "treemap/Geometry.h"
#include "treemap/MapSelection.h"
#include "treemap/TreemapCanvas.h"

namespace dunstrel {

inline void PrintTo(const TRect& R, std::ostream* Out) {
  *Out << "(" << R.Left << ", " << R.Top << ", " << R.Right << ", " << R.Bottom << ")";
}

namespace testing {

// One call on a canvas.
struct TDrawOp {
  enum class TKind { Fill, Frame };
  TKind Kind;
  TRect Rect;
  TColor Color;
  int PenWidth = 0;  // frames only

  friend bool operator==(const TDrawOp&, const TDrawOp&) = default;
};

inline TDrawOp Fill(const TRect& R, TColor Color) {
  return {TDrawOp::TKind::Fill, R, Color};
}
inline TDrawOp Frame(const TRect& R, TColor Color, int PenWidth) {
  return {TDrawOp::TKind::Frame, R, Color, PenWidth};
}

inline void PrintTo(const TDrawOp& Op, std::ostream* Out) {
  *Out << (Op.Kind == TDrawOp::TKind::Fill ? "Fill" : "Frame");
  dunstrel::PrintTo(Op.Rect, Out);
  *Out << " 0x" << std::hex << Op.Color << std::dec;
  if (Op.Kind == TDrawOp::TKind::Frame) {
    *Out << " width " << Op.PenWidth;
  }
}

// Keeps every drawing call, in order.
class TRecordingCanvas : public TTreemapCanvas {
 public:
  explicit TRecordingCanvas(const TRect& Clip) : FClip(Clip) {}

  TRect ClipRect() const override { return FClip; }
  void FillRect(const TRect& R, TColor Color) override { Ops.push_back(Fill(R, Color)); }
  void FrameRect(const TRect& R, TColor PenColor, int PenWidth) override {
    Ops.push_back(Frame(R, PenColor, PenWidth));
  }

  std::vector<TDrawOp> Ops;

 private:
  TRect FClip;
};

// The files and folders a map is to frame.
class TSelectedSet final : public IMapSelection {
 public:
  TSelectedSet(std::initializer_list<const void*> Objects) : FObjects(Objects) {}
  bool Empty() const override { return FObjects.empty(); }
  bool Contains(const TFileLeaf& File) const override { return FObjects.contains(&File); }
  bool Contains(const TDirNode& Folder) const override { return FObjects.contains(&Folder); }

 private:
  std::unordered_set<const void*> FObjects;
};

// Small scan trees with the totals a scan would leave in them.
inline TDirNode& AddFolder(TDirNode& Parent, std::string_view Name) {
  std::string Path;
  platform::AppendChildPath(Parent.FullPath(), Name, Path);
  for (TDirNode* Folder = &Parent; Folder != nullptr; Folder = Folder->Parent()) {
    ++Folder->TotalDirs;
  }
  return Parent.AddChild(std::move(Path));
}

inline TFileLeaf& AddFile(TDirNode& Folder, std::string_view Name, int64_t Size) {
  const size_t Dot = Name.rfind('.');
  const std::string_view Ext = Dot == std::string_view::npos ? "" : Name.substr(Dot);
  for (TDirNode* Up = &Folder; Up != nullptr; Up = Up->Parent()) {
    Up->TotalSize += Size;
    ++Up->TotalFiles;
  }
  return Folder.AddLeaf(Name, Ext, Size, 0);
}

}  // namespace testing
}  // namespace dunstrel
