// The window's results follow the disk: a removal, a folder walked again and the whole source
// scanned again each show what a new scan of the changed disk shows, in every tab, and each tab
// keeps the rest of what the user had chosen.
#include <QAction>
#include <QHeaderView>
#include <QTreeView>
#include <QTreeWidget>
#include <filesystem>
#include <sstream>

#include "app/ScannedWindow.h"
#include "results/ResultsBuilder.h"
#include "results/ScanSummary.h"
#include "results/ValueFormat.h"
#include "scan/DiskScanner.h"
#include "support/ScopedEnvironment.h"
#include "views/SortableList.h"

namespace dunstrel::testing {
namespace {

namespace fs = std::filesystem;

// What the tabs show of results, to compare with those of a new scan.
std::string Describe(const TScanResults& Results) {
  std::ostringstream Out;
  Out << "files " << Results.AllFiles.size() << ' ' << Results.AllTotalBytes << " dirs "
      << Results.Root->TotalDirs << " largest:";
  for (const TFileLeaf* File : Results.DisplayFiles) {
    Out << ' ' << File->FullPath() << '=' << File->Size();
  }
  Out << "\ntop folders:";
  for (const auto& Folder : Results.Root->Children) {
    Out << ' ' << Folder->Name() << '=' << Folder->TotalSize;
  }
  Out << "\nextensions:";
  for (const TExtensionRow& Row : Results.Extensions) {
    Out << ' ' << Row.Key << '=' << Row.Bytes << '/' << Row.Files;
  }
  Out << "\nduplicate groups " << Results.Duplicates.Groups.size();
  return Out.str();
}

class FollowDiskTest : public ScannedWindowTest {
 protected:
  void SetUp() override { MakeFixtureFiles(Tree); }

  std::shared_ptr<const TScanResults> FreshScan() const {
    const TScanContext Context;
    return BuildScanResults(TDiskScanner(Context).Scan(Tree.Path()), TSizeCount::ApparentSize,
                            Context, {});
  }

  // Waits until every tab shows the results a new scan of the disk gives, and the status line
  // their summary (with Note after it), then compares what the tabs show.
  void ExpectLikeAFreshScan(const QString& Note = {}) const {
    const std::shared_ptr<const TScanResults> Fresh = FreshScan();
    QString Summary = ShownText(
        ScanSummaryLine(static_cast<int64_t>(Fresh->AllFiles.size()), Fresh->AllTotalBytes, 0, {}));
    if (!Note.isEmpty()) {
      Summary += QStringLiteral("   ") + Note;
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return Idle() && Status() == Summary; }, 10000))
        << Status().toStdString() << " | " << Summary.toStdString();
    EXPECT_EQ(Describe(*Window->Results()), Describe(*Fresh));
    EXPECT_EQ(Find<QTreeWidget>("lvFiles")->topLevelItemCount(),
              static_cast<int>(Fresh->AllFiles.size()));
    QStringList TopFolders;
    for (const auto& Folder : Fresh->Root->Children) {
      TopFolders.append(ShownText(Folder->Name()));
    }
    EXPECT_EQ(ColumnTexts(Find<QTreeView>("lvFilesOfSelectedFolder"), 0), TopFolders);
  }

  std::set<std::string> SelectedPaths(TResultTab* Tab) const {
    const std::vector<std::string> Paths = Tab->GetSelectedPaths();
    return {Paths.begin(), Paths.end()};
  }

  // The row of a top folder in the folders tab's legend.
  QModelIndex TopFolderRow(const char* Name) const {
    auto* Legend = Find<QTreeWidget>("lvFilesOfSelectedFolder");
    for (int Row = 0; Row < Legend->topLevelItemCount(); ++Row) {
      if (Legend->topLevelItem(Row)->text(0) == QLatin1String(Name)) {
        return Legend->model()->index(Row, 0);
      }
    }
    ADD_FAILURE() << "no top folder " << Name;
    return {};
  }

  static QModelIndex RowNamed(const QTreeView* Tree, const QModelIndex& Parent, const char* Name) {
    for (int Row = 0; Row < Tree->model()->rowCount(Parent); ++Row) {
      const QModelIndex Index = Tree->model()->index(Row, 0, Parent);
      if (Index.data().toString().startsWith(QLatin1String(Name) + QLatin1Char(' '))) {
        return Index;
      }
    }
    return {};
  }

  TTempDir FData;
  TScopedEnvironment FDataHome{"XDG_DATA_HOME", FData.Path()};
};

