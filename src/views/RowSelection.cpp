#include "views/RowSelection.h"

#include <QAbstractItemView>
#include <QSet>
#include <algorithm>

namespace dunstrel {

namespace {

// Rows under one parent together, each parent's rows top to bottom.
bool ComesBefore(const QModelIndex& A, const QModelIndex& B) {
  const QModelIndex ParentA = A.parent();
  const QModelIndex ParentB = B.parent();
  if (ParentA != ParentB) {
    return ParentA < ParentB;
  }
  return A.row() < B.row();
}

void SortRows(QModelIndexList& Rows) {
  std::sort(Rows.begin(), Rows.end(), ComesBefore);
  Rows.erase(std::unique(Rows.begin(), Rows.end()), Rows.end());
}

}  // namespace

QModelIndexList RowsOf(const QItemSelection& Selection) {
  QModelIndexList Rows;
  QSet<QModelIndex> Met;
  for (const QItemSelectionRange& Range : Selection) {
    if (!Range.isValid()) {
      continue;  // rows that have gone from the model
    }
    for (int Row = Range.top(); Row <= Range.bottom(); ++Row) {
      const QModelIndex Index = Range.model()->index(Row, 0, Range.parent());
      if (Index.isValid() && !Met.contains(Index)) {
        Met.insert(Index);
        Rows.append(Index);
      }
    }
  }
  return Rows;
}

QItemSelection RowSelection(QModelIndexList Rows) {
  SortRows(Rows);
  QItemSelection Selection;
  for (qsizetype I = 0; I < Rows.size();) {
    qsizetype Last = I;
    while (Last + 1 < Rows.size() && Rows[Last + 1].parent() == Rows[I].parent() &&
           Rows[Last + 1].row() == Rows[Last].row() + 1) {
      ++Last;
    }
    Selection.append(QItemSelectionRange(Rows[I], Rows[Last]));
    I = Last + 1;
  }
  return Selection;
}

void ShowRows(QAbstractItemView* View, const QItemSelection& Rows) {
  QItemSelectionModel* Model = View->selectionModel();
  QModelIndexList Shown = RowsOf(Model->selection());
  QModelIndexList Wanted;
  for (const QItemSelectionRange& Range : Rows) {
    for (int Row = Range.top(); Row <= Range.bottom(); ++Row) {
      Wanted.append(Range.model()->index(Row, 0, Range.parent()));
    }
  }
  SortRows(Shown);
  SortRows(Wanted);
  if (Shown == Wanted) {
    return;
  }
  Model->select(Rows, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  // Ends the selection the view is still extending, so that a later Shift click extends from
  // the current row without taking these rows away again.
  Model->select(QItemSelection(), QItemSelectionModel::Select);
}

void RevealRow(QAbstractItemView* View, const QModelIndex& Row) {
  if (!Row.isValid()) {
    return;
  }
  View->selectionModel()->setCurrentIndex(Row, QItemSelectionModel::NoUpdate);
  View->scrollTo(Row);
}

}  // namespace dunstrel
