#include "views/TabProbes.h"

#include <gtest/gtest.h>
#include <QHeaderView>
#include <QRegularExpression>

#include "treemap/TreemapTestSupport.h"
#include "views/ExtLegendModel.h"
#include "views/ScanTreeModel.h"
#include "views/SortableList.h"

namespace dunstrel::testing {

namespace {

// The paths of the cells the map draws a selection frame around.
template <typename TItem>
std::set<std::string> Framed(TResultTab* Tab, const std::vector<TItem>& Items) {
  TRecordingCanvas Canvas(Tab->Surface()->MapRect());
  Tab->PaintMap(Canvas);
  std::set<std::string> Paths;
  for (const TDrawOp& Op : Canvas.Ops) {
    if (Op.Kind == TDrawOp::TKind::Frame && Op.Color == kWhite && Op.PenWidth == 3) {
      for (const TItem& Item : Items) {
        if (Item.Rect == Op.Rect) {
          Paths.insert(PathOfCell(Item));
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
  Paths.insert(Folder->FullPath());
}
void AddPaths(const TDupGroup* Group, std::set<std::string>& Paths) {
  for (const TFileLeaf* File : Group->Files) {
    AddPath(File, Paths);
  }
}

// The files of the extensions of the rows marked in a legend of extensions, found by their
// keys whatever the legend's order.
void AddFilesOfMarkedExtensions(const TResultTab* Tab, const QTreeView* Legend,
                                std::set<std::string>& Paths) {
  const TScanResults* Results = Tab->Results();
  for (const QModelIndex& Row : Legend->selectionModel()->selectedRows()) {
    const std::string Key = Row.data(kExtKeyRole).toByteArray().toStdString();
    for (const TFileLeaf* File : Results->AllFiles) {
      if (Results->Extensions[Results->ExtensionOf(*File)].Key == Key) {
        AddPath(File, Paths);
      }
    }
  }
}

}  // namespace

std::set<std::string> FramedOnMap(TResultTab* Tab) {
  if (auto* Files = dynamic_cast<TFilesView*>(Tab)) {
    return Framed(Tab, Files->Map().Items());
  }
  if (auto* Folders = dynamic_cast<TFoldersView*>(Tab)) {
    return Framed(Tab, Folders->Map().Items());
  }
  if (auto* Nested = dynamic_cast<TFilesInFoldersView*>(Tab)) {
    return Framed(Tab, Nested->Map().Items());
  }
  return Framed(Tab, dynamic_cast<TDuplicatesView*>(Tab)->Map().Items());
}

std::set<std::string> MarkedInRows(TResultTab* Tab) {
  std::set<std::string> Paths;
  if (auto* Files = dynamic_cast<TFilesView*>(Tab)) {
    // Each row knows its file's place among the largest, whatever the list's order.
    for (const QTreeWidgetItem* Row : Files->FilesList()->selectedItems()) {
      AddPath(Tab->Results()->DisplayFiles[Row->data(0, kPlaceRole).toULongLong()], Paths);
    }
    AddFilesOfMarkedExtensions(Tab, Files->ExtList(), Paths);
  } else if (auto* Folders = dynamic_cast<TFoldersView*>(Tab)) {
    for (const QModelIndex& Row : Folders->FolderTree()->selectionModel()->selectedRows()) {
      AddPath(TScanTreeModel::FolderOf(Row), Paths);
    }
    for (const QTreeWidgetItem* Row : Folders->Legend()->selectedItems()) {
      AddPath(static_cast<const TDirNode*>(Row->data(0, Qt::UserRole).value<void*>()), Paths);
    }
  } else if (auto* Nested = dynamic_cast<TFilesInFoldersView*>(Tab)) {
    for (const QModelIndex& Row : Nested->Tree()->selectionModel()->selectedRows()) {
      if (const TDirNode* Folder = TScanTreeModel::FolderOf(Row)) {
        AddPath(Folder, Paths);
      } else {
        AddPath(TScanTreeModel::FileOf(Row), Paths);
      }
    }
    AddFilesOfMarkedExtensions(Tab, Nested->Legend(), Paths);
  } else if (auto* Duplicates = dynamic_cast<TDuplicatesView*>(Tab)) {
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

std::set<std::string> Highlighted(TResultTab* Tab) {
  std::set<std::string> Paths = FramedOnMap(Tab);
  Paths.merge(MarkedInRows(Tab));
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

void ClickRow(QAbstractItemView* View, const QModelIndex& Row, Qt::KeyboardModifiers Keys) {
  ASSERT_TRUE(Row.isValid());
  View->scrollTo(Row);
  const QRect Cell = View->visualRect(Row);
  ASSERT_FALSE(Cell.isEmpty()) << Row.data().toString().toStdString();
  QTest::mouseClick(View->viewport(), Qt::LeftButton, Keys, Cell.center());
}

void ClickHeader(QTreeView* List, int Column) {
  QHeaderView* Header = List->header();
  const QPoint At(Header->sectionViewportPosition(Column) + Header->sectionSize(Column) / 2,
                  Header->height() / 2);
  QTest::mouseClick(Header->viewport(), Qt::LeftButton, Qt::NoModifier, At);
}

}  // namespace dunstrel::testing
