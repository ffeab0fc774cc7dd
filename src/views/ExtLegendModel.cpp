#include "views/ExtLegendModel.h"

#include <algorithm>

#include "common/SaturatingSum.h"
#include "results/ValueFormat.h"
#include "scan/KeyColors.h"
#include "views/ColorSwatch.h"
#include "views/RowSelection.h"
#include "views/ShownText.h"

namespace dunstrel {

TExtLegendModel::TExtLegendModel(IViewHost& Host, const std::vector<TListColumn>& Columns,
                                 bool WithShare, QObject* Parent)
    : QAbstractTableModel(Parent), FHost(Host), FColumns(Columns), FWithShare(WithShare) {}

void TExtLegendModel::SetResults(const TScanResults* Results) {
  beginResetModel();
  FResults = Results;
  FScope = nullptr;
  MakeRows();
  endResetModel();
}

void TExtLegendModel::Sort(const TSortChoice& Choice) {
  beginResetModel();
  FChoice = Choice;
  MakeRows();
  endResetModel();
}

void TExtLegendModel::SetScope(const TDirNode* Folder) {
  beginResetModel();
  FScope = Folder;
  MakeRows();
  endResetModel();
}

void TExtLegendModel::MakeRows() {
  FShown.clear();
  FOrder.clear();
  FRowOf.clear();
  if (FResults == nullptr) {
    return;
  }
  const size_t Count = FResults->Extensions.size();
  if (FScope == nullptr) {
    FShown.reserve(Count);
    for (size_t Extension = 0; Extension < Count; ++Extension) {
      const TExtensionRow& Row = FResults->Extensions[Extension];
      FShown.push_back({Extension, Row.Bytes, Row.Files});
    }
    FScopeBytes = FResults->AllTotalBytes;
  } else {
    // The folder's files counted by extension; the extensions keep the results' order.
    std::vector<TShownRow> Figures(Count, TShownRow{0, 0, 0});
    // The shares are of the folder's files in the results' count, as the whole scan's are.
    int64_t ScopeBytes = 0;
    ForEachFolder(*FScope, [&](const TDirNode& Folder) {
      for (const TFileLeaf* File : Folder.Leaves) {
        const size_t Extension = FResults->ExtensionOf(*File);
        if (Extension < Count) {
          const int64_t Figure = File->SizeIn(FResults->Count);
          Figures[Extension].Bytes = SaturatingAdd(Figures[Extension].Bytes, Figure);
          ScopeBytes = SaturatingAdd(ScopeBytes, Figure);
          ++Figures[Extension].Files;
        }
      }
    });
    for (size_t Extension = 0; Extension < Count; ++Extension) {
      if (Figures[Extension].Files > 0) {
        FShown.push_back({Extension, Figures[Extension].Bytes, Figures[Extension].Files});
      }
    }
    FScopeBytes = ScopeBytes;
  }
  if (FChoice.Active()) {
    FOrder = OrderByKeys(
        FShown.size(), [this](size_t Row) { return SortKey(FShown[Row], FChoice.Column); },
        FChoice.Order);
  }
  FRowOf.assign(Count, -1);
  for (size_t Row = 0; Row < FShown.size(); ++Row) {
    FRowOf[RowAt(static_cast<int>(Row)).Extension] = static_cast<int>(Row);
  }
}

int TExtLegendModel::ContentOf(int Column) const {
  // Key, swatch, bytes, then the share where there is one, and the file count.
  return !FWithShare && Column >= 3 ? Column + 1 : Column;
}

QVariant TExtLegendModel::SortKey(const TShownRow& Row, int Column) const {
  const std::string& Key = FResults->Extensions[Row.Extension].Key;
  switch (ContentOf(Column)) {
    case 0:
      return QByteArray::fromStdString(Key);
    case 1:
      return QVariant::fromValue<uint32_t>(ColorForExt(Key));
    case 4:
      return QVariant::fromValue<qlonglong>(Row.Files);
    default:
      return QVariant::fromValue<qlonglong>(Row.Bytes);
  }
}

const TExtLegendModel::TShownRow& TExtLegendModel::RowAt(int Row) const {
  const auto At = static_cast<size_t>(Row);
  return FShown[At < FOrder.size() ? FOrder[At] : At];
}

std::vector<TSelectedItem> TExtLegendModel::FilesOf(const std::vector<size_t>& Extensions) const {
  std::vector<TSelectedItem> Files;
  if (FResults == nullptr || FScope == nullptr || Extensions.empty()) {
    return Files;
  }
  std::vector<char> Wanted(FResults->Extensions.size(), 0);
  for (const size_t Extension : Extensions) {
    Wanted[Extension] = 1;
  }
  ForEachFolder(*FScope, [&](const TDirNode& Folder) {
    for (const TFileLeaf* File : Folder.Leaves) {
      const size_t Extension = FResults->ExtensionOf(*File);
      if (Extension < Wanted.size() && Wanted[Extension] != 0) {
        Files.emplace_back(File);
      }
    }
  });
  return Files;
}

int TExtLegendModel::RowOf(size_t Extension) const {
  return Extension < FRowOf.size() ? FRowOf[Extension] : -1;
}

std::vector<size_t> TExtLegendModel::ExtensionsOf(QModelIndexList Rows) const {
  std::sort(Rows.begin(), Rows.end(),
            [](const QModelIndex& A, const QModelIndex& B) { return A.row() < B.row(); });
  std::vector<size_t> Extensions;
  for (const QModelIndex& Row : Rows) {
    if (Row.isValid() && Row.row() < rowCount({})) {
      Extensions.push_back(ExtensionAt(Row.row()));
    }
  }
  return Extensions;
}

QItemSelection TExtLegendModel::RowsWhollySelected(const TTabSelection& Selection) const {
  QModelIndexList Rows;
  if (FResults == nullptr || Selection.Empty()) {
    return {};
  }
  // Files chosen one by one count too, when they are all of their extension's.
  std::vector<int64_t> Chosen(FResults->Extensions.size(), 0);
  for (const TSelectedItem& Item : Selection.Items()) {
    if (const auto* File = std::get_if<const TFileLeaf*>(&Item)) {
      const size_t Row = FResults->ExtensionOf(**File);
      if (Row < Chosen.size()) {
        ++Chosen[Row];
      }
    }
  }
  for (size_t Row = 0; Row < Chosen.size(); ++Row) {
    const int Shown = RowOf(Row);
    const int64_t Files = Shown >= 0 ? RowAt(Shown).Files : 0;
    if (Shown >= 0 && (Selection.HasExtension(Row) || (Files > 0 && Chosen[Row] >= Files))) {
      Rows.append(index(RowOf(Row), 0));
    }
  }
  return RowSelection(Rows);
}

std::string TExtLegendModel::NamesOfRows(const QModelIndexList& Rows) const {
  std::string Names;
  for (const size_t Row : ExtensionsOf(Rows)) {
    if (FResults != nullptr && Row < FResults->Extensions.size()) {
      Names += Names.empty() ? "" : ", ";
      Names += FResults->Extensions[Row].Key;
    }
  }
  return Names;
}

void TExtLegendModel::RetitleColumns() {
  Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount({}) - 1);
}

