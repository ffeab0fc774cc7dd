#include <QAction>
#include <QTabWidget>
#include <QTreeView>
#include <QTreeWidget>
#include <fstream>

#include "app/WindowFixture.h"
#include "support/CountedScan.h"
#include "views/FigureMarks.h"

namespace dunstrel::testing {
namespace {

// A saved scan whose counts differ in every figure (see kCountedScan), shown in either count.
class SizeCountTest : public WindowTest {
 protected:
  void OpenCountedScan() {
    const std::string File = FWork / "counted.json";
    std::ofstream(File) << test::kCountedScan;
    Window->OpenScanFile(File);
    ASSERT_TRUE(WaitUntilIdle());
    ASSERT_TRUE(Dialogs.Errors.empty());
  }

  void Choose(const char* Item) {
    Find<QAction>(Item)->trigger();
    ASSERT_TRUE(WaitUntilIdle());
  }

  QString RowText(const char* List, int Row, int Column) const {
    const QTreeWidgetItem* Item = Find<QTreeWidget>(List)->topLevelItem(Row);
    return Item != nullptr ? Item->text(Column) : QString();
  }
  QVariant ViewData(const char* View, int Row, int Role = Qt::DisplayRole) const {
    const QAbstractItemModel* Model = Find<QTreeView>(View)->model();
    return Model->data(Model->index(Row, 0), Role);
  }

