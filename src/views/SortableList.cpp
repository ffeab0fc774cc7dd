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

void SortTopLevelItems(QTreeWidget* List, const TSortChoice& Choice) {
  QList<QTreeWidgetItem*> Rows = List->invisibleRootItem()->takeChildren();
  const std::vector<uint32_t> Order = OrderByKeys(
      static_cast<size_t>(Rows.size()),
      [&](size_t Row) {
        const QTreeWidgetItem* Item = Rows[static_cast<qsizetype>(Row)];
        if (!Choice.Active()) {
          return Item->data(0, kPlaceRole);
        }
        const QVariant Key = Item->data(Choice.Column, kSortKeyRole);
        return Key.isValid() ? Key : QVariant(Item->text(Choice.Column));
      },
      Choice.Active() ? Choice.Order : Qt::AscendingOrder);
  QList<QTreeWidgetItem*> Sorted;
  Sorted.reserve(Rows.size());
  for (const uint32_t Row : Order) {
    Sorted.append(Rows[static_cast<qsizetype>(Row)]);
  }
  List->addTopLevelItems(Sorted);
}

}  // namespace dunstrel
