#include <QItemSelectionModel>

#include "views/TabsFixture.h"

namespace dunstrel::testing {
namespace {

class FilesViewTest : public TabsTest {
 protected:
  QTreeWidget* Files() const { return Find<QTreeWidget>("lvFiles"); }
  QTreeView* Exts() const { return Find<QTreeView>("lvExt"); }
  const TFlatTreemapLayout& Map() const { return FilesView()->Map(); }
  TTreemapSurface* Surface() const { return Find<TTreemapSurface>("PaintBox1"); }

  const TFlatMapItem& Cell(std::string_view Relative) const {
    for (const TFlatMapItem& Item : Map().Items()) {
      if (Item.FullPath() == PathOf(Relative)) {
        return Item;
      }
    }
    ADD_FAILURE() << "no cell for " << Relative;
    return Map().Items().front();
  }
  QStringList SelectedNames() const {
    QStringList Names;
    for (int I = 0; I < Files()->topLevelItemCount(); ++I) {
      if (Files()->topLevelItem(I)->isSelected()) {
        Names.append(Files()->topLevelItem(I)->text(0));
      }
    }
    return Names;
  }
  void SelectExts(const QStringList& Keys) const {
    Exts()->clearSelection();
    const QAbstractItemModel* Rows = Exts()->model();
    for (int I = 0; I < Rows->rowCount(); ++I) {
      if (Keys.contains(Rows->index(I, 0).data().toString())) {
        Exts()->selectionModel()->select(Rows->index(I, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
      }
    }
  }
};

TEST_F(FilesViewTest, ListLegendAndMapShowTheScan) {
  ScanFixture();
  EXPECT_EQ(ColumnTexts(Files(), 0),
            (QStringList{"a.txt", "leaf.bin", "b.bin", "c.dat", "Makefile", "makefile"}));
  const QTreeWidgetItem* Largest = Files()->topLevelItem(0);
  EXPECT_EQ(Largest->text(1), ShownText(PathOf("big")));
  EXPECT_EQ(Largest->text(2), "4.0 KB");
  EXPECT_EQ(Largest->text(3), "43.62%") << "a share of the listed files' 9400 bytes";
  EXPECT_FALSE(Largest->text(4).isEmpty());
  EXPECT_EQ(Largest->data(5, Qt::UserRole).toByteArray().toStdString(), PathOf("big/a.txt"));
  EXPECT_EQ(Files()->topLevelItem(3)->text(1), ShownText(Tree.Path())) << "a file of the root";

  EXPECT_EQ(ColumnTexts(Exts(), 0), (QStringList{".txt", ".bin", ".dat", "(none)"}));
  EXPECT_EQ(ColumnTexts(Exts(), 2), (QStringList{"4.0 KB", "3.9 KB", "700 B", "600 B"}));
  EXPECT_EQ(ColumnTexts(Exts(), 4), (QStringList{"1", "2", "1", "2"}));
  EXPECT_TRUE(Map().Items().empty()) << "a hidden tab's map waits until it is shown";
  ShowTab("TabSheet1");
  EXPECT_EQ(Map().Items().size(), 6u);
  SaveScreenshotOfTab("TabSheet1");
}

TEST_F(FilesViewTest, ListMapAndLegendShowOneSelection) {
  ScanFixture();
  ShowTab("TabSheet1");
  TFilesView* View = FilesView();

  // A row selects its file on the map, alone.
  ClickRow(Files(), Files()->model()->index(1, 0));
  EXPECT_EQ(FramedOnMap(View), std::set<std::string>{PathOf("big/deep/x/y/leaf.bin")});
  EXPECT_EQ(Status(), ShownText(PathOf("big/deep/x/y/leaf.bin")) + "  2.9 KB");

  // A cell selects its row alone; Ctrl takes it out of both again.
  ClickCell(Surface(), Cell("small/b.bin").Rect);
  EXPECT_EQ(SelectedNames(), QStringList{"b.bin"});
  EXPECT_EQ(Status(), ShownText(PathOf("small/b.bin")) + "  1000 B");
  ClickCell(Surface(), Cell("small/b.bin").Rect, Qt::ControlModifier);
  EXPECT_TRUE(FramedOnMap(View).empty());
  EXPECT_TRUE(SelectedNames().isEmpty());
  EXPECT_EQ(Status(), "Ready");

  // Extensions select their files in the list and on the map and say so in the status line;
  // a file whose extension is all selected marks its legend row.
  SelectExts({".bin", ".dat"});
  EXPECT_EQ(SelectedNames(), (QStringList{"leaf.bin", "b.bin", "c.dat"}));
  EXPECT_EQ(FramedOnMap(View), (std::set<std::string>{PathOf("big/deep/x/y/leaf.bin"),
                                                      PathOf("small/b.bin"), PathOf("c.dat")}));
  EXPECT_EQ(Status(), ".bin, .dat  4.6 KB  (3 file(s))");
  Exts()->clearSelection();
  EXPECT_TRUE(SelectedNames().isEmpty());
  EXPECT_TRUE(FramedOnMap(View).empty());

  // Two rows: both on the map, the count in the status line, and the legend marks ".txt",
  // whose only file is one of them.
  ClickRow(Files(), Files()->model()->index(0, 0));
  ClickRow(Files(), Files()->model()->index(2, 0), Qt::ControlModifier);
  EXPECT_EQ(FramedOnMap(View), (std::set<std::string>{PathOf("big/a.txt"), PathOf("small/b.bin")}));
  EXPECT_EQ(Status(), ShownText(PathOf("big/a.txt")) + "  4.0 KB  (2 selected)");
  EXPECT_EQ(Exts()->selectionModel()->selectedRows(),
            QModelIndexList{Exts()->model()->index(0, 0)});
}

TEST_F(FilesViewTest, NamesThatDifferOnlyInCaseAreTwoFiles) {
  ScanFixture();
  ShowTab("TabSheet1");
  ClickCell(Surface(), Cell("big/makefile").Rect);
  EXPECT_EQ(SelectedNames(), QStringList{"makefile"});
  ClickCell(Surface(), Cell("big/Makefile").Rect);
  EXPECT_EQ(SelectedNames(), QStringList{"Makefile"});
  EXPECT_EQ(FramedOnMap(FilesView()), std::set<std::string>{PathOf("big/Makefile")});
}

TEST_F(FilesViewTest, TheListStopsAtTheLargest5000WhileLegendAndMapCoverAll) {
  for (int I = 0; I < 5000; ++I) {
    Tree.MakeFile("many/f" + std::to_string(I) + ".big", 100 + I);
  }
  for (int I = 0; I < 3; ++I) {
    Tree.MakeFile("rare/r" + std::to_string(I) + ".tiny", 1);
  }
  ShowScan();
  ShowTab("TabSheet1");
  ASSERT_EQ(Files()->topLevelItemCount(), 5000);
  EXPECT_EQ(Files()->topLevelItem(0)->text(0), "f4999.big");
  // The three 1-byte files lie below the map's edge: only cells that show are made.
  EXPECT_LT(Map().Items().size(), 5003u);
  for (const TFlatMapItem& Item : Map().Items()) {
    EXPECT_FALSE(IsEmpty(Item.Rect)) << Item.FullPath();
  }
  EXPECT_EQ(ColumnTexts(Exts(), 0), (QStringList{".big", ".tiny"}));
  EXPECT_EQ(ColumnTexts(Exts(), 4).value(1), "3");

  SelectExts({".tiny"});
  EXPECT_TRUE(SelectedNames().isEmpty());
  EXPECT_EQ(FilesView()->Selection().Size(), 3u);
  for (const TFileLeaf* File : Results->AllFiles) {
    EXPECT_EQ(FilesView()->Selection().Contains(*File), File->Ext() == ".tiny") << File->Name();
  }
  EXPECT_EQ(Exts()->selectionModel()->selectedRows().size(), 1);
}

TEST_F(FilesViewTest, HoverShowsPathAndSizeAndDoubleClickShowsTheFile) {
  ScanFixture();
  ShowTab("TabSheet1");
  const TRect Rect = Cell("big/a.txt").Rect;
  QTest::mouseMove(Surface(), QPoint(Rect.Left + 2, Rect.Top + 2));
  EXPECT_EQ(Surface()->toolTip(), ShownText(PathOf("big/a.txt")) + "\n4.0 KB");
  DoubleClickCellCorner(Surface(), Rect);
  EXPECT_EQ(Host.Shown, std::vector<std::string>{PathOf("big/a.txt")});
}

}  // namespace
}  // namespace dunstrel::testing
