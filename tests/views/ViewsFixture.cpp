#include "views/ViewsFixture.h"

namespace dunstrel::testing {

QStringList ColumnTexts(const QTreeWidget* List, int Column) {
  QStringList Texts;
  for (int I = 0; I < List->topLevelItemCount(); ++I) {
    Texts.append(List->topLevelItem(I)->text(Column));
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
