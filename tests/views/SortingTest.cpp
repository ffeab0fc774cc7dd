#include <QHeaderView>
#include <QTreeWidget>

#include "views/RowOrder.h"
#include "views/ScanTreeModel.h"
#include "views/TabsFixture.h"

namespace dunstrel::testing {
namespace {

// Whether each row's key (kSortKeyRole, else the text) of a column follows the one above it in
// that order.
bool InOrder(const QTreeView* List, int Column, Qt::SortOrder Order, const QModelIndex& Parent = {},
             int First = 0, int End = -1) {
  const QAbstractItemModel* Rows = List->model();
  for (int Row = First + 1; Row < (End < 0 ? Rows->rowCount(Parent) : End); ++Row) {
    const auto KeyOf = [&](int At) {
      const QModelIndex Cell = Rows->index(At, Column, Parent);
      const QVariant Key = Cell.data(kSortKeyRole);
      return Key.isValid() ? Key : Cell.data();
    };
    const QVariant Above = KeyOf(Row - 1);
    const QVariant Below = KeyOf(Row);
    const std::vector<uint32_t> Pair = OrderByKeys(
        2, [&](size_t I) { return I == 0 ? Above : Below; }, Order);
    if (Pair.front() != 0) {
      return false;
    }
  }
  return true;
}

// The rows of a list as a set of their first column's texts.
std::multiset<QString> RowSet(const QTreeView* List) {
  const QStringList Texts = ColumnTexts(List, 0);
  return {Texts.begin(), Texts.end()};
}

class SortingTest : public TabsTest {
 protected:
  void SetUp() override {
    TabsTest::SetUp();
    Tree.MakeFile("small/a.txt", 4100);  // a duplicate of big/a.txt
    Tree.MakeFile("big/file10.log", 10);
    Tree.MakeFile("big/file9.log", 10);
    ScanFixture();
  }
};

// Every column of every list: the first click orders the rows its first way (figures largest
// first), the second turns them round; the rows stay the same rows and the tab's selection
// stays marked.
TEST_F(SortingTest, EveryColumnOfEveryListSortsBothWaysAndKeepsTheSelection) {
  const struct TCase {
    const char* Page;
    const char* List;
  } Cases[] = {{"TabSheet1", "lvFiles"},
               {"TabSheet1", "lvExt"},
               {"TabSheet2", "lvFilesOfSelectedFolder"},
               {"TabSheet3", "tvFileExtensions"},
               {"TabSheetDuplicates", "tvDuplicateFiles"},
               {"TabSheetDuplicates", "lvDuplicateGroupsColors"}};
  for (const TCase& Case : Cases) {
    ShowTab(Case.Page);
    auto* Tab = dynamic_cast<TResultTab*>(Find<QWidget>(Case.Page));
    auto* List = Find<QTreeView>(Case.List);
    const std::multiset<QString> Rows = RowSet(List);
    // The last row chosen, whichever place it takes.
    ClickRow(List, List->model()->index(List->model()->rowCount() - 1, 0));
    const std::vector<std::string> Selected = Tab->GetSelectedPaths();
    ASSERT_FALSE(Selected.empty()) << Case.List;
    for (int Column = 0; Column < List->header()->count(); ++Column) {
      if (List->isColumnHidden(Column)) {
        continue;
      }
      const std::string What = std::string(Case.List) + " column " + std::to_string(Column);
      const auto First = static_cast<Qt::SortOrder>(
          List->model()->headerData(Column, Qt::Horizontal, Qt::InitialSortOrderRole).toInt());
      for (const Qt::SortOrder Order :
           {First, First == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder}) {
        ClickHeader(List, Column);
        EXPECT_EQ(List->header()->sortIndicatorSection(), Column) << What;
        EXPECT_EQ(List->header()->sortIndicatorOrder(), Order) << What;
        EXPECT_TRUE(InOrder(List, Column, Order)) << What << " way " << Order;
        EXPECT_EQ(RowSet(List), Rows) << What;
        EXPECT_EQ(Tab->GetSelectedPaths(), Selected) << What;
        EXPECT_EQ(MarkedInRows(Tab), std::set<std::string>(Selected.begin(), Selected.end()))
            << What;
      }
    }
  }
}

// The row of the folder named Name below Parent.
QModelIndex FolderRow(const QTreeView* Tree, const QModelIndex& Parent, std::string_view Name) {
  for (int Row = 0; Row < Tree->model()->rowCount(Parent); ++Row) {
    const QModelIndex Index = Tree->model()->index(Row, 0, Parent);
    if (const TDirNode* Folder = TScanTreeModel::FolderOf(Index);
        Folder != nullptr && Folder->Name() == Name) {
      return Index;
    }
  }
  return {};
}

// Every column of both trees: each folder's sub-folders come first, then its files, each in the
// order of the column; what was open stays open and what was selected stays selected.
TEST_F(SortingTest, TreesSortEachFolderFoldersFirstAndKeepWhatIsOpenAndSelected) {
  for (const auto& [Page, Name] :
       {std::pair{"TabSheet2", "tvFolders"}, std::pair{"TabSheet3", "tvFoldersAndFiles"}}) {
    ShowTab(Page);
    auto* Tab = dynamic_cast<TResultTab*>(Find<QWidget>(Page));
    auto* Tree = Find<QTreeView>(Name);
    QAbstractItemModel* Rows = Tree->model();
    // The scan's root: a row of its own in the tree of files.
    const QModelIndex Top = Rows->rowCount() == 1 ? Rows->index(0, 0) : QModelIndex();
    const auto Open = [&](const QModelIndex& Folder) {
      if (Rows->canFetchMore(Folder)) {
        Rows->fetchMore(Folder);
      }
      Tree->expand(Folder);
    };
    Open(Top);
    const auto Big = [&] { return FolderRow(Tree, Top, "big"); };
    Open(Big());
    ClickRow(Tree, FolderRow(Tree, Big(), "deep"));
    const std::vector<std::string> Selected = Tab->GetSelectedPaths();
    ASSERT_EQ(Selected, std::vector{PathOf("big/deep")});
    for (int Column = 0; Column < Rows->columnCount(); ++Column) {
      for (int Click = 0; Click < 2; ++Click) {
        ClickHeader(Tree, Column);
        const Qt::SortOrder Order = Tree->header()->sortIndicatorOrder();
        const std::string What = std::string(Name) + " column " + std::to_string(Column);
        for (const QModelIndex& Folder : {Top, Big()}) {
          int Folders = 0;
          while (Folders < Rows->rowCount(Folder) &&
                 TScanTreeModel::FolderOf(Rows->index(Folders, 0, Folder)) != nullptr) {
            ++Folders;
          }
          for (int Row = Folders; Row < Rows->rowCount(Folder); ++Row) {
            EXPECT_NE(TScanTreeModel::FileOf(Rows->index(Row, 0, Folder)), nullptr) << What;
          }
          EXPECT_TRUE(InOrder(Tree, Column, Order, Folder, 0, Folders)) << What;
          EXPECT_TRUE(InOrder(Tree, Column, Order, Folder, Folders)) << What;
        }
        EXPECT_TRUE(Tree->isExpanded(Big())) << What;
        EXPECT_EQ(Tab->GetSelectedPaths(), Selected) << What;
        EXPECT_EQ(MarkedInRows(Tab), std::set<std::string>{PathOf("big/deep")}) << What;
      }
    }
    // The names in their natural order.
    ClickHeader(Tree, 0);
    if (Tree->header()->sortIndicatorOrder() != Qt::AscendingOrder) {
      ClickHeader(Tree, 0);
    }
    QStringList Names;
    for (int Row = 0; Row < Rows->rowCount(Big()); ++Row) {
      Names.append(
          Rows->index(Row, 0, Big()).data().toString().section(QStringLiteral("  "), 0, 0));
    }
    const QStringList Expected =
        Page == std::string("TabSheet2")
            ? QStringList{"deep"}
            : QStringList{"deep", "a.txt", "file9.log", "file10.log", "Makefile", "makefile"};
    EXPECT_EQ(Names, Expected);
  }
}

TEST_F(SortingTest, NamesSortInTheirNaturalOrderAndFiguresLargestFirst) {
  ShowTab("TabSheet1");
  auto* Files = Find<QTreeView>("lvFiles");
  const QStringList Unsorted = ColumnTexts(Files, 0);
  ClickHeader(Files, 0);
  EXPECT_EQ(ColumnTexts(Files, 0), (QStringList{"a.txt", "a.txt", "b.bin", "c.dat", "file9.log",
                                                "file10.log", "leaf.bin", "Makefile", "makefile"}));
  ClickHeader(Files, 3);  // the share: by size, not by its text
  EXPECT_EQ(ColumnTexts(Files, 0).mid(0, 4), (QStringList{"a.txt", "a.txt", "leaf.bin", "b.bin"}));
  // Taking the indicator away gives the results' own order back.
  Files->header()->setSortIndicator(-1, Qt::AscendingOrder);
  EXPECT_EQ(ColumnTexts(Files, 0), Unsorted);
}

TEST_F(SortingTest, AnOrderIsKeptThroughARelayoutAndForTheNextResults) {
  ShowTab("TabSheet1");
  auto* Files = Find<QTreeView>("lvFiles");
  auto* Exts = Find<QTreeView>("lvExt");
  ClickHeader(Files, 0);
  ClickHeader(Exts, 0);
  const QStringList Names = ColumnTexts(Files, 0);
  Pages->resize(900, 500);
  ShowTab("TabSheet2");
  ShowTab("TabSheet1");
  EXPECT_EQ(ColumnTexts(Files, 0), Names);
  // The next results: a tree of their own.
  Tree.MakeFile("0.first", 1);
  Tree.MakeFile("z.bin", 50);
  Tree.MakeFile("y.dat", 100);
  ShowScan();
  EXPECT_EQ(ColumnTexts(Files, 0), (QStringList{"0.first", "y.dat", "z.bin"}));
  EXPECT_EQ(ColumnTexts(Exts, 0), (QStringList{".bin", ".dat", ".first"}));
  EXPECT_TRUE(InOrder(Exts, 0, Qt::AscendingOrder));
}

}  // namespace
}  // namespace dunstrel::testing

