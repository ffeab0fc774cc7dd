#include <QItemSelectionModel>
#include <QTimer>
#include <algorithm>
#include <set>

#include "views/ColorSwatch.h"
#include "views/TabsFixture.h"

namespace dunstrel::testing {
namespace {

using TPaths = std::set<std::string>;

class DuplicatesViewTest : public TabsTest {
 protected:
  // Three groups and two files that only look alike:
  //   photo.jpg  3000 in one/ and two/                    6000 bytes
  //   notes.txt  1000 in one/, two/ and three/deep/       3000 bytes
  //   README 400 in one/, readme 400 in two/ (no ext.)     800 bytes
  //   size.dat   10 in one/, 11 in two/                   no group
  //   single.bin 5000 in one/                             no group
  void ScanDuplicates() {
    for (const char* Folder : {"one", "two"}) {
      Tree.MakeFile(std::string(Folder) + "/photo.jpg", 3000);
      Tree.MakeFile(std::string(Folder) + "/notes.txt", 1000);
    }
    Tree.MakeFile("three/deep/notes.txt", 1000);
    Tree.MakeFile("one/README", 400);
    Tree.MakeFile("two/readme", 400);
    Tree.MakeFile("one/size.dat", 10);
    Tree.MakeFile("two/size.dat", 11);
    Tree.MakeFile("one/single.bin", 5000);
    ShowScan();
    ShowTab("TabSheetDuplicates");
  }

  TDuplicatesView* DupView() const { return View<TDuplicatesView>("TabSheetDuplicates"); }
  QTreeWidget* GroupTree() const { return Find<QTreeWidget>("tvDuplicateFiles"); }
  QTreeWidget* Legend() const { return Find<QTreeWidget>("lvDuplicateGroupsColors"); }
  const TDupTreemapLayout& Map() const { return DupView()->Map(); }
  TTreemapSurface* Surface() const { return Find<TTreemapSurface>("PaintBox4"); }

