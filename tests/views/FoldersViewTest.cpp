#include <QItemSelectionModel>

#include "views/ScanTreeModel.h"
#include "views/TabsFixture.h"

namespace dunstrel::testing {
namespace {

class FoldersViewTest : public TabsTest {
 protected:
  QTreeView* TreeView() const { return Find<QTreeView>("tvFolders"); }
  QTreeWidget* Legend() const { return Find<QTreeWidget>("lvFilesOfSelectedFolder"); }
  const TFolderTreemapLayout& Map() const { return FoldersView()->Map(); }
  TTreemapSurface* Surface() const { return Find<TTreemapSurface>("PaintBox2"); }

  const TFolderMapItem& Cell(std::string_view Relative) const {
    for (const TFolderMapItem& Item : Map().Items()) {
      if (Item.Node->FullPath() == PathOf(Relative)) {
        return Item;
      }
    }
    ADD_FAILURE() << "no cell for " << Relative;
    return Map().Items().front();
  }
  std::string CurrentFolder() const {
    const TDirNode* Folder = TScanTreeModel::FolderOf(TreeView()->currentIndex());
    return Folder != nullptr ? std::string(Folder->FullPath()) : std::string();
  }
};

TEST_F(FoldersViewTest, TreeLegendAndMapStartAtTheLargestFolder) {
  ScanFixture();
  EXPECT_EQ(RowTexts(TreeView()), (QStringList{"big  [7.5 KB]", "small  [1000 B]"}));
  EXPECT_EQ(FoldersView()->GetSelectedPaths(), std::vector<std::string>{PathOf("big")});
  EXPECT_EQ(Highlighted(FoldersView()), std::set<std::string>{PathOf("big")});
  // The shares are of the folders below the root: c.dat in the root is not part of the 100%.
  EXPECT_EQ(ColumnTexts(Legend(), 0), (QStringList{"big", "small"}));
  EXPECT_EQ(ColumnTexts(Legend(), 3), (QStringList{"88.51%", "11.49%"}));
  EXPECT_EQ(ColumnTexts(Legend(), 4), (QStringList{"4", "1"}));
  EXPECT_EQ(Legend()->headerItem()->text(3), "%");
}

TEST_F(FoldersViewTest, LegendMapAndTreeSelectTheSameFolders) {
  ScanFixture();
  ShowTab("TabSheet2");
  TFoldersView* View = FoldersView();
  ClickRow(Legend(), Legend()->model()->index(1, 0));
  EXPECT_EQ(CurrentFolder(), PathOf("small"));
  EXPECT_EQ(Highlighted(View), std::set<std::string>{PathOf("small")});
  EXPECT_EQ(FramedOnMap(View), std::set<std::string>{PathOf("small")});
  EXPECT_EQ(Status(), "small  1000 B  (1 file(s))");

  // A folder whose node lies below a closed one is selected, shown and opened.
  ClickCellCorner(Surface(), Cell("big/deep/x").Rect);
  EXPECT_EQ(CurrentFolder(), PathOf("big/deep/x"));
  EXPECT_TRUE(TreeView()->isExpanded(TreeView()->currentIndex()));
  EXPECT_EQ(Highlighted(View), std::set<std::string>{PathOf("big/deep/x")});
  EXPECT_TRUE(Legend()->selectedItems().isEmpty()) << "no legend row stands for it";
  EXPECT_EQ(ColumnTexts(Legend(), 0), (QStringList{"big", "small"})) << "always the top folders";
  EXPECT_EQ(Status(), ShownText(PathOf("big/deep/x")) + "  2.9 KB");

  // Ctrl adds a folder on the map and in the tree alike.
  ClickCellCorner(Surface(), Cell("small").Rect);
  QTest::mouseClick(Surface(), Qt::LeftButton, Qt::ControlModifier, Corner(Cell("big/deep").Rect));
  EXPECT_EQ(Highlighted(View), (std::set<std::string>{PathOf("small"), PathOf("big/deep")}));
  EXPECT_EQ(FramedOnMap(View), (std::set<std::string>{PathOf("small"), PathOf("big/deep")}));

  // A new size lays the map out again and keeps the selection.
  const TRect Before = Cell("big").Rect;
  Pages->resize(Pages->width() - 200, Pages->height() - 100);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !(Cell("big").Rect == Before); }, 2000));
  EXPECT_EQ(FramedOnMap(View), (std::set<std::string>{PathOf("small"), PathOf("big/deep")}));

  DoubleClickCellCorner(Surface(), Cell("small").Rect);
  EXPECT_EQ(Host.Opened, std::vector<std::string>{PathOf("small")});
  SaveScreenshotOfTab("TabSheet2");
}

}  // namespace
}  // namespace dunstrel::testing