namespace dunstrel::testing {
namespace {

// Names that begin alike, runs of digits, case, and keys of mixed kinds.
TEST(RowOrderTest, NamesInTheirNaturalOrderAndKeysByKind) {
  const struct TCase {
    std::vector<std::string> Names;
    std::vector<std::string> Sorted;
  } Cases[] = {
      {{"IMG_10.jpg", "IMG_9.jpg", "img_2.jpg", "IMG_010.jpg"},
       {"img_2.jpg", "IMG_9.jpg", "IMG_010.jpg", "IMG_10.jpg"}},
      {{"file", "file1", "file", "fil"}, {"fil", "file", "file", "file1"}},
      {{"b", "B", "a", "A"}, {"A", "a", "B", "b"}},
      {{"x99999999999999999999", "x100000000000000000000", "x0"},
       {"x0", "x99999999999999999999", "x100000000000000000000"}},
      {{"\xFF\xFE", "z", "\xC3\xA9t\xC3\xA9"}, {"z", "\xC3\xA9t\xC3\xA9", "\xFF\xFE"}},
  };
  for (const TCase& Case : Cases) {
    for (const Qt::SortOrder Order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
      const std::vector<uint32_t> Rows = OrderByNames(
          Case.Names.size(), [&](size_t Row) { return std::string_view(Case.Names[Row]); }, Order);
      std::vector<std::string> Sorted;
      for (const uint32_t Row : Rows) {
        Sorted.push_back(Case.Names[Row]);
      }
      std::vector<std::string> Expected = Case.Sorted;
      if (Order == Qt::DescendingOrder) {
        std::reverse(Expected.begin(), Expected.end());
      }
      EXPECT_EQ(Sorted, Expected) << Case.Names[0] << " way " << Order;
    }
  }
  // Figures by value, rows without a key last either way, equal keys in their given order.
  const std::vector<QVariant> Keys = {QVariant(qlonglong{10}), QVariant(), QVariant(2.5),
                                      QVariant(qlonglong{10}), QVariant(qlonglong{-3})};
  const auto KeyOf = [&](size_t Row) { return Keys[Row]; };
  EXPECT_EQ(OrderByKeys(Keys.size(), KeyOf, Qt::AscendingOrder),
            (std::vector<uint32_t>{4, 2, 0, 3, 1}));
  EXPECT_EQ(OrderByKeys(Keys.size(), KeyOf, Qt::DescendingOrder),
            (std::vector<uint32_t>{0, 3, 2, 4, 1}));
}

}  // namespace
}  // namespace dunstrel::testing
