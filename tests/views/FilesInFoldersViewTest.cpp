#include <QItemSelectionModel>

#include "views/ScanTreeModel.h"
#include "views/TabsFixture.h"

namespace dunstrel::testing {
namespace {

class FilesInFoldersViewTest : public TabsTest {
 protected:
  QTreeView* TreeView() const { return Find<QTreeView>("tvFoldersAndFiles"); }
  QTreeView* Legend() const { return Find<QTreeView>("tvFileExtensions"); }
  const THierTreemapLayout& Map() const { return FilesInFoldersView()->Map(); }
  TTreemapSurface* Surface() const { return Find<TTreemapSurface>("PaintBox3"); }

  const THierItem& Cell(std::string_view Relative) const {
    const std::string Path = Relative.empty() ? Tree.Path() : PathOf(Relative);
    for (const THierItem& Item : Map().Items()) {
      if (Item.FullPath() == Path) {
        return Item;
      }
    }
    ADD_FAILURE() << "no cell for " << Relative;
    return Map().Items().front();
  }
  QModelIndex RootRow() const { return TreeView()->model()->index(0, 0, {}); }
  QModelIndex ChildRow(const QModelIndex& Parent, int Row) const {
    return TreeView()->model()->index(Row, 0, Parent);
  }
};

TEST_F(FilesInFoldersViewTest, TheTreeStartsAtTheRootAndOpensFolderByFolder) {
  ScanFixture();
  QAbstractItemModel* Rows = TreeView()->model();
  ASSERT_EQ(Rows->rowCount({}), 1);
  EXPECT_EQ(RootRow().data().toString(), ShownText(Results->Root->Name()) + "  [9.2 KB]");
  EXPECT_TRUE(TreeView()->selectionModel()->isSelected(RootRow()));
  EXPECT_FALSE(TreeView()->isExpanded(RootRow()));
  EXPECT_TRUE(Rows->hasChildren(RootRow()));
  EXPECT_EQ(Rows->rowCount(RootRow()), 0) << "nothing below the root is made before it opens";

  TreeView()->expand(RootRow());
  EXPECT_EQ(RowTexts(TreeView(), RootRow()),
            (QStringList{"big  [7.5 KB]", "small  [1000 B]", "c.dat  [700 B]"}));
  TreeView()->collapse(RootRow());
  TreeView()->expand(RootRow());
  EXPECT_EQ(Rows->rowCount(RootRow()), 3) << "opening twice makes the rows once";

  const QModelIndex Big = ChildRow(RootRow(), 0);
  TreeView()->expand(Big);
  EXPECT_EQ(RowTexts(TreeView(), Big), (QStringList{"deep  [2.9 KB]", "a.txt  [4.0 KB]",
                                                    "Makefile  [500 B]", "makefile  [100 B]"}))
      << "sub-folders first, then files, each largest first";
  EXPECT_EQ(ColumnTexts(Legend(), 0), (QStringList{".txt", ".bin", ".dat", "(none)"}));
  EXPECT_EQ(ColumnTexts(Legend(), 3), (QStringList{"1", "2", "1", "2"}));
}

// A cell deep inside folders never opened in the tree: the tree opens the chain down to it,
// selects its node and shows it, for a file and for a folder alike.
TEST_F(FilesInFoldersViewTest, ADeepCellClickedOnTheMapSelectsItsNode) {
  ScanFixture();
  for (const char* Relative : {"big/deep/x/y/leaf.bin", "big/deep/x/y", "big/deep/x", "small"}) {
    SCOPED_TRACE(Relative);
    const std::string Path = PathOf(Relative);
    const THierItem& Target = Cell(Relative);
    if (Target.Kind == THierKind::hkFile) {
      ClickCell(Surface(), Target.Rect);
    } else {
      ClickCellCorner(Surface(), Target.Rect);
    }
    const QModelIndex Current = TreeView()->currentIndex();
    const TFileLeaf* File = TScanTreeModel::FileOf(Current);
    const TDirNode* Folder = TScanTreeModel::FolderOf(Current);
    ASSERT_TRUE(File != nullptr || Folder != nullptr);
    EXPECT_EQ(File != nullptr ? File->FullPath() : std::string(Folder->FullPath()), Path);
    EXPECT_EQ(TreeView()->selectionModel()->selectedRows(), QModelIndexList{Current});
    for (QModelIndex Above = Current.parent(); Above.isValid(); Above = Above.parent()) {
      EXPECT_TRUE(TreeView()->isExpanded(Above)) << Above.data().toString().toStdString();
    }
    EXPECT_TRUE(TreeView()->viewport()->rect().intersects(TreeView()->visualRect(Current)));
    EXPECT_EQ(Highlighted(FilesInFoldersView()), std::set<std::string>{Path});
  }
  EXPECT_EQ(Status(), ShownText(PathOf("small")) + "  1000 B");
  SaveScreenshotOfTab("TabSheet3");
}

TEST_F(FilesInFoldersViewTest, CtrlClicksOnTheMapAddToTheTreesSelectionAndTakeFromIt) {
  ScanFixture();
  ClickCell(Surface(), Cell("small/b.bin").Rect);
  ClickCell(Surface(), Cell("c.dat").Rect, Qt::ControlModifier);
  EXPECT_EQ(Highlighted(FilesInFoldersView()),
            (std::set<std::string>{PathOf("small/b.bin"), PathOf("c.dat")}));
  EXPECT_EQ(TreeView()->selectionModel()->selectedRows().size(), 2);
  EXPECT_EQ(Status(), ShownText(PathOf("small/b.bin")) + "  1000 B  (2 selected)");
  ClickCell(Surface(), Cell("small/b.bin").Rect, Qt::ControlModifier);
  EXPECT_EQ(Highlighted(FilesInFoldersView()), std::set<std::string>{PathOf("c.dat")});
  EXPECT_EQ(TreeView()->selectionModel()->selectedRows().size(), 1);
}

TEST_F(FilesInFoldersViewTest, TreeAndLegendSelectOnTheMap) {
  ScanFixture();
  TreeView()->expand(RootRow());
  QItemSelectionModel* Selection = TreeView()->selectionModel();
  Selection->select(ChildRow(RootRow(), 1), QItemSelectionModel::ClearAndSelect);
  Selection->select(ChildRow(RootRow(), 2), QItemSelectionModel::Select);
  EXPECT_EQ(FramedOnMap(FilesInFoldersView()),
            (std::set<std::string>{PathOf("small"), PathOf("c.dat")}));
  EXPECT_EQ(Status(), ShownText(PathOf("small")) + "  1000 B  (2 selected)");

  // An extension's files, in the rows that exist and on the map; the tree's folders go.
  ClickRow(Legend(), Legend()->model()->index(1, 0));  // .bin
  EXPECT_EQ(Highlighted(FilesInFoldersView()),
            (std::set<std::string>{PathOf("small/b.bin"), PathOf("big/deep/x/y/leaf.bin")}));
  EXPECT_EQ(FramedOnMap(FilesInFoldersView()),
            (std::set<std::string>{PathOf("small/b.bin"), PathOf("big/deep/x/y/leaf.bin")}));
  EXPECT_TRUE(Selection->selectedRows().isEmpty()) << "neither file has a row yet";
  EXPECT_EQ(Status(), ".bin  3.9 KB  (2 file(s))");
  TreeView()->expand(ChildRow(RootRow(), 1));
  ClickRow(Legend(), Legend()->model()->index(1, 0), Qt::ControlModifier);
  ClickRow(Legend(), Legend()->model()->index(1, 0), Qt::ControlModifier);
  EXPECT_EQ(Selection->selectedRows().size(), 1) << "small/b.bin's row exists now";
  Legend()->clearSelection();
  EXPECT_TRUE(FramedOnMap(FilesInFoldersView()).empty());
  EXPECT_EQ(Status(), "Ready");
}

}  // namespace
}  // namespace dunstrel::testing
