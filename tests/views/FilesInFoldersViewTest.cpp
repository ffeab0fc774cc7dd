#include <QItemSelectionModel>

#include "views/ScanTreeModel.h"
#include "views/ViewsFixture.h"

namespace dunstrel::testing {
namespace {

class FilesInFoldersViewTest : public ViewsTest {
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
  EXPECT_EQ(RootRow().data().toString(),
            ShownText(std::string(Window->ScanRoot()->Name())) + "  [9.2 KB]");
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

TEST_F(FilesInFoldersViewTest, ADeepFileClickedOnTheMapOpensItsFolders) {
  ScanFixture();
  const std::string Leaf = PathOf("big/deep/x/y/leaf.bin");
  ClickCell(Surface(), Cell("big/deep/x/y/leaf.bin").Rect);
  const QModelIndex Current = TreeView()->currentIndex();
  ASSERT_NE(TScanTreeModel::FileOf(Current), nullptr);
  EXPECT_EQ(TScanTreeModel::FileOf(Current)->FullPath(), Leaf);
  for (QModelIndex Folder = Current.parent(); Folder.isValid(); Folder = Folder.parent()) {
    EXPECT_TRUE(TreeView()->isExpanded(Folder)) << Folder.data().toString().toStdString();
  }
  ASSERT_NE(Map().Primary(), nullptr);
  EXPECT_EQ(Map().Primary()->FullPath(), Leaf);
  EXPECT_EQ(Status(), ShownText(Leaf) + "  2.9 KB");
  SaveScreenshotOfTab("TabSheet3");
}

TEST_F(FilesInFoldersViewTest, CtrlClicksOnTheMapAddToTheTreesSelectionAndTakeFromIt) {
  ScanFixture();
  ClickCell(Surface(), Cell("small/b.bin").Rect);
  ClickCell(Surface(), Cell("c.dat").Rect, Qt::ControlModifier);
  EXPECT_TRUE(Map().IsSelected(Cell("small/b.bin")));
  EXPECT_TRUE(Map().IsSelected(Cell("c.dat")));
  EXPECT_EQ(TreeView()->selectionModel()->selectedIndexes().size(), 2);
  ClickCell(Surface(), Cell("small/b.bin").Rect, Qt::ControlModifier);
  EXPECT_FALSE(Map().IsSelected(Cell("small/b.bin")));
  EXPECT_TRUE(Map().IsSelected(Cell("c.dat")));
  EXPECT_EQ(TreeView()->selectionModel()->selectedIndexes().size(), 1);
}

TEST_F(FilesInFoldersViewTest, TreeAndLegendSelectOnTheMap) {
  ScanFixture();
  TreeView()->expand(RootRow());
  QItemSelectionModel* Selection = TreeView()->selectionModel();
  Selection->select(ChildRow(RootRow(), 1), QItemSelectionModel::ClearAndSelect);
  Selection->select(ChildRow(RootRow(), 2), QItemSelectionModel::Select);
  EXPECT_TRUE(Map().IsSelected(Cell("small")));
  EXPECT_TRUE(Map().IsSelected(Cell("c.dat")));
  EXPECT_FALSE(Map().IsSelected(Cell("big")));
  EXPECT_EQ(Status(), ShownText(PathOf("small")) + "  1000 B  (2 selected)");

  Legend()->selectionModel()->select(Legend()->model()->index(1, 0),  // .bin
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
  EXPECT_TRUE(Map().IsSelected(Cell("small/b.bin")));
  EXPECT_TRUE(Map().IsSelected(Cell("big/deep/x/y/leaf.bin")));
  EXPECT_FALSE(Map().IsSelected(Cell("c.dat")));
  Legend()->clearSelection();
  EXPECT_EQ(Map().Primary(), nullptr);
}

TEST_F(FilesInFoldersViewTest, AFolderClickedOnTheMapSelectsItsRowOnlyWhenTheRowExists) {
  ScanFixture();
  ClickCellCorner(Surface(), Cell("big/deep").Rect);
  EXPECT_FALSE(TreeView()->isExpanded(RootRow())) << "big's rows were never made";
  EXPECT_EQ(Map().Primary()->FullPath(), PathOf("big/deep"));
  TreeView()->expand(RootRow());
  ClickCellCorner(Surface(), Cell("big").Rect);
  const TDirNode* Current = TScanTreeModel::FolderOf(TreeView()->currentIndex());
  ASSERT_NE(Current, nullptr);
  EXPECT_EQ(Current->FullPath(), PathOf("big"));
  EXPECT_TRUE(TreeView()->isExpanded(TreeView()->currentIndex()));
}

}  // namespace
}  // namespace dunstrel::testing
