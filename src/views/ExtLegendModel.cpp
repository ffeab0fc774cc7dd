#include "views/ExtLegendModel.h"

#include <algorithm>

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
  MakeOrder();
  endResetModel();
}

void TExtLegendModel::Sort(const TSortChoice& Choice) {
  beginResetModel();
  FChoice = Choice;
  MakeOrder();
  endResetModel();
}

void TExtLegendModel::MakeOrder() {
  FExtensionAt.clear();
  FRowOf.clear();
  if (FResults == nullptr || !FChoice.Active()) {
    return;
  }
  const size_t Count = FResults->Extensions.size();
  FExtensionAt = OrderByKeys(
      Count, [this](size_t Row) { return SortKey(FResults->Extensions[Row], FChoice.Column); },
      FChoice.Order);
  FRowOf.resize(Count);
  for (size_t Row = 0; Row < Count; ++Row) {
    FRowOf[FExtensionAt[Row]] = static_cast<uint32_t>(Row);
  }
}

int TExtLegendModel::ContentOf(int Column) const {
  // Key, swatch, bytes, then the share where there is one, and the file count.
  return !FWithShare && Column >= 3 ? Column + 1 : Column;
}

QVariant TExtLegendModel::SortKey(const TExtensionRow& Row, int Column) const {
  switch (ContentOf(Column)) {
    case 0:
      return QByteArray::fromStdString(Row.Key);
    case 1:
      return QVariant::fromValue<uint32_t>(ColorForExt(Row.Key));
    case 4:
      return QVariant::fromValue<qlonglong>(Row.Files);
    default:
      return QVariant::fromValue<qlonglong>(Row.Bytes);
  }
}

size_t TExtLegendModel::ExtensionAt(int Row) const {
  const auto At = static_cast<size_t>(Row);
  return At < FExtensionAt.size() ? FExtensionAt[At] : At;
}

int TExtLegendModel::RowOf(size_t Extension) const {
  return static_cast<int>(Extension < FRowOf.size() ? FRowOf[Extension] : Extension);
}

std::vector<size_t> TExtLegendModel::ExtensionsOf(QModelIndexList Rows) const {
  std::sort(Rows.begin(), Rows.end(),
            [](const QModelIndex& A, const QModelIndex& B) { return A.row() < B.row(); });
  std::vector<size_t> Extensions;
  for (const QModelIndex& Row : Rows) {
    if (Row.isValid()) {
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
    const int64_t Files = FResults->Extensions[Row].Files;
    if (Selection.HasExtension(Row) || (Files > 0 && Chosen[Row] >= Files)) {
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
  return Parent.isValid() || FResults == nullptr ? 0
                                                 : static_cast<int>(FResults->Extensions.size());
}

int TExtLegendModel::columnCount(const QModelIndex& Parent) const {
  return Parent.isValid() ? 0 : static_cast<int>(FColumns.size());
}

QVariant TExtLegendModel::data(const QModelIndex& Index, int Role) const {
  if (!Index.isValid() || Index.row() >= rowCount({})) {
    return {};
  }
  const TExtensionRow& Row = FResults->Extensions[ExtensionAt(Index.row())];
  const int Column = ContentOf(Index.column());
  switch (Role) {
    case kSortKeyRole:
      return SortKey(Row, Index.column());
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
      return ShownText(FormatSize(Row.Bytes, Settings));
    case 3:
      return ShownText(FormatPercent(Row.Bytes, FResults->AllTotalBytes, Settings));
    case 4:
      return QString::number(Row.Files);
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