TEST_F(FollowDiskTest, ARemovalShowsWhatANewScanShowsAndKeepsTheRest) {
  for (const bool ToTrash : {true, false}) {
    SCOPED_TRACE(ToTrash ? "trash" : "delete");
    ScanPath(Tree.Path());
    Shell.RemoveForReal = true;
    // Another tab's selection, of a file that stays.
    ShowTab("TabSheet1");
    auto* Files = Find<QTreeWidget>("lvFiles");
    const QStringList Names = ColumnTexts(Files, 0);
    ClickRow(Files, Files->model()->index(static_cast<int>(Names.indexOf("c.dat")), 0));
    ASSERT_EQ(SelectedPaths(FilesView()), std::set{PathOf("c.dat")});
    // The folder tree opened at big; a folder and a file in it removed.
    ShowTab("TabSheet3");
    auto* Nested = Find<QTreeView>("tvFoldersAndFiles");
    auto* Model = Nested->model();
    const QModelIndex Root = Model->index(0, 0);
    Nested->expand(Root);
    const QModelIndex Big = RowNamed(Nested, Root, "big");
    ASSERT_TRUE(Big.isValid());
    Nested->expand(Big);
    Model->fetchMore(Big);
    ClickMap(FilesInFoldersView(), "big/deep");
    ClickMap(FilesInFoldersView(), "big/a.txt", Qt::ControlModifier);
    ASSERT_EQ(SelectedPaths(FilesInFoldersView()),
              (std::set{PathOf("big/deep"), PathOf("big/a.txt")}));
    Dialogs.Answer = true;
    Find<QAction>(ToTrash ? "RemovetoRecycleBin1" : "RemoveCompletely1")->trigger();
    EXPECT_TRUE(Dialogs.Errors.empty());
    ExpectLikeAFreshScan();

    EXPECT_EQ(Find<QTabWidget>("PageControl1")->currentWidget(), FilesInFoldersView());
    EXPECT_TRUE(SelectedPaths(FilesInFoldersView()).empty()) << "what went is not selected";
    EXPECT_EQ(SelectedPaths(FilesView()), std::set{PathOf("c.dat")});
    EXPECT_EQ(SelectedPaths(FoldersView()), std::set{PathOf("big")}) << "its first choice stays";
    const QModelIndex BigNow = RowNamed(Nested, Model->index(0, 0), "big");
    EXPECT_EQ(BigNow.row(), 1) << "behind small now";
    EXPECT_TRUE(Nested->isExpanded(BigNow)) << "the folder opened stays open";
    if (!ToTrash) {
      SaveScreenshot("after-removal");
    }
    Window.reset();
    fs::remove_all(Tree.Path());
    MakeFixtureFiles(Tree);
  }
}

// The duplicates' tree in an order of the user's: the removal takes exactly the file whose node
// is highlighted, and the next results keep the order, the groups opened and the rest.
TEST_F(FollowDiskTest, ASortedTreeOfDuplicatesRemovesWhatItHighlightsAndKeepsItsOrder) {
  // Largest first in the results: zeta.bin, mid.bin, alpha.bin.
  const std::vector<std::string> Twins = {"d1/zeta.bin", "d2/zeta.bin", "d3/zeta.bin",
                                          "d1/mid.bin",  "d2/mid.bin",  "d1/alpha.bin",
                                          "d2/alpha.bin"};
  for (const std::string& Twin : Twins) {
    Tree.MakeFile(Twin, Twin.ends_with("zeta.bin")  ? 3000
                        : Twin.ends_with("mid.bin") ? 2000
                                                    : 1000);
  }
  ScanPath(Tree.Path());
  ShowTab("TabSheetDuplicates");
  auto* Groups = Find<QTreeWidget>("tvDuplicateFiles");
  const auto Names = [Groups] {
    QStringList Texts;
    for (int G = 0; G < Groups->topLevelItemCount(); ++G) {
      Texts.append(Groups->topLevelItem(G)->text(0));
    }
    return Texts;
  };
  ClickHeader(Groups, 0);
  ASSERT_EQ(Names(), (QStringList{"alpha.bin  (2)", "mid.bin  (2)", "zeta.bin  (3)"}));
  QTreeWidgetItem* Zeta = Groups->topLevelItem(2);
  Zeta->setExpanded(true);
  Groups->topLevelItem(1)->setExpanded(true);
  QTreeWidgetItem* Chosen = nullptr;
  for (int F = 0; F < Zeta->childCount(); ++F) {
    if (Zeta->child(F)->text(0) == ShownText(PathOf("d2/zeta.bin"))) {
      Chosen = Zeta->child(F);
    }
  }
  ASSERT_NE(Chosen, nullptr);
  ClickRow(Groups, Groups->indexFromItem(Chosen));
  ASSERT_EQ(SelectedPaths(DupView()), std::set{PathOf("d2/zeta.bin")});
  Dialogs.Answer = true;
  Shell.RemoveForReal = true;
  Find<QAction>("RemoveCompletely1")->trigger();
  ExpectLikeAFreshScan();

  for (const std::string& Twin : Twins) {
    EXPECT_EQ(fs::exists(Tree / Twin), Twin != "d2/zeta.bin") << Twin;
  }
  EXPECT_EQ(Names(), (QStringList{"alpha.bin  (2)", "mid.bin  (2)", "zeta.bin  (2)"}));
  EXPECT_EQ(Groups->header()->sortIndicatorSection(), 0);
  EXPECT_EQ((std::vector<bool>{Groups->topLevelItem(0)->isExpanded(),
                               Groups->topLevelItem(1)->isExpanded(),
                               Groups->topLevelItem(2)->isExpanded()}),
            (std::vector<bool>{false, true, true}));
  EXPECT_TRUE(SelectedPaths(DupView()).empty()) << "what went is not selected";
}

