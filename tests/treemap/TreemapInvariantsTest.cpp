#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "treemap/Treemap.h"
#include "treemap/TreemapTestSupport.h"

namespace dunstrel {
namespace {

using testing::AddFile;
using testing::AddFolder;

// A scan-like tree: folders a few levels deep, long-tailed file counts, sizes from 0 bytes to
// megabytes, a few extensions. Every tenth file is marked a duplicate.
struct TRandomTree {
  TRandomTree(uint64_t Seed, int Folders, int Files) {
    std::mt19937_64 Random(Seed);
    std::vector<TDirNode*> All = {&Root};
    for (int I = 0; I < Folders; ++I) {
      TDirNode* Parent = All[Random() % All.size()];
      All.push_back(&AddFolder(*Parent, "d" + std::to_string(I)));
    }
    const char* Exts[] = {".txt", ".jpg", ".JPG", "", ".so", ".dat"};
    for (int I = 0; I < Files; ++I) {
      // Squaring the pick favours the first folders: a few hold most files.
      const double Pick = static_cast<double>(Random() % 10000) / 10000.0;
      TDirNode* Folder = All[static_cast<size_t>(Pick * Pick * static_cast<double>(All.size()))];
      const int64_t Size =
          Random() % 7 == 0 ? 0 : static_cast<int64_t>(Random() % (1 << (Random() % 24)));
      const TFileLeaf& File =
          AddFile(*Folder, "f" + std::to_string(I) + Exts[Random() % std::size(Exts)], Size);
      if (I % 10 == 0) {
        Duplicates.push_back({&File, ColorForKey(File.Name())});
      }
    }
  }
  TDirNode Root{"/r"};
  std::vector<TDupFile> Duplicates;
};

bool Inside(const TRect& Inner, const TRect& Outer) {
  return Inner.Left >= Outer.Left && Inner.Top >= Outer.Top && Inner.Right <= Outer.Right &&
         Inner.Bottom <= Outer.Bottom;
}

bool Overlap(const TRect& A, const TRect& B) {
  return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

// No two of the cells overlap (empty cells are left out).
void ExpectDisjoint(std::vector<TRect> Cells, const std::string& Where) {
  std::erase_if(Cells, [](const TRect& R) { return IsEmpty(R); });
  std::sort(Cells.begin(), Cells.end(),
            [](const TRect& A, const TRect& B) { return A.Left < B.Left; });
  for (size_t I = 0; I < Cells.size(); ++I) {
    for (size_t J = I + 1; J < Cells.size() && Cells[J].Left < Cells[I].Right; ++J) {
      ASSERT_FALSE(Overlap(Cells[I], Cells[J]))
          << Where << ": " << ::testing::PrintToString(Cells[I]) << " and "
          << ::testing::PrintToString(Cells[J]);
    }
  }
}

const TDirNode* FolderOf(const THierItem& It) {
  return It.Dir;
}
const TDirNode* FolderOf(const TDupItem& It) {
  return It.Dir;
}
const TDirNode* FolderOf(const TFolderMapItem& It) {
  return It.Node;
}
const TDirNode* ParentOf(const THierItem& It) {
  return It.Dir ? It.Dir->Parent() : &It.FileLeaf->Parent();
}
const TDirNode* ParentOf(const TDupItem& It) {
  return It.Dir ? It.Dir->Parent() : &It.FileLeaf->Parent();
}
const TDirNode* ParentOf(const TFolderMapItem& It) {
  return It.Node->Parent();
}

// Items of a nested map: non-empty, inside the target, each inside its folder's cell (and
// inside its band: Band(depth) pixels in from the folder's cell), no overlaps within a level,
// and so no more items per level than the target has pixels.
template <typename TItem, typename TBand>
void ExpectNested(const std::vector<TItem>& Items, const TRect& Target, int TopDepth, TBand Band,
                  const std::string& Where) {
  std::vector<const TItem*> Ancestors;
  std::map<int, std::vector<TRect>> ByDepth;
  for (const TItem& It : Items) {
    ASSERT_FALSE(IsEmpty(It.Rect)) << Where;
    ASSERT_TRUE(Inside(It.Rect, Target)) << Where;
    while (!Ancestors.empty() && Ancestors.back()->Depth >= It.Depth) {
      Ancestors.pop_back();
    }
    if (It.Depth == TopDepth) {
      ASSERT_TRUE(Ancestors.empty()) << Where;
    } else {
      ASSERT_FALSE(Ancestors.empty()) << Where;
      const TItem& Parent = *Ancestors.back();
      ASSERT_EQ(Parent.Depth, It.Depth - 1) << Where;
      ASSERT_EQ(FolderOf(Parent), ParentOf(It)) << Where;
      ASSERT_TRUE(Inside(It.Rect, Shrunk(Parent.Rect, Band(It.Depth)))) << Where;
    }
    if (FolderOf(It) != nullptr) {
      Ancestors.push_back(&It);
    }
    ByDepth[It.Depth].push_back(It.Rect);
  }
  const int64_t Area = Width(Target) * Height(Target);
  for (const auto& [Depth, Cells] : ByDepth) {
    EXPECT_LE(static_cast<int64_t>(Cells.size()), Area) << Where << " depth " << Depth;
    ExpectDisjoint(Cells, Where + " depth " + std::to_string(Depth));
  }
}

TEST(TreemapInvariantsTest, CellsNestAndNeverOverlapOnRandomTrees) {
  const TRect Targets[] = {{0, 0, 300, 200}, {7, 3, 64, 41}, {0, 0, 1, 1}, {-50, 20, 400, 23}};
  for (uint64_t Seed = 1; Seed <= 4; ++Seed) {
    const TRandomTree Tree(Seed, 150, 3000);
    std::vector<const TFileLeaf*> AllFiles;
    std::vector<const TDirNode*> Pending = {&Tree.Root};
    while (!Pending.empty()) {
      const TDirNode* Folder = Pending.back();
      Pending.pop_back();
      AllFiles.insert(AllFiles.end(), Folder->Leaves.begin(), Folder->Leaves.end());
      for (const auto& Child : Folder->Children) {
        Pending.push_back(Child.get());
      }
    }
    for (const TRect& Target : Targets) {
      const std::string Where =
          "seed " + std::to_string(Seed) + " in " + ::testing::PrintToString(Target);
      auto NoBand = [](int) { return 0; };

      THierTreemapLayout Hier;
      Hier.BuildFromRootSquarified(&Tree.Root, TSizeCount::ApparentSize, Target);
      ExpectNested(Hier.Items(), Target, 0, NoBand, "files in folders, " + Where);

      TFolderTreemapLayout Folders;
      Folders.BuildFromRoot(&Tree.Root, TSizeCount::ApparentSize, Target);
      ExpectNested(Folders.Items(), Target, 1, FolderMargin, "folders, " + Where);

      TDupTreemapLayout Dups;
      Dups.BuildFromRootDuplicates(&Tree.Root, Tree.Duplicates, TSizeCount::ApparentSize, Target);
      ExpectNested(Dups.Items(), Target, 0, NoBand, "duplicates, " + Where);
      for (const TDupItem& It : Dups.Items()) {
        if (It.FileLeaf != nullptr) {
          ASSERT_TRUE(std::any_of(Tree.Duplicates.begin(), Tree.Duplicates.end(),
                                  [&](const TDupFile& Dup) { return Dup.File == It.FileLeaf; }))
              << Where;
        }
      }

      TFlatTreemapLayout Flat;
      Flat.BuildFromFiles(AllFiles, TSizeCount::ApparentSize, Target);
      std::vector<TRect> Cells;
      for (const TFlatMapItem& It : Flat.Items()) {
        ASSERT_TRUE(IsEmpty(It.Rect) || Inside(It.Rect, Target)) << "flat, " << Where;
        Cells.push_back(It.Rect);
      }
      ExpectDisjoint(Cells, "flat, " + Where);
    }
  }
}

TEST(TreemapInvariantsTest, ManyFilesInASmallCanvasGiveFewItems) {
  const TRandomTree Tree(7, 400, 100'000);
  const TRect Target = {0, 0, 40, 30};
  THierTreemapLayout Hier;
  Hier.BuildFromRootSquarified(&Tree.Root, TSizeCount::ApparentSize, Target);
  ExpectNested(
      Hier.Items(), Target, 0, [](int) { return 0; }, "files in folders");
  EXPECT_LT(Hier.Items().size(), 2000u);
  TDupTreemapLayout Dups;
  Dups.BuildFromRootDuplicates(&Tree.Root, Tree.Duplicates, TSizeCount::ApparentSize, Target);
  EXPECT_LT(Dups.Items().size(), 2000u);
}

TEST(TreemapInvariantsTest, FolderChainsDeeperThanAnyCallStack) {
  // Each folder holds one file and the next folder, which takes all of its cell until the
  // last few levels, where the file weighs enough to need a pixel of its own.
  constexpr int kDepth = 100'000;
  TDirNode Root("/d");
  TDirNode* Folder = &Root;
  std::vector<TDirNode*> Chain;
  for (int Level = 0; Level < kDepth; ++Level) {
    Folder = &Folder->AddNamedChild("d");
    Folder->AddLeaf("f", "", 1, 0);
    Chain.push_back(Folder);
  }
  for (auto It = Chain.rbegin(); It != Chain.rend(); ++It) {
    (*It)->TotalSize = 1 + ((*It)->Children.empty() ? 0 : (*It)->Children[0]->TotalSize);
  }
  Root.TotalSize = Chain[0]->TotalSize;
  const std::vector<TDupFile> Duplicates = {{Chain.back()->Leaves[0], kWhite}};

  THierTreemapLayout Hier;
  Hier.BuildFromRootSquarified(&Root, TSizeCount::ApparentSize, {0, 0, 8, 8});
  EXPECT_GT(Hier.Items().back().Depth, kDepth - 100);
  TFolderTreemapLayout Folders;
  Folders.BuildFromRoot(&Root, TSizeCount::ApparentSize, {0, 0, 8, 8});
  EXPECT_EQ(Folders.Items().size(), 1u);
  TDupTreemapLayout Dups;
  Dups.BuildFromRootDuplicates(&Root, Duplicates, TSizeCount::ApparentSize, {0, 0, 8, 8});
  EXPECT_EQ(Dups.DupBytes(&Root), 1);
  EXPECT_EQ(Dups.Items().back().Kind, TDupKind::dkFile);
  EXPECT_EQ(Dups.Items().back().Depth, kDepth);
}

// Draws into pixels, as the window's surface does.
class TPixelCanvas : public TTreemapCanvas {
 public:
  explicit TPixelCanvas(const TRect& Clip)
      : Pixels(static_cast<size_t>(Width(Clip) * Height(Clip)), kNotDrawn), FClip(Clip) {}

  TRect ClipRect() const override { return FClip; }
  void FillRect(const TRect& R, TColor Color) override {
    for (int64_t Y = std::max(R.Top, FClip.Top); Y < std::min(R.Bottom, FClip.Bottom); ++Y) {
      for (int64_t X = std::max(R.Left, FClip.Left); X < std::min(R.Right, FClip.Right); ++X) {
        At(X, Y) = Color;
      }
    }
  }
  void FrameRect(const TRect& R, TColor PenColor, int /*PenWidth*/) override {
    FillRect(MakeRect(R.Left, R.Top, R.Right, R.Top + 1), PenColor);
    FillRect(MakeRect(R.Left, R.Bottom - 1, R.Right, R.Bottom), PenColor);
    FillRect(MakeRect(R.Left, R.Top, R.Left + 1, R.Bottom), PenColor);
    FillRect(MakeRect(R.Right - 1, R.Top, R.Right, R.Bottom), PenColor);
  }
  TColor& At(int64_t X, int64_t Y) {
    return Pixels[static_cast<size_t>((Y - FClip.Top) * Width(FClip) + (X - FClip.Left))];
  }

  static constexpr TColor kNotDrawn = 0xFF000001;
  std::vector<TColor> Pixels;

 private:
  TRect FClip;
};

TEST(TreemapInvariantsTest, NoBlackBesideTheFramesWhereThousandsOfFilesAreTooSmallForAPixel) {
  // A folder of 20,000 small files beside a few large ones, as a manual-page folder beside
  // archives; and random trees, whose rows end in thin cells as well.
  TDirNode Manuals("/usr/share");
  TDirNode& Pages = AddFolder(Manuals, "man1");
  for (int I = 0; I < 20'000; ++I) {
    AddFile(Pages, "page" + std::to_string(I) + (I % 3 == 0 ? ".1.gz" : ".gz"), 900 + I % 7 * 300);
  }
  for (int I = 0; I < 3; ++I) {
    AddFile(Manuals, "archive" + std::to_string(I) + ".tar", 30'000'000 + I * 1'000'000);
  }
  const TRandomTree Random(11, 300, 30'000);
  const struct TCase {
    const char* Name;
    const TDirNode* Root;
    TRect Target;
  } Cases[] = {{"manual pages", &Manuals, {0, 0, 800, 500}},
               {"manual pages, small", &Manuals, {0, 0, 123, 77}},
               {"random tree", &Random.Root, {0, 0, 640, 480}}};
  for (const TCase& Case : Cases) {
    THierTreemapLayout Map;
    Map.BuildFromRootSquarified(Case.Root, TSizeCount::ApparentSize, Case.Target);
    TPixelCanvas Canvas(Case.Target);
    Map.Paint(Canvas, NothingSelected());
    // Black belongs to the frames alone: the outline of a cell of 6 pixels or more, and the
    // pixel-wide gap around a cell that was moved in from its place.
    std::vector<bool> Frame(Canvas.Pixels.size());
    const auto Mark = [&](const TRect& Outer, const TRect& Inner) {
      for (int64_t Y = std::max(Outer.Top, Case.Target.Top);
           Y < std::min(Outer.Bottom, Case.Target.Bottom); ++Y) {
        for (int64_t X = std::max(Outer.Left, Case.Target.Left);
             X < std::min(Outer.Right, Case.Target.Right); ++X) {
          if (!Contains(Inner, {static_cast<int32_t>(X), static_cast<int32_t>(Y)})) {
            Frame[static_cast<size_t>((Y - Case.Target.Top) * Width(Case.Target) + X -
                                      Case.Target.Left)] = true;
          }
        }
      }
    };
    for (const THierItem& It : Map.Items()) {
      if (Width(It.Rect) >= 6 && Height(It.Rect) >= 6) {
        Mark(It.Rect, Shrunk(It.Rect, 1));
      }
      if (Width(It.Rect) >= 8 && Height(It.Rect) >= 8) {
        Mark(Shrunk(It.Rect, -1), It.Rect);
      }
    }
    int64_t Stray = 0;
    for (size_t I = 0; I < Canvas.Pixels.size(); ++I) {
      Stray += Canvas.Pixels[I] == kBlack && !Frame[I] ? 1 : 0;
    }
    EXPECT_EQ(Stray, 0) << Case.Name;
  }
}

}  // namespace
}  // namespace dunstrel
