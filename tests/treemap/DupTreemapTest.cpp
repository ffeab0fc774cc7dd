#include <gtest/gtest.h>

#include "treemap/DupTreemap.h"
#include "treemap/TreemapTestSupport.h"

namespace dunstrel {
namespace {

using testing::AddFile;
using testing::AddFolder;
using testing::Frame;
using testing::TRecordingCanvas;
using testing::TSelectedSet;

constexpr TColor kReportGroup = 0x112233;
constexpr TColor kMakefileGroup = 0x445566;

// Folder a holds 10 000 bytes of which 1 000 are a duplicate; b and c share a Makefile, and c
// also holds its case-twin "makefile", which is not a duplicate. The duplicates are given in
// another order than their folders hold them.
struct TDuplicates {
  TDuplicates() {
    const TFileLeaf& ReportA = AddFile(A, "Report.pdf", 1000);
    AddFile(A, "other.bin", 9000);
    const TFileLeaf& ReportB = AddFile(B, "Report.pdf", 1000);
    const TFileLeaf& MakefileB = AddFile(B, "Makefile", 500);
    const TFileLeaf& MakefileC = AddFile(C, "Makefile", 500);
    AddFile(C, "makefile", 300);
    const TFileLeaf& Empty = AddFile(C, "empty.log", 0);
    Files = {{&MakefileC, kMakefileGroup},
             {&ReportB, kReportGroup},
             {&ReportA, kReportGroup},
             {&MakefileB, kMakefileGroup},
             {&Empty, kGrey}};
    Map.BuildFromRootDuplicates(&Root, Files, TSizeCount::ApparentSize, {0, 0, 300, 100});
  }

  const TDupItem* ItemOf(std::string_view Path) const {
    for (const TDupItem& It : Map.Items()) {
      if (It.FullPath() == Path) {
        return &It;
      }
    }
    return nullptr;
  }