TEST_F(FollowDiskTest, RemovalsMadeWhileTheLastOneIsFollowedLeaveTheResultsToo) {
  ScanPath(Tree.Path());
  Shell.RemoveForReal = true;
  Dialogs.Answer = true;
  ShowTab("TabSheet1");
  auto* Files = Find<QTreeWidget>("lvFiles");
  // The second goes from the disk before the window has taken the first out of its results.
  const std::vector<std::pair<const char*, const char*>> Removals = {
      {"c.dat", "RemovetoRecycleBin1"}, {"a.txt", "RemoveCompletely1"}};
  for (const auto& [Name, Command] : Removals) {
    const QStringList Names = ColumnTexts(Files, 0);
    ASSERT_TRUE(Names.contains(QLatin1String(Name))) << Name;
    ClickRow(Files, Files->model()->index(static_cast<int>(Names.indexOf(Name)), 0));
    Find<QAction>(Command)->trigger();
  }
  EXPECT_TRUE(Dialogs.Errors.empty());
  ExpectLikeAFreshScan();
  EXPECT_TRUE(SelectedPaths(FilesView()).empty()) << "nothing gone stays selected";
}

TEST_F(FollowDiskTest, RescanShowsWhatANewScanShows) {
  struct TCase {
    const char* Name;
    const char* TopFolder;  // selected in the folders tab; none: nothing selected
    bool FolderOnly;        // Rescan Folder rather than F5
    std::function<void(const TTempDir&)> ChangeDisk;
    const char* Note;  // after the summary
  };
  const std::vector<TCase> Cases = {
      {"Rescan Folder after files were added, changed and removed", "big", true,
       [](const TTempDir& Tree) {
         Tree.MakeFile("big/new.bin", 9000);
         Tree.MakeFile("big/a.txt", 10);
         fs::remove(Tree / "big/Makefile");
       },
       nullptr},
      {"F5 on a folder that is gone", "small", false,
       [](const TTempDir& Tree) { fs::remove_all(Tree / "small"); }, "%s no longer exists."},
      {"F5 with nothing selected: the whole source", nullptr, false,
       [](const TTempDir& Tree) {
         Tree.MakeFile("small/more.bin", 20000);
         fs::remove(Tree / "c.dat");
       },
       nullptr},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    ScanPath(Tree.Path());
    ShowTab("TabSheet2");
    if (Case.TopFolder != nullptr) {
      ClickRow(Find<QTreeView>("lvFilesOfSelectedFolder"), TopFolderRow(Case.TopFolder));
      ASSERT_EQ(SelectedPaths(FoldersView()), std::set{PathOf(Case.TopFolder)});
    } else {
      FoldersView()->ClearSelection();
    }
    Case.ChangeDisk(Tree);
    if (Case.FolderOnly) {
      Find<QAction>("RescanFolder1")->trigger();
    } else {
      QTest::keyClick(Find<QTreeView>("tvFolders"), Qt::Key_F5);
    }
    ExpectLikeAFreshScan(Case.Note != nullptr
                             ? ShownText(FormatText(Case.Note, {PathOf(Case.TopFolder)}, {}))
                             : QString());
    if (Case.TopFolder != nullptr && fs::exists(Tree / Case.TopFolder)) {
      EXPECT_EQ(SelectedPaths(FoldersView()), std::set{PathOf(Case.TopFolder)})
          << "the folder walked again stays selected";
    }
    Window.reset();
    fs::remove_all(Tree.Path());
    MakeFixtureFiles(Tree);
  }
}

