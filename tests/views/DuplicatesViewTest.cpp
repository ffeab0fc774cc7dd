#include <QItemSelectionModel>
#include <QTimer>
#include <algorithm>
#include <set>

#include "views/ColorSwatch.h"
#include "views/SortableList.h"
#include "views/TabsFixture.h"

namespace dunstrel::testing {
namespace {

using TPaths = std::set<std::string>;

class DuplicatesViewTest : public TabsTest {
 protected:
  // Three groups and two files that only look alike, each group's files written on days of
  // their own (the days after the first):
  //   photo.jpg  3000 in one/ (1) and two/ (2)                          6000 bytes
  //   notes.txt  1000 in one/ (7), two/ (6) and three/deep/ (5)         3000 bytes
  //   README 400 in one/ (3), readme 400 in two/ (4) (no ext.)           800 bytes
  //   size.dat   10 in one/, 11 in two/                                 no group
  //   single.bin 5000 in one/                                           no group
  void ScanDuplicates() {
    Tree.MakeFile("one/photo.jpg", 3000, -1, 1);
    Tree.MakeFile("two/photo.jpg", 3000, -1, 2);
    Tree.MakeFile("one/notes.txt", 1000, -1, 7);
    Tree.MakeFile("two/notes.txt", 1000, -1, 6);
    Tree.MakeFile("three/deep/notes.txt", 1000, -1, 5);
    Tree.MakeFile("one/README", 400, -1, 3);
    Tree.MakeFile("two/readme", 400, -1, 4);
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
  // A group's files get their nodes when it is first opened: it is opened and closed again.
  static void MakeFileNodes(QTreeWidgetItem* Group) {
    if (!Group->isExpanded()) {
      Group->setExpanded(true);
      Group->setExpanded(false);
    }
  }
  QTreeWidgetItem* FileNode(std::string_view Relative) const {
    for (int G = 0; G < GroupTree()->topLevelItemCount(); ++G) {
      QTreeWidgetItem* Group = GroupTree()->topLevelItem(G);
      MakeFileNodes(Group);
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
  TPaths Selected() const {
    const std::vector<std::string> Paths = DupView()->GetSelectedPaths();
    return {Paths.begin(), Paths.end()};
  }
  // The nodes the tree marks.
  std::set<QTreeWidgetItem*> Marked() const {
    const QList<QTreeWidgetItem*> Nodes = GroupTree()->selectedItems();
    return {Nodes.begin(), Nodes.end()};
  }
  // The nodes marked when a node's files are selected: a file's own, a group's with those of its
  // files.
  static std::set<QTreeWidgetItem*> NodeAndItsFiles(QTreeWidgetItem* Node) {
    std::set<QTreeWidgetItem*> Nodes = {Node};
    for (int F = 0; Node->parent() == nullptr && F < Node->childCount(); ++F) {
      Nodes.insert(Node->child(F));
    }
    return Nodes;
  }
  // The group's node whose files are these.
  QTreeWidgetItem* GroupNodeOf(const TPaths& Files) const {
    for (int G = 0; G < GroupTree()->topLevelItemCount(); ++G) {
      if (FilesOfNode(GroupTree()->topLevelItem(G)) == Files) {
        return GroupTree()->topLevelItem(G);
      }
    }
    ADD_FAILURE() << "no group of " << ::testing::PrintToString(Files);
    return nullptr;
  }
  // The groups' names top to bottom, in small letters.
  QStringList GroupNames() const {
    QStringList Names;
    for (int G = 0; G < GroupTree()->topLevelItemCount(); ++G) {
      Names.append(GroupTree()->topLevelItem(G)->text(0).section(QStringLiteral("  "), 0, 0));
    }
    return Names.join('|').toLower().split('|');
  }
  // The paths below the scan's root of a group's files, top to bottom.
  QStringList MemberPaths(const QString& Group) const {
    QStringList Paths;
    for (int G = 0; G < GroupTree()->topLevelItemCount(); ++G) {
      QTreeWidgetItem* Node = GroupTree()->topLevelItem(G);
      if (Node->text(0).startsWith(Group + QStringLiteral("  "))) {
        MakeFileNodes(Node);
        for (int F = 0; F < Node->childCount(); ++F) {
          Paths.append(Node->child(F)->text(0).mid(static_cast<int>(Tree.Path().size()) + 1));
        }
      }
    }
    return Paths;
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
    QTreeWidgetItem* Group = Tree->topLevelItem(G);
    EXPECT_EQ(FilesOfNode(Group), Expected[G]);
    EXPECT_EQ(Group->childCount(), 0) << "a group's files get nodes once it is opened";
    MakeFileNodes(Group);
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

  // The figures of a group are its legend row's; a file shows its own.
  EXPECT_EQ(Tree->headerItem()->text(1), "Size");
  EXPECT_EQ(Tree->topLevelItem(1)->text(1), "1000 B");
  EXPECT_EQ(Tree->topLevelItem(1)->text(2), Legend()->topLevelItem(1)->text(3));
  EXPECT_EQ(FileNode("two/notes.txt")->text(1), "1000 B");
  EXPECT_FALSE(FileNode("two/notes.txt")->text(2).isEmpty());
  EXPECT_NE(FileNode("two/notes.txt")->text(2), FileNode("one/notes.txt")->text(2));

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
         MakeFileNodes(GroupTree()->topLevelItem(0));
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

// A click on a column's header orders the groups by it and the files of each group the same way;
// an open group stays open and the selection stays. No indicator gives the results' order back.
TEST_F(DuplicatesViewTest, TheTreeSortsItsGroupsAndTheirFilesByEachColumn) {
  ScanDuplicates();
  QTreeWidget* Tree = GroupTree();
  ASSERT_FALSE(Tree->isHeaderHidden());
  const QStringList Groups = GroupNames();
  const QStringList Notes = MemberPaths("notes.txt");
  ASSERT_EQ(Groups, (QStringList{"photo.jpg", "notes.txt", "readme"}));
  FileNode("two/notes.txt")->parent()->setExpanded(true);
  SelectOnly(FileNode("two/notes.txt"));
  const struct TCase {
    int Column;
    Qt::SortOrder Order;
    QStringList Groups;
    QStringList Notes;
  } Cases[] = {
      {0,
       Qt::AscendingOrder,
       {"notes.txt", "photo.jpg", "readme"},
       {"one/notes.txt", "three/deep/notes.txt", "two/notes.txt"}},
      {0,
       Qt::DescendingOrder,
       {"readme", "photo.jpg", "notes.txt"},
       {"two/notes.txt", "three/deep/notes.txt", "one/notes.txt"}},
      // Sizes largest first; the files of a group are equal in size and keep their order.
      {1, Qt::DescendingOrder, {"photo.jpg", "notes.txt", "readme"}, Notes},
      {1, Qt::AscendingOrder, {"readme", "notes.txt", "photo.jpg"}, Notes},
      {2,
       Qt::DescendingOrder,
       {"notes.txt", "readme", "photo.jpg"},
       {"one/notes.txt", "two/notes.txt", "three/deep/notes.txt"}},
      {2,
       Qt::AscendingOrder,
       {"photo.jpg", "readme", "notes.txt"},
       {"three/deep/notes.txt", "two/notes.txt", "one/notes.txt"}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(::testing::Message() << "column " << Case.Column << " way " << Case.Order);
    ClickHeader(Tree, Case.Column);
    EXPECT_EQ(SortChoiceOf(Tree), (TSortChoice{Case.Column, Case.Order}));
    EXPECT_EQ(GroupNames(), Case.Groups);
    EXPECT_EQ(MemberPaths("notes.txt"), Case.Notes);
    EXPECT_TRUE(FileNode("two/notes.txt")->parent()->isExpanded());
    EXPECT_EQ(Tree->selectedItems(), QList<QTreeWidgetItem*>{FileNode("two/notes.txt")});
    EXPECT_EQ(Selected(), Paths({"two/notes.txt"}));
  }
  SetSortChoice(Tree, {});
  EXPECT_EQ(GroupNames(), Groups);
  EXPECT_EQ(MemberPaths("notes.txt"), Notes);
}

// After a sort the nodes no longer stand at their groups' and files' places in the results: a
// node chosen selects exactly its own files, which the map and the legend show, and what the
// legend or the map chooses is marked on exactly its own nodes. The commands act on that.
TEST_F(DuplicatesViewTest, AfterASortEachNodeStandsForItsOwnFiles) {
  ScanDuplicates();
  QTreeWidget* Tree = GroupTree();
  for (const TSortChoice& Choice :
       {TSortChoice{0, Qt::AscendingOrder}, TSortChoice{1, Qt::AscendingOrder},
        TSortChoice{2, Qt::DescendingOrder}}) {
    SCOPED_TRACE(::testing::Message() << "column " << Choice.Column << " way " << Choice.Order);
    SetSortChoice(Tree, Choice);
    for (int G = 0; G < Tree->topLevelItemCount(); ++G) {
      QTreeWidgetItem* Group = Tree->topLevelItem(G);
      Group->setExpanded(true);
      std::vector<QTreeWidgetItem*> Nodes = {Group};
      for (int F = 0; F < Group->childCount(); ++F) {
        Nodes.push_back(Group->child(F));
      }
      for (QTreeWidgetItem* Node : Nodes) {
        SCOPED_TRACE(Node->text(0).toStdString());
        SelectOnly(Node);
        const TPaths Files = FilesOfNode(Node);
        EXPECT_EQ(Selected(), Files);
        EXPECT_EQ(Marked(), NodeAndItsFiles(Node));
        EXPECT_EQ(Highlighted(DupView()), Files);
        const QList<QTreeWidgetItem*> Rows = Legend()->selectedItems();
        EXPECT_EQ(Rows.size(), Node == Group ? 1 : 0);
        if (Node == Group && Rows.size() == 1) {
          EXPECT_TRUE(Group->text(0).startsWith(Rows.front()->text(0) + "  "));
        }
      }
    }
    for (int Row = 0; Row < Legend()->topLevelItemCount(); ++Row) {
      ClickRow(Legend(), Legend()->model()->index(Row, 0));
      if (QTreeWidgetItem* Group = GroupNodeOf(Selected())) {
        EXPECT_EQ(Marked(), NodeAndItsFiles(Group));
      }
    }
    for (const char* File :
         {"one/photo.jpg", "two/notes.txt", "three/deep/notes.txt", "two/readme"}) {
      ClickCell(Surface(), Cell(File).Rect);
      EXPECT_EQ(Tree->selectedItems(), QList<QTreeWidgetItem*>{FileNode(File)}) << File;
      EXPECT_EQ(Tree->currentItem(), FileNode(File)) << File;
      EXPECT_EQ(Selected(), Paths({File}));
    }
  }
  SetSortChoice(Tree, {1, Qt::AscendingOrder});
  SelectOnly(Tree->topLevelItem(0));
  SaveScreenshotOfTab("TabSheetDuplicates");
}

// An order chosen before the scan (as one remembered from the last run) orders every group of a
// fill of many slices; the largest group is the one selected, marked and shown. The next
// results are ordered as well.
TEST_F(DuplicatesViewTest, AnOrderChosenBeforeTheScanOrdersItsWholeFill) {
  SetSortChoice(GroupTree(), {0, Qt::AscendingOrder});
  // 800 groups of two files, more nodes than a slice of the fill makes; the later the name, the
  // larger the files.
  QStringList Names;
  for (int I = 0; I < 800; ++I) {
    const std::string Name = "f" + std::to_string(I) + ".dat";
    Tree.MakeFile("a/" + Name, 100 + I);
    Tree.MakeFile("b/" + Name, 100 + I);
    Names.append(QString::fromStdString(Name));
  }
  ShowScan();
  ShowTab("TabSheetDuplicates");
  QTreeWidget* Groups = GroupTree();
  EXPECT_EQ(GroupNames(), Names);
  QTreeWidgetItem* Largest = Groups->topLevelItem(799);
  EXPECT_EQ(Marked(), NodeAndItsFiles(Largest));
  EXPECT_EQ(Groups->currentItem(), Largest);
  EXPECT_TRUE(Groups->viewport()->rect().intersects(Groups->visualItemRect(Largest)));
  EXPECT_EQ(Selected(), Paths({"a/f799.dat", "b/f799.dat"}));
  EXPECT_EQ(Legend()->selectedItems(), QList<QTreeWidgetItem*>{Legend()->topLevelItem(0)});
  // A group of the fill's first slice and one of its last, chosen in the legend (largest first).
  for (const int Row : {5, 790}) {
    ClickRow(Legend(), Legend()->model()->index(Row, 0));
    EXPECT_EQ(Marked(), NodeAndItsFiles(Groups->topLevelItem(799 - Row)));
  }

  Tree.MakeFile("x/b.bin", 10);
  Tree.MakeFile("y/b.bin", 10);
  Tree.MakeFile("x/a.bin", 5);
  Tree.MakeFile("y/a.bin", 5);
  ShowScan();
  EXPECT_EQ(GroupNames(), (QStringList{"a.bin", "b.bin"}));
  EXPECT_EQ(Marked(), NodeAndItsFiles(Groups->topLevelItem(1)));
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
  MakeFileNodes(Group);
  ASSERT_EQ(Group->childCount(), 501);
  EXPECT_EQ(Group->child(500)->text(0), "... 1 more files not shown");
  EXPECT_TRUE(FilesOfNode(Group->child(500)).empty());
  EXPECT_EQ(FilesOfNode(Group->child(499)).size(), 1u);
  // In any order the note stays below the files.
  for (const int Column : {0, 0, 2}) {
    ClickHeader(GroupTree(), Column);
    EXPECT_EQ(Group->child(500)->text(0), "... 1 more files not shown");
  }

  // Every file is selected, also the one without a node.
  SelectOnly(Group);
  EXPECT_EQ(SelectedOnMap(), Names);
  SelectOnly(Group->child(500));
  EXPECT_TRUE(SelectedOnMap().empty()) << "the overflow node stands for no file";
}

}  // namespace
}  // namespace dunstrel::testing
