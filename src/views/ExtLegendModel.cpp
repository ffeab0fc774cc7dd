#include "views/ExtLegendModel.h"

#include "results/ValueFormat.h"
#include "scan/KeyColors.h"
#include "views/ColorSwatch.h"
#include "views/ShownText.h"

namespace dunstrel {

TExtLegendModel::TExtLegendModel(IViewHost& Host, const std::vector<TListColumn>& Columns,
                                 bool WithShare, QObject* Parent)
    : QAbstractTableModel(Parent), FHost(Host), FColumns(Columns), FWithShare(WithShare) {}

void TExtLegendModel::SetRows(std::vector<TExtStatPair> Rows, int64_t ShareBase) {
  beginResetModel();
  FRows = std::move(Rows);
  FRows.shrink_to_fit();
  FShareBase = ShareBase;
  endResetModel();
}

void TExtLegendModel::RetitleColumns() {
  Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount({}) - 1);
}

int TExtLegendModel::rowCount(const QModelIndex& Parent) const {
  return Parent.isValid() ? 0 : static_cast<int>(FRows.size());
}

int TExtLegendModel::columnCount(const QModelIndex& Parent) const {
  return Parent.isValid() ? 0 : static_cast<int>(FColumns.size());
}

QVariant TExtLegendModel::data(const QModelIndex& Index, int Role) const {
  if (!Index.isValid() || Index.row() >= rowCount({})) {
    return {};
  }
  const TExtStatPair& Row = FRows[static_cast<size_t>(Index.row())];
  switch (Role) {
    case kExtKeyRole:
      return QByteArray::fromStdString(Row.Ext);
    case kSwatchColorRole:
      return QVariant::fromValue<uint32_t>(ColorForExt(Row.Ext));
    case Qt::DisplayRole:
      break;
    default:
      return {};
  }
  const TFormatSettings& Settings = FHost.FormatSettings();
  // Key, swatch, bytes, then the share where there is one, and the file count.
  const int Column = !FWithShare && Index.column() >= 3 ? Index.column() + 1 : Index.column();
  switch (Column) {
    case 0:
      return ShownText(Row.Ext);
    case 2:
      return ShownText(FormatSize(Row.Bytes, Settings));
    case 3:
      return ShownText(FormatPercent(Row.Bytes, FShareBase, Settings));
    case 4:
      return QString::number(Row.Files);
    default:
      return QString();
  }
}

QVariant TExtLegendModel::headerData(int Section, Qt::Orientation Orientation, int Role) const {
  if (Orientation != Qt::Horizontal || Role != Qt::DisplayRole || Section < 0 ||
      Section >= columnCount({})) {
    return {};
  }
  const TListColumn& Column = FColumns[static_cast<size_t>(Section)];
  return Column.Translated ? TranslatedText(Column.Title) : QString::fromUtf8(Column.Title);
}

}  // namespace dunstrel
