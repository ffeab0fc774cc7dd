#pragma once

#include <QItemSelection>
#include <QModelIndexList>

class QAbstractItemView;

namespace dunstrel {

// The rows of a selection (their first column), each once, in the order of its ranges.
QModelIndexList RowsOf(const QItemSelection& Selection);

// Whole rows, neighbours under one parent joined into one range.
QItemSelection RowSelection(QModelIndexList Rows);

// Makes exactly these rows the view's selection, unless they already are.
void ShowRows(QAbstractItemView* View, const QItemSelection& Rows);

// Makes a row the view's current one and scrolls it into view, without selecting anything.
void RevealRow(QAbstractItemView* View, const QModelIndex& Row);

}  // namespace dunstrel
