#include <QItemSelectionModel>

#include "views/ScanTreeModel.h"
#include "views/ViewsFixture.h"

namespace dunstrel::testing {
namespace {

class FoldersViewTest : public ViewsTest {
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
  EXPECT_EQ(CurrentFolder(), PathOf("big"));
  EXPECT_EQ(FoldersView()->SelectedFolder()->FullPath(), PathOf("big"));
  EXPECT_EQ(Map().SelectedNode(), FoldersView()->SelectedFolder());
  // The shares are of the folders below the root: c.dat in the root is not part of the 100%.
  EXPECT_EQ(ColumnTexts(Legend(), 0), (QStringList{"big", "small"}));
  EXPECT_EQ(ColumnTexts(Legend(), 3), (QStringList{"88.51%", "11.49%"}));
  EXPECT_EQ(ColumnTexts(Legend(), 4), (QStringList{"4", "1"}));
  EXPECT_EQ(Legend()->headerItem()->text(3), "%");
}

TEST_F(FoldersViewTest, LegendMapAndTreeSelectTheSameFolder) {
  ScanFixture();
  ShowTab("TabSheet2");
  Legend()->topLevelItem(1)->setSelected(true);
  ASSERT_TRUE(QTest::qWaitFor([this] { return CurrentFolder() == PathOf("small"); }, 2000));
  EXPECT_EQ(Map().SelectedNode()->FullPath(), PathOf("small"));
  EXPECT_TRUE(Legend()->selectedItems().isEmpty()) << "selecting the folder refills the legend";
  EXPECT_EQ(Status(), ShownText(PathOf("small")) + "  1000 B");

  // A folder whose node lies below a closed one is selected and opened all the same.
  ClickCellCorner(Surface(), Cell("big/deep/x").Rect);
  EXPECT_EQ(CurrentFolder(), PathOf("big/deep/x"));
  EXPECT_TRUE(TreeView()->isExpanded(TreeView()->currentIndex()));
  EXPECT_EQ(Map().SelectedNode()->FullPath(), PathOf("big/deep/x"));
  EXPECT_EQ(ColumnTexts(Legend(), 0), (QStringList{"big", "small"})) << "always the top folders";

  // A new size lays the map out again and keeps the selected folder.
  const TRect Before = Cell("big").Rect;
  Window->resize(Window->width() - 200, Window->height() - 100);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !(Cell("big").Rect == Before); }, 2000));
  EXPECT_EQ(Map().SelectedNode()->FullPath(), PathOf("big/deep/x"));

  DoubleClickCellCorner(Surface(), Cell("small").Rect);
  EXPECT_EQ(Shell.Opened, std::vector<std::string>{PathOf("small")});
  SaveScreenshotOfTab("TabSheet2");
}

}  // namespace
}  // namespace dunstrel::testing