  TPaths Paths(std::initializer_list<const char*> Relative) const {
    TPaths Out;
    for (const char* Path : Relative) {
      Out.insert(PathOf(Path));
    }
    return Out;
  }
  // The files of a node of the tree: its own file, or every file of its group.
  static TPaths FilesOfNode(const QTreeWidgetItem* Node) {
    const TSelectedData Data = TDuplicatesView::NodeData(Node);
    TPaths Out;
    if (const auto* File = std::get_if<const TFileLeaf*>(&Data)) {
      Out.insert((*File)->FullPath());
    } else if (const auto* Group = std::get_if<const TDupGroup*>(&Data)) {
      for (const TFileLeaf* Member : (*Group)->Files) {
        Out.insert(Member->FullPath());
      }
    }
    return Out;
  }
  TPaths SelectedOnMap() const { return FramedOnMap(DupView()); }
  const TDupItem& Cell(std::string_view Relative) const {
    for (const TDupItem& Item : Map().Items()) {
      if (Item.FullPath() == PathOf(Relative)) {
        return Item;
      }
    }
    ADD_FAILURE() << "no cell for " << Relative;
    return Map().Items().front();
  }
  QTreeWidgetItem* FileNode(std::string_view Relative) const {
    for (int G = 0; G < GroupTree()->topLevelItemCount(); ++G) {
      QTreeWidgetItem* Group = GroupTree()->topLevelItem(G);
      for (int F = 0; F < Group->childCount(); ++F) {
        if (FilesOfNode(Group->child(F)) == TPaths{PathOf(Relative)}) {
          return Group->child(F);
        }
      }
    }
    ADD_FAILURE() << "no node for " << Relative;
    return nullptr;
  }
  void SelectOnly(QTreeWidgetItem* Node) const {
    GroupTree()->setCurrentItem(Node, 0, QItemSelectionModel::ClearAndSelect);
  }
};

TEST_F(DuplicatesViewTest, TreeLegendAndMapShowTheSameGroups) {
  ScanDuplicates();
  const TDuplicates& Groups = Results->Duplicates;
  ASSERT_EQ(Groups.Groups.size(), 3u);

  QTreeWidget* Tree = GroupTree();
  ASSERT_EQ(Tree->topLevelItemCount(), 3);
  EXPECT_EQ(Tree->topLevelItem(0)->text(0), "photo.jpg  (2)");
  EXPECT_EQ(Tree->topLevelItem(1)->text(0), "notes.txt  (3)");
  EXPECT_EQ(Tree->topLevelItem(2)->text(0).toLower(), "readme  (2)");
  const TPaths Expected[] = {Paths({"one/photo.jpg", "two/photo.jpg"}),
                             Paths({"one/notes.txt", "two/notes.txt", "three/deep/notes.txt"}),
                             Paths({"one/README", "two/readme"})};
  TPaths AllMembers;
  for (int G = 0; G < 3; ++G) {
    SCOPED_TRACE(G);
    const QTreeWidgetItem* Group = Tree->topLevelItem(G);
    EXPECT_EQ(FilesOfNode(Group), Expected[G]);
    TPaths Children;
    for (int F = 0; F < Group->childCount(); ++F) {
      Children.merge(FilesOfNode(Group->child(F)));
      EXPECT_EQ(Group->child(F)->text(0), ShownText(*FilesOfNode(Group->child(F)).begin()));
    }
    EXPECT_EQ(Children, Expected[G]);
    EXPECT_FALSE(Group->isExpanded());
    EXPECT_FALSE(Group->icon(0).isNull());
    EXPECT_FALSE(Group->child(0)->icon(0).isNull());
    AllMembers.insert(Expected[G].begin(), Expected[G].end());
  }

  // The legend: the groups in the same order, with their colours.
  EXPECT_EQ(ColumnTexts(Legend(), 0).mid(0, 2), (QStringList{"photo.jpg", "notes.txt"}));
  EXPECT_EQ(ColumnTexts(Legend(), 2), (QStringList{"2.9 KB", "1000 B", "400 B"}));
  // As the other legends, its rows show their files' type, asked for as they are drawn.
  Host.IconsAsked.clear();
  Legend()->viewport()->grab();
  EXPECT_TRUE(std::ranges::count(Host.IconsAsked, "photo.jpg") > 0 &&
              std::ranges::count(Host.IconsAsked, "notes.txt") > 0)
      << ::testing::PrintToString(Host.IconsAsked);
  for (int G = 0; G < 3; ++G) {
    EXPECT_EQ(Legend()->topLevelItem(G)->data(0, kSwatchColorRole).value<uint32_t>(),
              Groups.Groups[static_cast<size_t>(G)].Color);
    EXPECT_FALSE(Legend()->topLevelItem(G)->text(3).isEmpty()) << "the files have a time";
  }

  // The map: every member and nothing else, each in its group's colour.
  TPaths OnMap;
  for (const TDupItem& Item : Map().Items()) {
    if (Item.Kind == TDupKind::dkFile) {
      OnMap.insert(Item.FullPath());
      const auto Group =
          std::find_if(Groups.Groups.begin(), Groups.Groups.end(), [&](const TDupGroup& Group) {
            return std::find(Group.Files.begin(), Group.Files.end(), Item.FileLeaf) !=
                   Group.Files.end();
          });
      ASSERT_NE(Group, Groups.Groups.end()) << Item.FullPath();
      EXPECT_EQ(Item.Color, Group->Color) << Item.FullPath();
    }
  }
  EXPECT_EQ(OnMap, AllMembers);

  // The largest group starts selected, at the top, on the map and in the legend too.
  EXPECT_EQ(Tree->currentItem(), Tree->topLevelItem(0));
  EXPECT_TRUE(Tree->topLevelItem(0)->isSelected());
  EXPECT_EQ(SelectedOnMap(), Expected[0]);
  EXPECT_EQ(Highlighted(DupView()), Expected[0]);
  EXPECT_EQ(Legend()->selectedItems(), QList<QTreeWidgetItem*>{Legend()->topLevelItem(0)});
}

TEST_F(DuplicatesViewTest, TreeLegendAndMapShowOneSelection) {
  ScanDuplicates();
  const TPaths Notes = Paths({"one/notes.txt", "two/notes.txt", "three/deep/notes.txt"});

  SelectOnly(GroupTree()->topLevelItem(1));
  EXPECT_EQ(SelectedOnMap(), Notes);
  EXPECT_EQ(Legend()->selectedItems(), QList<QTreeWidgetItem*>{Legend()->topLevelItem(1)});

  SelectOnly(FileNode("three/deep/notes.txt"));
  EXPECT_EQ(SelectedOnMap(), Paths({"three/deep/notes.txt"}));
  EXPECT_TRUE(Legend()->selectedItems().isEmpty()) << "one file does not make its group";

  // Two legend rows: every file of both groups, in the tree as on the map; the tree's earlier
  // file is no longer selected.
  ClickRow(Legend(), Legend()->model()->index(0, 0));
  ClickRow(Legend(), Legend()->model()->index(2, 0), Qt::ControlModifier);
  const TPaths Both = Paths({"one/photo.jpg", "two/photo.jpg", "one/README", "two/readme"});
  EXPECT_EQ(SelectedOnMap(), Both);
  EXPECT_EQ(Highlighted(DupView()), Both);
  EXPECT_TRUE(GroupTree()->topLevelItem(0)->isSelected());
  EXPECT_TRUE(GroupTree()->topLevelItem(2)->isSelected());
  EXPECT_FALSE(FileNode("three/deep/notes.txt")->isSelected());
  EXPECT_EQ(Status(), "photo.jpg, " + Legend()->topLevelItem(2)->text(0) + "  6.6 KB  (4 file(s))");

  // Ctrl on a legend row takes its files out again.
  ClickRow(Legend(), Legend()->model()->index(2, 0), Qt::ControlModifier);
  EXPECT_EQ(SelectedOnMap(), Paths({"one/photo.jpg", "two/photo.jpg"}));

  // An empty tree selection empties the map's.
  GroupTree()->clearSelection();
  EXPECT_TRUE(SelectedOnMap().empty());
  EXPECT_TRUE(Legend()->selectedItems().isEmpty());
}

TEST_F(DuplicatesViewTest, ClicksOnTheMapSelectTheFilesNode) {
  ScanDuplicates();
  ClickCell(Surface(), Cell("two/notes.txt").Rect);
  EXPECT_EQ(GroupTree()->currentItem(), FileNode("two/notes.txt"));
  EXPECT_EQ(GroupTree()->selectedItems(), QList<QTreeWidgetItem*>{FileNode("two/notes.txt")});
  EXPECT_EQ(SelectedOnMap(), Paths({"two/notes.txt"}));
  EXPECT_EQ(Status(), ShownText(PathOf("two/notes.txt")) + "  1000 B");

  // Ctrl adds the file on the map and in the tree alike, and takes it away again.
  ClickCell(Surface(), Cell("one/photo.jpg").Rect, Qt::ControlModifier);
  EXPECT_EQ(SelectedOnMap(), Paths({"two/notes.txt", "one/photo.jpg"}));
  EXPECT_EQ(GroupTree()->selectedItems().size(), 2);
  ClickCell(Surface(), Cell("one/photo.jpg").Rect, Qt::ControlModifier);
  EXPECT_EQ(SelectedOnMap(), Paths({"two/notes.txt"}));
  EXPECT_EQ(GroupTree()->selectedItems(), QList<QTreeWidgetItem*>{FileNode("two/notes.txt")});

  // A folder has no node: the map selects it alone, and the commands act on the folder.
  ClickCellCorner(Surface(), Cell("three").Rect);
  EXPECT_EQ(SelectedOnMap(), Paths({"three"}));
  EXPECT_TRUE(GroupTree()->selectedItems().isEmpty());
  EXPECT_EQ(DupView()->GetSelectedPaths(), std::vector<std::string>{PathOf("three")});

  DoubleClickCellCorner(Surface(), Cell("three").Rect);
  EXPECT_EQ(Host.Shown, std::vector<std::string>{PathOf("three")});

  SelectOnly(GroupTree()->topLevelItem(1));
  SaveScreenshotOfTab("TabSheetDuplicates");
}

TEST_F(DuplicatesViewTest, TheStatusLineDescribesTheSelection) {
  ScanDuplicates();
  const std::string Notes = PathOf("two/notes.txt");
  struct TCase {
    const char* Name;
    std::function<void()> Select;
    QString Expected;
  };
  const TCase Cases[] = {
      {"a group", [&] { SelectOnly(GroupTree()->topLevelItem(1)); },
       "notes.txt  1000 B  (3 duplicates)"},
      {"a file", [&] { SelectOnly(FileNode("two/notes.txt")); }, ShownText(Notes) + "  1000 B"},
      {"two files",
       [&] {
         SelectOnly(FileNode("two/notes.txt"));
         GroupTree()->topLevelItem(0)->child(0)->setSelected(true);
       },
       ShownText(Notes) + "  1000 B  (2 selected)"},
      {"a legend row", [&] { ClickRow(Legend(), Legend()->model()->index(1, 0)); },
       "notes.txt  2.9 KB  (3 file(s))"},
      {"nothing at all", [&] { GroupTree()->clearSelection(); }, "Ready"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Case.Select();
    EXPECT_EQ(Status(), Case.Expected);
  }
}

TEST_F(DuplicatesViewTest, AGroupShowsAtMost500FilesAndSelectsAllOfThem) {
  // 501 spellings of one name, told apart by case, in one folder.
  std::set<std::string> Names;
  for (int Bits = 0; Bits < 501; ++Bits) {
    std::string Name = "abcdefghi.bin";
    for (int I = 0; I < 9; ++I) {
      if ((Bits >> I & 1) != 0) {
        Name[static_cast<size_t>(I)] = static_cast<char>(Name[static_cast<size_t>(I)] - 32);
      }
    }
    Tree.MakeFile("many/" + Name, 3);
    Names.insert(PathOf("many/" + Name));
  }
  ShowScan();
  ShowTab("TabSheetDuplicates");
  ASSERT_EQ(GroupTree()->topLevelItemCount(), 1);
  QTreeWidgetItem* Group = GroupTree()->topLevelItem(0);
  EXPECT_TRUE(Group->text(0).endsWith("  (501)"));
  ASSERT_EQ(Group->childCount(), 501);
  EXPECT_EQ(Group->child(500)->text(0), "... 1 more files not shown");
  EXPECT_TRUE(FilesOfNode(Group->child(500)).empty());
  EXPECT_EQ(FilesOfNode(Group->child(499)).size(), 1u);

  // Every file is selected, also the one without a node.
  SelectOnly(Group);
  EXPECT_EQ(SelectedOnMap(), Names);
  SelectOnly(Group->child(500));
  EXPECT_TRUE(SelectedOnMap().empty()) << "the overflow node stands for no file";
}

}  // namespace
}  // namespace dunstrel::testing
