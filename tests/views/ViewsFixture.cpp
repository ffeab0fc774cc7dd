#include "views/ViewsFixture.h"

namespace dunstrel::testing {

QStringList ColumnTexts(const QTreeView* List, int Column) {
  QStringList Texts;
  const QAbstractItemModel* Model = List->model();
  for (int I = 0; I < Model->rowCount(); ++I) {
    Texts.append(Model->index(I, Column).data().toString());
  }
  return Texts;
}

QStringList RowTexts(const QTreeView* Tree, const QModelIndex& Parent) {
  QStringList Texts;
  const QAbstractItemModel* Model = Tree->model();
  for (int I = 0; I < Model->rowCount(Parent); ++I) {
    Texts.append(Model->index(I, 0, Parent).data().toString());
  }
  return Texts;
}

}  // namespace dunstrel::testing
