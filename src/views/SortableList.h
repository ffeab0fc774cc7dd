#pragma once

#include <functional>

#include "views/RowOrder.h"

#include <QList>

class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;

namespace dunstrel {

// Makes a list's header sort it: a click on a column orders the rows by it, first in the
// column's first order (the header's Qt::InitialSortOrderRole, else up), and a second click
// turns the order round. No indicator stands for the results' own order. Sort is called on
// every change of the indicator, also one made in code (a remembered order put back), and is
// to keep the order for rows added later.
void MakeSortable(QTreeView* List, std::function<void(const TSortChoice&)> Sort);

// The order the list's header shows.
TSortChoice SortChoiceOf(const QTreeView* List);
// Shows this order in the list's header, which sorts the list.
void SetSortChoice(QTreeView* List, const TSortChoice& Choice);

// The role of a flat list's first column under which each row keeps its place in the results'
// own order.
inline constexpr int kPlaceRole = kSortKeyRole + 1;

// Rows in this order: by the keys of a column, those of equal keys by each row's place
// (kPlaceRole), or by their places alone when no column is chosen.
QList<QTreeWidgetItem*> SortedRows(const QList<QTreeWidgetItem*>& Rows, const TSortChoice& Choice);

// Puts the top-level rows of a list in this order. The rows' selection is not kept.
void SortTopLevelItems(QTreeWidget* List, const TSortChoice& Choice);

}  // namespace dunstrel
