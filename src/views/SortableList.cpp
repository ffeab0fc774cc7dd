#include "views/SortableList.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace dunstrel {

void MakeSortable(QTreeView* List, std::function<void(const TSortChoice&)> Sort) {
  QHeaderView* Header = List->header();
  Header->setSectionsClickable(true);
  Header->setSortIndicatorShown(true);
  // Until a click, the results' own order: no column shows an indicator.
  Header->setSortIndicator(-1, Qt::AscendingOrder);
  QObject::connect(Header, &QHeaderView::sortIndicatorChanged, List,
                   [Sort = std::move(Sort)](int Column, Qt::SortOrder Order) {
                     Sort(TSortChoice{Column, Order});
                   });
}

TSortChoice SortChoiceOf(const QTreeView* List) {
  const QHeaderView* Header = List->header();
  const int Column = Header->sortIndicatorSection();
  if (Column < 0 || Column >= Header->count()) {
    return {};
  }
  return {Column, Header->sortIndicatorOrder()};
}

void SetSortChoice(QTreeView* List, const TSortChoice& Choice) {
  List->header()->setSortIndicator(Choice.Active() ? Choice.Column : -1, Choice.Order);
}

namespace {

QList<QTreeWidgetItem*> InOrder(const QList<QTreeWidgetItem*>& Rows,
                                const std::vector<uint32_t>& Order) {
  QList<QTreeWidgetItem*> Sorted;
  Sorted.reserve(Rows.size());
  for (const uint32_t Row : Order) {
    Sorted.append(Rows[static_cast<qsizetype>(Row)]);
  }
  return Sorted;
}

}  // namespace

QList<QTreeWidgetItem*> SortedRows(const QList<QTreeWidgetItem*>& Rows, const TSortChoice& Choice) {
  const auto Count = static_cast<size_t>(Rows.size());
  // The results' own order first: rows of equal keys keep it, whatever order they were in.
  const QList<QTreeWidgetItem*> Placed = InOrder(
      Rows,
      OrderByKeys(
          Count, [&](size_t Row) { return Rows[static_cast<qsizetype>(Row)]->data(0, kPlaceRole); },
          Qt::AscendingOrder));
  if (!Choice.Active()) {
    return Placed;
  }
  return InOrder(Placed, OrderByKeys(
                             Count,
                             [&](size_t Row) {
                               const QTreeWidgetItem* Item = Placed[static_cast<qsizetype>(Row)];
                               const QVariant Key = Item->data(Choice.Column, kSortKeyRole);
                               return Key.isValid() ? Key : QVariant(Item->text(Choice.Column));
                             },
                             Choice.Order));
}

void SortTopLevelItems(QTreeWidget* List, const TSortChoice& Choice) {
  List->addTopLevelItems(SortedRows(List->invisibleRootItem()->takeChildren(), Choice));
}

}  // namespace dunstrel