TEST_F(FollowDiskTest, StopDuringARescanLeavesTheResultsWhole) {
  ScanPath(Tree.Path());
  const TScanResults* Before = Window->Results();
  const std::string Shown = Describe(*Before);
  const QString Summary = Status();
  ShowTab("TabSheet2");
  ClickRow(Find<QTreeView>("lvFilesOfSelectedFolder"), TopFolderRow("big"));
  Tree.MakeFile("big/deep/later.bin", 50000);
  Pace.StallFolder = "deep";
  Pace.Stall = std::chrono::milliseconds(300);
  ASSERT_TRUE(StoppingAt(ShownText("Rescanning " + PathOf("big") + "..."),
                         [this] { Find<QAction>("RescanFolder1")->trigger(); }));
  EXPECT_EQ(Window->Results(), Before);
  EXPECT_EQ(Describe(*Window->Results()), Shown);
  EXPECT_EQ(Status(), Summary);
  EXPECT_EQ(SelectedPaths(FoldersView()), std::set{PathOf("big")});
}

TEST_F(FollowDiskTest, ComparisonShowsGrowthSinceASavedScanOfTheSameFolder) {
  const TTempDir Other;
  Other.MakeFile("elsewhere.txt", 5);
  ScanPath(Other.Path());
  Dialogs.FileAnswer = QString::fromStdString(Other / "other.json");
  Find<QAction>("SaveScanAs1")->trigger();
  Window.reset();
  ScanPath(Tree.Path());
  EXPECT_FALSE(Find<QAction>("EndComparison1")->isEnabled());
  const std::string Saved = Other / "base.json";
  Dialogs.FileAnswer = QString::fromStdString(Saved);
  Find<QAction>("SaveScanAs1")->trigger();
  // A grown file, a new one, a removed one; then the whole source scanned again.
  Tree.MakeFile("big/a.txt", 6100);
  Tree.MakeFile("small/new.bin", 300);
  Tree.MakeFile("big/new.bin", 300);  // a duplicate pair, new
  fs::remove(Tree / "c.dat");
  FoldersView()->ClearSelection();
  ShowTab("TabSheet2");
  QTest::keyClick(Find<QTreeView>("tvFolders"), Qt::Key_F5);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Idle() && Status().startsWith("Done."); }, 10000));

  // A saved scan of another folder is refused, in words.
  Dialogs.FileAnswer = QString::fromStdString(Other / "other.json");
  Find<QAction>("CompareWithSavedScan1")->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Idle() && !Dialogs.Errors.empty(); }, 10000));
  EXPECT_TRUE(Dialogs.Errors.back().startsWith("The saved scan is of "))
      << Dialogs.Errors.back().toStdString();
  EXPECT_FALSE(Find<QAction>("EndComparison1")->isEnabled());

  // The list of the largest in an order of the user's: each row's growth is its own file's.
  for (int Click = 0; Click < 2; ++Click) {
    ClickHeader(Find<QTreeWidget>("lvFiles"), 0);
  }
  Dialogs.FileAnswer = QString::fromStdString(Saved);
  Find<QAction>("CompareWithSavedScan1")->trigger();
  const QString Compared = ShownText("Compared with " + Saved);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Idle() && Status().endsWith(Compared); }, 10000))
      << Status().toStdString();
  const auto Growth = [](int64_t Bytes) { return ShownText("+" + FormatSize(Bytes, {})); };
  // The list of the largest files and the folders' legend, in their growth column.
  auto* Files = Find<QTreeWidget>("lvFiles");
  EXPECT_FALSE(Files->isColumnHidden(6));
  QStringList FileGrowth;
  for (const char* Name : {"a.txt", "new.bin", "b.bin"}) {
    FileGrowth.append(Files->topLevelItem(ColumnTexts(Files, 0).indexOf(Name))->text(6));
  }
  EXPECT_EQ(FileGrowth, (QStringList{Growth(2000), "new", ""}));
  // Sorted by its growth, by the bytes gained: "new" (300 bytes) between nothing and 2000 bytes,
  // where the texts would put it last.
  SetSortChoice(Files, {6, Qt::AscendingOrder});
  QStringList ByGrowth;
  for (const QString& Name : ColumnTexts(Files, 0)) {
    if (Name == "a.txt" || Name == "new.bin" || Name == "b.bin") {
      ByGrowth.append(Name);
    }
  }
  EXPECT_EQ(ByGrowth, (QStringList{"b.bin", "new.bin", "new.bin", "a.txt"}));
  auto* Legend = Find<QTreeWidget>("lvFilesOfSelectedFolder");
  EXPECT_EQ(ColumnTexts(Legend, 5), (QStringList{Growth(2300), Growth(300)}));
  // The tree of folders and files: growth beside each row, the removed file greyed below the
  // files of its folder.
  auto* Nested = Find<QTreeView>("tvFoldersAndFiles");
  // The growth follows the tree's own columns.
  const int GrowthColumn = Nested->model()->columnCount() - 1;
  EXPECT_EQ(Nested->model()->headerData(GrowthColumn, Qt::Horizontal).toString(), "Growth");
  const QModelIndex Root = Nested->model()->index(0, 0);
  EXPECT_EQ(Root.siblingAtColumn(GrowthColumn).data().toString(), Growth(2600 - 700));
  Nested->expand(Root);
  Nested->model()->fetchMore(Root);
  const int Rows = Nested->model()->rowCount(Root);
  const QModelIndex Removed = Nested->model()->index(Rows - 1, 0, Root);
  EXPECT_EQ(Removed.data().toString(), ShownText("c.dat  [" + FormatSize(700, {}) + "]"));
  EXPECT_EQ(Removed.siblingAtColumn(GrowthColumn).data().toString(), "removed");
  EXPECT_EQ(Removed.data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::gray));

  // The duplicates' members too.
  auto* Members = Find<QTreeWidget>("tvDuplicateFiles");
  ASSERT_EQ(Members->topLevelItemCount(), 1);
  QTreeWidgetItem* Pair = Members->topLevelItem(0);
  Pair->setExpanded(true);
  ASSERT_EQ(Pair->childCount(), 2);
  const int MembersGrowth = Members->columnCount() - 1;
  EXPECT_EQ(Members->headerItem()->text(MembersGrowth), "Growth");
  EXPECT_FALSE(Members->isColumnHidden(MembersGrowth));
  EXPECT_EQ((QStringList{Pair->child(0)->text(MembersGrowth), Pair->child(1)->text(MembersGrowth)}),
            (QStringList{"new", "new"}));

  ShowTab("TabSheet3");
  Find<QAction>("ColourbyGrowth1")->trigger();
  SaveScreenshot("comparison");
  // A removal compares the next results again.
  ShowTab("TabSheet2");
  ClickRow(Legend, Legend->model()->index(1, 0));
  ASSERT_EQ(SelectedPaths(FoldersView()), std::set{PathOf("small")});
  Dialogs.Answer = true;
  Shell.RemoveForReal = true;
  Find<QAction>("RemoveCompletely1")->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Idle() && Status().endsWith(Compared); }, 10000))
      << Status().toStdString();
  EXPECT_EQ(ColumnTexts(Legend, 5), (QStringList{Growth(2300)}));

  // An order by the growth gives way to the results' own when the growth goes.
  ClickHeader(Members, MembersGrowth);
  Find<QAction>("EndComparison1")->trigger();
  EXPECT_EQ(Members->header()->sortIndicatorSection(), -1);
  EXPECT_TRUE(Files->isColumnHidden(6));
  EXPECT_EQ(Nested->model()->columnCount(), GrowthColumn);
  EXPECT_TRUE(Members->isColumnHidden(MembersGrowth));
  EXPECT_FALSE(Find<QAction>("EndComparison1")->isEnabled());

  // As the command line asks for it: compared once the scan is shown.
  Window.reset();
  OpenWindow();
  Window->CompareOnceShown(Saved);
  ChoosePath(ShownText(Tree.Path()));
  Click("btnScan");
  ASSERT_TRUE(QTest::qWaitFor([&] { return Idle() && Status().endsWith(Compared); }, 10000))
      << Status().toStdString();
  EXPECT_FALSE(Find<QTreeWidget>("lvFiles")->isColumnHidden(6));
}

}  // namespace
}  // namespace dunstrel::testing