  TDirNode Root{"/r"};
  TDirNode& A = AddFolder(Root, "a");
  TDirNode& B = AddFolder(Root, "b");
  TDirNode& C = AddFolder(Root, "c");
  std::vector<TDupFile> Files;
  TDupTreemapLayout Map;
};

TEST(DupTreemapTest, SumsOnlyTheBytesOfDuplicates) {
  TDuplicates Dups;
  struct TCase {
    const TDirNode* Folder;
    int64_t Bytes;
  } Cases[] = {{&Dups.A, 1000}, {&Dups.B, 1500}, {&Dups.C, 500}, {&Dups.Root, 3000}};
  for (const TCase& Case : Cases) {
    EXPECT_EQ(Dups.Map.DupBytes(Case.Folder), Case.Bytes) << Case.Folder->FullPath();
  }
  EXPECT_EQ(Dups.Map.DupBytes(nullptr), 0);

  // Folders sized by their duplicates only: b (1 500), a (1 000), c (500) side by side.
  const TDupItem* FolderA = Dups.ItemOf("/r/a");
  const TDupItem* FolderB = Dups.ItemOf("/r/b");
  const TDupItem* FolderC = Dups.ItemOf("/r/c");
  ASSERT_TRUE(FolderA && FolderB && FolderC);
  EXPECT_EQ(FolderB->Rect, (TRect{1, 1, 149, 99}));
  EXPECT_EQ(FolderA->Rect, (TRect{151, 1, 249, 99}));
  EXPECT_EQ(FolderC->Rect, (TRect{251, 1, 299, 99}));
  EXPECT_EQ(FolderA->Size, 1000);
  EXPECT_EQ(FolderA->Color, kSilver);
  EXPECT_EQ(FolderA->Kind, TDupKind::dkDir);
  EXPECT_EQ(FolderA->Depth, 0);
}

TEST(DupTreemapTest, ShowsOnlyDuplicateFilesInTheirGroupColours) {
  TDuplicates Dups;
  const TDupItem* ReportA = Dups.ItemOf("/r/a/Report.pdf");
  const TDupItem* ReportB = Dups.ItemOf("/r/b/Report.pdf");
  ASSERT_TRUE(ReportA && ReportB);
  EXPECT_EQ(ReportA->Color, kReportGroup);
  EXPECT_EQ(ReportB->Color, kReportGroup);
  EXPECT_EQ(ReportA->Kind, TDupKind::dkFile);
  EXPECT_EQ(ReportA->Depth, 1);
  EXPECT_EQ(ReportA->Size, 1000);
  EXPECT_EQ(Dups.ItemOf("/r/c/Makefile")->Color, kMakefileGroup);
  EXPECT_EQ(Dups.ItemOf("/r/a/other.bin"), nullptr);
  EXPECT_EQ(Dups.ItemOf("/r/c/empty.log"), nullptr);  // a duplicate of 0 bytes gets no cell
  // The case-twin of a duplicate is another file.
  EXPECT_EQ(Dups.ItemOf("/r/c/makefile"), nullptr);
  EXPECT_EQ(Dups.Map.DupBytes(&Dups.C), 500);
  // Two duplicates of one folder are placed in the folder's own order.
  const auto Place = [&](std::string_view Path) {
    return Dups.ItemOf(Path) - &Dups.Map.Items()[0];
  };
  EXPECT_LT(Place("/r/b/Report.pdf"), Place("/r/b/Makefile"));
}

TEST(DupTreemapTest, FindsDuplicatesDirectlyInTheFileSystemRoot) {
  TDirNode Root("/");
  const TFileLeaf& Swap = AddFile(Root, "swapfile", 700);
  const TFileLeaf& Copy = AddFile(AddFolder(Root, "backup"), "swapfile", 700);
  const std::vector<TDupFile> Files = {{&Swap, kReportGroup}, {&Copy, kReportGroup}};
  TDupTreemapLayout Map;
  Map.BuildFromRootDuplicates(&Root, Files, TSizeCount::ApparentSize, {0, 0, 100, 100});
  EXPECT_EQ(Map.DupBytes(&Root), 1400);
  ASSERT_EQ(Map.Items().size(), 3u);  // the folder with its copy, and the root's own copy
  EXPECT_EQ(Map.Items()[2].FullPath(), "/swapfile");
}

TEST(DupTreemapTest, NothingToShow) {
  TDuplicates Dups;
  const std::vector<TDupFile> NoDuplicates;
  struct TCase {
    const char* Name;
    const TDirNode* Root;
    const std::vector<TDupFile>* Files;
    TRect Rect;
  } Cases[] = {
      {"no duplicates", &Dups.Root, &NoDuplicates, {0, 0, 300, 100}},
      {"empty rectangle", &Dups.Root, &Dups.Files, {0, 0, 300, 0}},
      {"no root", nullptr, &Dups.Files, {0, 0, 300, 100}},
  };
  for (const TCase& Case : Cases) {
    Dups.Map.BuildFromRootDuplicates(Case.Root, *Case.Files, TSizeCount::ApparentSize, Case.Rect);
    EXPECT_TRUE(Dups.Map.Items().empty()) << Case.Name;
    EXPECT_EQ(Dups.Map.DupBytes(&Dups.Root), 0) << Case.Name;
  }
  Dups.Map.BuildFromRootDuplicates(&Dups.Root, Dups.Files, TSizeCount::ApparentSize,
                                   {0, 0, 300, 100});
  EXPECT_FALSE(Dups.Map.Items().empty());
  Dups.Map.Clear();
  EXPECT_TRUE(Dups.Map.Items().empty());
  EXPECT_EQ(Dups.Map.DupBytes(&Dups.B), 0);
}

TEST(DupTreemapTest, SelectingAFolderFramesOnlyTheFolder) {
  TDuplicates Dups;
  const TDupItem* FolderB = Dups.ItemOf("/r/b");
  TRecordingCanvas Canvas({0, 0, 300, 100});
  Dups.Map.Paint(Canvas, TSelectedSet{FolderB->Dir});
  ASSERT_FALSE(Canvas.Ops.empty());
  EXPECT_EQ(Canvas.Ops.back(), Frame(FolderB->Rect, kWhite, 3));
  EXPECT_EQ(std::count_if(Canvas.Ops.begin(), Canvas.Ops.end(),
                          [](const testing::TDrawOp& Op) { return Op.PenWidth == 3; }),
            1);
  // The folder's silver comes before its contents, which cover it.
  const auto Silver = std::find(Canvas.Ops.begin(), Canvas.Ops.end(),
                                testing::Fill(Shrunk(FolderB->Rect, 1), kSilver));
  const auto Report =
      std::find_if(Canvas.Ops.begin(), Canvas.Ops.end(),
                   [](const testing::TDrawOp& Op) { return Op.Color == kReportGroup; });
  EXPECT_LT(Silver, Report);
}

}  // namespace
}  // namespace dunstrel
