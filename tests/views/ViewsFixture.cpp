#include "views/ViewsFixture.h"

#include <QRegularExpression>

#include "treemap/TreemapTestSupport.h"
#include "views/ScanTreeModel.h"

namespace dunstrel::testing {

namespace {

// The paths of the cells the map draws a selection frame around.
template <typename TItem, typename TPathOf>
std::set<std::string> Framed(TResultTab* View, const std::vector<TItem>& Items, TPathOf PathOf) {
  TRecordingCanvas Canvas(View->Surface()->MapRect());
  View->PaintMap(Canvas);
  std::set<std::string> Paths;
  for (const TDrawOp& Op : Canvas.Ops) {
    if (Op.Kind == TDrawOp::TKind::Frame && Op.Color == kWhite && Op.PenWidth == 3) {
      for (const TItem& Item : Items) {
        if (Item.Rect == Op.Rect) {
          Paths.insert(PathOf(Item));
        }
      }
    }
  }
  return Paths;
}

void AddPath(const TFileLeaf* File, std::set<std::string>& Paths) {
  Paths.insert(File->FullPath());
}
void AddPath(const TDirNode* Folder, std::set<std::string>& Paths) {
  Paths.insert(std::string(Folder->FullPath()));
}
void AddPaths(const TDupGroup* Group, std::set<std::string>& Paths) {
  for (const TFileLeaf* File : Group->Files) {
    AddPath(File, Paths);
  }
}

std::vector<int> MarkedRows(const QAbstractItemView* List) {
  std::vector<int> Rows;
  for (const QModelIndex& Row : List->selectionModel()->selectedRows()) {
    Rows.push_back(Row.row());
  }
  return Rows;
}

}  // namespace

void ViewsTest::ClickRow(QAbstractItemView* View, const QModelIndex& Row,
                         Qt::KeyboardModifiers Keys) {
  ASSERT_TRUE(Row.isValid());
  View->scrollTo(Row);
  const QRect Cell = View->visualRect(Row);
  ASSERT_FALSE(Cell.isEmpty()) << Row.data().toString().toStdString();
  QTest::mouseClick(View->viewport(), Qt::LeftButton, Keys, Cell.center());
}

std::vector<std::string> ClipboardLines(const QString& Text) {
  std::vector<std::string> Lines;
  if (Text.isEmpty()) {
    return Lines;
  }
  for (const QString& Line : Text.split(QRegularExpression(QStringLiteral("\\r\\n|\\n|\\r")))) {
    Lines.push_back(Line.toStdString());
  }
  return Lines;
}

std::set<std::string> FramedOnMap(TResultTab* View) {
  if (auto* Files = dynamic_cast<TFilesView*>(View)) {
    return Framed(View, Files->Map().Items(),
                  [](const TFlatMapItem& Item) { return Item.FullPath(); });
  }
  if (auto* Folders = dynamic_cast<TFoldersView*>(View)) {
    return Framed(View, Folders->Map().Items(),
                  [](const TFolderMapItem& Item) { return std::string(Item.Node->FullPath()); });
  }
  if (auto* Nested = dynamic_cast<TFilesInFoldersView*>(View)) {
    return Framed(View, Nested->Map().Items(),
                  [](const THierItem& Item) { return Item.FullPath(); });
  }
  auto* Duplicates = dynamic_cast<TDuplicatesView*>(View);
  return Framed(View, Duplicates->Map().Items(),
                [](const TDupItem& Item) { return Item.FullPath(); });
}

std::set<std::string> MarkedInRows(TResultTab* View) {
  std::set<std::string> Paths;
  const TScanResults* Results = nullptr;
  if (auto* Files = dynamic_cast<TFilesView*>(View)) {
    Results = View->Results();
    for (const int Row : MarkedRows(Files->FilesList())) {
      AddPath(Results->DisplayFiles[static_cast<size_t>(Row)], Paths);
    }
    for (const int Row : MarkedRows(Files->ExtList())) {
      const QByteArray Key =
          Files->ExtList()->model()->index(Row, 0).data(Qt::UserRole).toByteArray();
      for (const TFileLeaf* File : Results->AllFiles) {
        if (ExtKey(File->Ext()) == Key.toStdString()) {
          AddPath(File, Paths);
        }
      }
    }
  } else if (auto* Folders = dynamic_cast<TFoldersView*>(View)) {
    for (const QModelIndex& Row : Folders->FolderTree()->selectionModel()->selectedRows()) {
      AddPath(TScanTreeModel::FolderOf(Row), Paths);
    }
    for (const QTreeWidgetItem* Row : Folders->Legend()->selectedItems()) {
      AddPath(static_cast<const TDirNode*>(Row->data(0, Qt::UserRole).value<void*>()), Paths);
    }
  } else if (auto* Nested = dynamic_cast<TFilesInFoldersView*>(View)) {
    Results = View->Results();
    for (const QModelIndex& Row : Nested->Tree()->selectionModel()->selectedRows()) {
      if (const TDirNode* Folder = TScanTreeModel::FolderOf(Row)) {
        AddPath(Folder, Paths);
      } else {
        AddPath(TScanTreeModel::FileOf(Row), Paths);
      }
    }
    for (const int Row : MarkedRows(Nested->Legend())) {
      const QByteArray Key =
          Nested->Legend()->model()->index(Row, 0).data(Qt::UserRole).toByteArray();
      for (const TFileLeaf* File : Results->AllFiles) {
        if (ExtKey(File->Ext()) == Key.toStdString()) {
          AddPath(File, Paths);
        }
      }
    }
  } else if (auto* Duplicates = dynamic_cast<TDuplicatesView*>(View)) {
    for (const QTreeWidgetItem* Node : Duplicates->GroupTree()->selectedItems()) {
      const TSelectedData Data = TDuplicatesView::NodeData(Node);
      if (const auto* File = std::get_if<const TFileLeaf*>(&Data)) {
        AddPath(*File, Paths);
      } else if (const auto* Group = std::get_if<const TDupGroup*>(&Data)) {
        AddPaths(*Group, Paths);
      }
    }
    for (const QTreeWidgetItem* Row : Duplicates->Legend()->selectedItems()) {
      AddPaths(static_cast<const TDupGroup*>(Row->data(0, Qt::UserRole).value<void*>()), Paths);
    }
  }
  return Paths;
}

std::set<std::string> Highlighted(TResultTab* View) {
  std::set<std::string> Paths = FramedOnMap(View);
  Paths.merge(MarkedInRows(View));
  return Paths;
}

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
