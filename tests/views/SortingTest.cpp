#include <QHeaderView>
#include <QTreeWidget>

#include "views/RowOrder.h"
#include "views/TabsFixture.h"

namespace dunstrel::testing {
namespace {

// A click on a column's header, as the mouse makes it.
void ClickHeader(QTreeView* List, int Column) {
  QHeaderView* Header = List->header();
  const QPoint At(Header->sectionViewportPosition(Column) + Header->sectionSize(Column) / 2,
                  Header->height() / 2);
  QTest::mouseClick(Header->viewport(), Qt::LeftButton, Qt::NoModifier, At);
}

// Whether each row's key (kSortKeyRole, else the text) of a column follows the one above it in
// that order.
bool InOrder(const QTreeView* List, int Column, Qt::SortOrder Order) {
  const QAbstractItemModel* Rows = List->model();
  for (int Row = 1; Row < Rows->rowCount(); ++Row) {
    const auto KeyOf = [&](int At) {
      const QModelIndex Cell = Rows->index(At, Column);
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