int TExtLegendModel::rowCount(const QModelIndex& Parent) const {
  return Parent.isValid() ? 0 : static_cast<int>(FShown.size());
}

int TExtLegendModel::columnCount(const QModelIndex& Parent) const {
  return Parent.isValid() ? 0 : static_cast<int>(FColumns.size());
}

QVariant TExtLegendModel::data(const QModelIndex& Index, int Role) const {
  if (!Index.isValid() || Index.row() >= rowCount({})) {
    return {};
  }
  const TShownRow& Shown = RowAt(Index.row());
  const TExtensionRow& Row = FResults->Extensions[Shown.Extension];
  const int Column = ContentOf(Index.column());
  switch (Role) {
    case kSortKeyRole:
      return SortKey(Shown, Index.column());
    case kExtKeyRole:
      return QByteArray::fromStdString(Row.Key);
    case kSwatchColorRole:
      return QVariant::fromValue<uint32_t>(ColorForExt(Row.Key));
    case Qt::DisplayRole:
      break;
    default:
      return {};
  }
  const TFormatSettings& Settings = FHost.FormatSettings();
  switch (Column) {
    case 0:
      return ShownText(Row.Key);
    case 2:
      return ShownText(FormatSize(Shown.Bytes, Settings));
    case 3:
      return ShownText(FormatPercent(Shown.Bytes, FScopeBytes, Settings));
    case 4:
      return QString::number(Shown.Files);
    default:
      return QString();
  }
}

QVariant TExtLegendModel::headerData(int Section, Qt::Orientation Orientation, int Role) const {
  if (Orientation != Qt::Horizontal || Section < 0 || Section >= columnCount({})) {
    return {};
  }
  const TListColumn& Column = FColumns[static_cast<size_t>(Section)];
  if (Role == Qt::InitialSortOrderRole) {
    return FirstSortOrder(Column);
  }
  if (Role != Qt::DisplayRole) {
    return {};
  }
  return Column.Translated ? TranslatedText(Column.Title) : QString::fromUtf8(Column.Title);
}

}  // namespace dunstrel
