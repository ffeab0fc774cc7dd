#include "views/ExtLegendModel.h"

#include <algorithm>
#include <unordered_map>

#include "results/ValueFormat.h"
#include "scan/KeyColors.h"
#include "scan/PathKeys.h"
#include "views/ColorSwatch.h"
#include "views/RowSelection.h"
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

namespace {

// The extension key of files, each extension text keyed once: the files of one extension share
// one text in their scan's pool.
class TExtKeyOfFile {
 public:
  const std::string& operator()(const TFileLeaf& File) {
    const std::string& Text = File.Ext();
    auto [Found, Added] = FKeys.try_emplace(&Text);
    if (Added) {
      Found->second = ExtKey(Text);
    }
    return Found->second;
  }

 private:
  std::unordered_map<const std::string*, std::string> FKeys;
};

}  // namespace

void TExtLegendModel::AppendFilesOfRows(const QModelIndexList& Rows,
                                        const std::vector<TFileLeaf*>& Files,
                                        std::vector<TSelectedItem>& Out) const {
  TKeySet Chosen;
  for (const QModelIndex& Row : Rows) {
    if (Row.row() >= 0 && Row.row() < rowCount({})) {
      Chosen.insert(KeyAt(Row.row()));
    }
  }
  if (Chosen.empty()) {
    return;
  }
  TExtKeyOfFile KeyOf;
  for (const TFileLeaf* File : Files) {
    if (Chosen.contains(KeyOf(*File))) {
      Out.emplace_back(File);
    }
  }
}

QItemSelection TExtLegendModel::RowsWhollySelected(const TTabSelection& Selection) const {
  TKeyMap<int64_t> Selected;
  TExtKeyOfFile KeyOf;
  for (const TSelectedItem& Item : Selection.Items()) {
    if (const auto* File = std::get_if<const TFileLeaf*>(&Item)) {
      ++Selected[KeyOf(**File)];
    }
  }
  QModelIndexList Rows;
  if (!Selected.empty()) {
    for (int Row = 0; Row < rowCount({}); ++Row) {
      const TExtStatPair& Ext = FRows[static_cast<size_t>(Row)];
      const auto Found = Selected.find(Ext.Ext);
      if (Found != Selected.end() && Ext.Files > 0 && Found->second >= Ext.Files) {
        Rows.append(index(Row, 0));
      }
    }
  }
  return RowSelection(Rows);
}

std::string TExtLegendModel::NamesOfRows(QModelIndexList Rows) const {
  std::sort(Rows.begin(), Rows.end(),
            [](const QModelIndex& A, const QModelIndex& B) { return A.row() < B.row(); });
  std::string Names;
  for (const QModelIndex& Row : Rows) {
    if (Row.row() >= 0 && Row.row() < rowCount({})) {
      Names += Names.empty() ? "" : ", ";
      Names += KeyAt(Row.row());
    }
  }
  return Names;
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