  TTempDir FWork;
};

// Every tab's figures follow the count, there and back, with the same tree.
TEST_F(SizeCountTest, EveryFigureOfEveryTabFollowsTheCount) {
  OpenWindow();
  OpenCountedScan();
  const TDirNode* Tree = Window->ScanRoot();
  const struct {
    const char* Item;
    TSizeCount Count;
    const char* Summary;
    const char* LargestFile;  // the first row of the largest files, with its figure
    const char* LargestFigure;
    const char* FirstExtension;  // the legends' first row
    const char* FirstTopFolder;  // the folder legend's first row, its figure and share
    const char* TopFolderFigure;
    const char* TopFolderShare;
    const char* TreeRoot;  // the root's row of the tree of folders and files
    const char* GroupFigure;
  } Cases[] = {
      {"DiskUsage1", TSizeCount::DiskUsage,
       "Done. Total files: 5   Total size: 32.0 KB   (1 folder could not be read)", "small.log",
       "8.0 KB", ".log", "a", "8.0 KB", "50.00%", "t  [32.0 KB]", "4.0 KB"},
      {"ApparentSize1", TSizeCount::ApparentSize,
       "Done. Total files: 5   Total size: 977.6 KB   (1 folder could not be read)", "sparse.img",
       "976.6 KB", ".img", "b", "20 B", "66.67%", "t  [977.6 KB]", "10 B"},
      {"DiskUsage1", TSizeCount::DiskUsage,
       "Done. Total files: 5   Total size: 32.0 KB   (1 folder could not be read)", "small.log",
       "8.0 KB", ".log", "a", "8.0 KB", "50.00%", "t  [32.0 KB]", "4.0 KB"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Item);
    Choose(Case.Item);
    ASSERT_NE(Window->Results(), nullptr);
    EXPECT_EQ(Window->Results()->Count, Case.Count);
    EXPECT_EQ(Window->ScanRoot(), Tree) << "built again from the same tree, not read again";
    EXPECT_TRUE(Find<QAction>(Case.Item)->isChecked());
    EXPECT_TRUE(Status().endsWith(QLatin1String(Case.Summary))) << Status().toStdString();
    EXPECT_EQ(RowText("lvFiles", 0, 0), QLatin1String(Case.LargestFile));
    EXPECT_EQ(RowText("lvFiles", 0, 2), QLatin1String(Case.LargestFigure));
    EXPECT_EQ(ViewData("lvExt", 0).toString(), QLatin1String(Case.FirstExtension));
    EXPECT_EQ(ViewData("tvFileExtensions", 0).toString(), QLatin1String(Case.FirstExtension));
    EXPECT_EQ(RowText("lvFilesOfSelectedFolder", 0, 0), QLatin1String(Case.FirstTopFolder));
    EXPECT_EQ(RowText("lvFilesOfSelectedFolder", 0, 2), QLatin1String(Case.TopFolderFigure));
    EXPECT_EQ(RowText("lvFilesOfSelectedFolder", 0, 3), QLatin1String(Case.TopFolderShare));
    EXPECT_EQ(ViewData("tvFoldersAndFiles", 0).toString(), QLatin1String(Case.TreeRoot));
    EXPECT_EQ(RowText("lvDuplicateGroupsColors", 0, 2), QLatin1String(Case.GroupFigure));
  }
}

// The hard link counted at its other name is greyed and marked in the disk usage only; the folder
// that could not be read is marked and explained in either count.
TEST_F(SizeCountTest, MarksTheUncountedLinkAndTheUnreadableFolder) {
  OpenWindow();
  OpenCountedScan();
  for (const char* Item : {"DiskUsage1", "ApparentSize1"}) {
    SCOPED_TRACE(Item);
    Choose(Item);
    const bool Disk = Window->Count() == TSizeCount::DiskUsage;
    const QTreeWidget* Files = Find<QTreeWidget>("lvFiles");
    const QList<QTreeWidgetItem*> Twins =
        Files->findItems(QStringLiteral("twin.txt"), Qt::MatchExactly, 0);
    ASSERT_EQ(Twins.size(), 2);
    int Marked = 0;
    for (const QTreeWidgetItem* Twin : Twins) {
      if (Twin->toolTip(2) == HardLinkNote()) {
        ++Marked;
        EXPECT_EQ(Twin->text(2), QStringLiteral("0 B (hard link)"));
        EXPECT_EQ(Twin->foreground(0), MarkedTextBrush());
      }
    }
    EXPECT_EQ(Marked, Disk ? 1 : 0);

    // The folders' tree: "locked" is last in either count (it holds nothing).
    const QAbstractItemModel* Folders = Find<QTreeView>("tvFolders")->model();
    const QModelIndex Locked = Folders->index(Folders->rowCount() - 1, 0);
    EXPECT_TRUE(Folders->data(Locked).toString().startsWith(QLatin1String("locked  [")));
    EXPECT_TRUE(Folders->data(Locked).toString().endsWith(QLatin1String("!")));
    EXPECT_EQ(Folders->data(Locked, Qt::ToolTipRole).toString(), QStringLiteral("cannot be read"));
    EXPECT_EQ(Folders->data(Locked, Qt::ForegroundRole).value<QBrush>(), MarkedTextBrush());
    const QModelIndex Readable = Folders->index(0, 0);
    EXPECT_FALSE(Folders->data(Readable, Qt::ToolTipRole).isValid());
  }
  Choose("DiskUsage1");
  QTreeView* Tree = Find<QTreeView>("tvFoldersAndFiles");
  Tree->expandRecursively(Tree->model()->index(0, 0), 2);
  SaveScreenshot("disk-usage-marks");
}

// A folder the walk may not read is counted in the summary and marked with its reason.
TEST_F(SizeCountTest, AScanMarksTheFolderItCouldNotRead) {
  FWork.MakeFile("tree/open/a.txt", 10);
  FWork.MakeFile("tree/locked/secret.txt", 10);
  Pace.DeniedFolder = "locked";
  OpenWindow();
  ChoosePath(QString::fromStdString(FWork / "tree"));
  Click("btnScan");
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_TRUE(Status().endsWith(QLatin1String("(1 folder could not be read)")))
      << Status().toStdString();
  const QAbstractItemModel* Folders = Find<QTreeView>("tvFolders")->model();
  ASSERT_EQ(Folders->rowCount(), 2);
  const QModelIndex Locked = Folders->index(1, 0);
  EXPECT_TRUE(Folders->data(Locked).toString().startsWith(QLatin1String("locked  [")));
  EXPECT_EQ(Folders->data(Locked, Qt::ToolTipRole).toString(),
            QStringLiteral("cannot be read: permission denied"));
  SaveScreenshot("unreadable-folder");
}

// The tab shown and the items chosen stay over a switch; extensions chosen whole too.
TEST_F(SizeCountTest, ASwitchKeepsTheTabAndTheSelection) {
  OpenWindow();
  OpenCountedScan();
  Find<QTabWidget>("PageControl1")->setCurrentIndex(1);  // the largest files
  QTreeWidget* Files = Find<QTreeWidget>("lvFiles");
  const QList<QTreeWidgetItem*> Small =
      Files->findItems(QStringLiteral("small.log"), Qt::MatchExactly, 0);
  ASSERT_EQ(Small.size(), 1);
  Files->setCurrentItem(Small.front());
  const std::vector<std::string> Chosen = Window->GetSelectedPaths();
  ASSERT_EQ(Chosen, std::vector<std::string>{"/t/small.log"});

  Choose("DiskUsage1");
  Choose("ApparentSize1");
  EXPECT_EQ(Find<QTabWidget>("PageControl1")->currentIndex(), 1);
  EXPECT_EQ(Window->GetSelectedPaths(), Chosen);
  ASSERT_EQ(Files->selectedItems().size(), 1);
  EXPECT_EQ(Files->selectedItems().front()->text(0), QStringLiteral("small.log"));
}

// A switch stopped at once ends with nothing shown, and the next results keep nothing of the
// selection kept over it.
TEST_F(SizeCountTest, AStoppedSwitchEndsCancelledAndLeavesNothingBehind) {
  OpenWindow();
  OpenCountedScan();
  Find<QAction>("DiskUsage1")->trigger();
  Click("btnStop");  // before the job's end reaches the window
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(Window->Results(), nullptr);
  EXPECT_EQ(Status(), QStringLiteral("Cancelled"));
  OpenCountedScan();
  ASSERT_NE(Window->Results(), nullptr);
  EXPECT_EQ(Window->Results()->Count, TSizeCount::DiskUsage);
  EXPECT_EQ(Window->GetSelectedPaths(), std::vector<std::string>{"/t"}) << "a new tree's own";
}

// The first start counts as the platform does; the choice is kept for the next start.
TEST_F(SizeCountTest, TheChoiceSurvivesARestart) {
  CountInApparentSize = false;
  OpenWindow();
  EXPECT_EQ(Window->Count(), kDefaultSizeCount);
  const char* const Other =
      kDefaultSizeCount == TSizeCount::DiskUsage ? "ApparentSize1" : "DiskUsage1";
  Choose(Other);
  const TSizeCount Chosen = Window->Count();
  EXPECT_NE(Chosen, kDefaultSizeCount);
  Window->close();
  Window.reset();

  OpenWindow();
  EXPECT_EQ(Window->Count(), Chosen);
  EXPECT_TRUE(Find<QAction>(Other)->isChecked());
  OpenCountedScan();
  EXPECT_EQ(Window->Results()->Count, Chosen);
}

}  // namespace
}  // namespace dunstrel::testing
