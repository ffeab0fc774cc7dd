#pragma once

#include <QAbstractTableModel>
#include <QItemSelection>
#include <cstdint>
#include <string>
#include <vector>

#include "scan/ExtStats.h"
#include "views/ListColumns.h"
#include "views/TabSelection.h"
#include "views/ViewHost.h"

namespace dunstrel {

// The role under which a legend row keeps its extension key's own bytes.
inline constexpr int kExtKeyRole = Qt::UserRole;

// The rows of an extension legend: key, colour swatch, bytes, optionally the share of all
// bytes, and the number of files. A disk can hold tens of thousands of extensions, so the texts
// are made when a row is shown rather than kept for every row.
class TExtLegendModel final : public QAbstractTableModel {
 public:
  TExtLegendModel(IViewHost& Host, const std::vector<TListColumn>& Columns, bool WithShare,
                  QObject* Parent);

  // Shows these rows in this order; the share is of ShareBase bytes.
  void SetRows(std::vector<TExtStatPair> Rows, int64_t ShareBase);
  void Clear() { SetRows({}, 0); }
  const std::string& KeyAt(int Row) const { return FRows[static_cast<size_t>(Row)].Ext; }
  // Appends the files of these rows' extensions, in the order of Files.
  void AppendFilesOfRows(const QModelIndexList& Rows, const std::vector<TFileLeaf*>& Files,
                         std::vector<TSelectedItem>& Out) const;
  // The rows whose every file is selected.
  QItemSelection RowsWhollySelected(const TTabSelection& Selection) const;
  // The keys of these rows, joined by commas.
  std::string NamesOfRows(QModelIndexList Rows) const;
  // The column titles have changed language.
  void RetitleColumns();

  int rowCount(const QModelIndex& Parent) const override;
  int columnCount(const QModelIndex& Parent) const override;
  QVariant data(const QModelIndex& Index, int Role) const override;
  QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override;

 private:
  IViewHost& FHost;
  const std::vector<TListColumn>& FColumns;
  const bool FWithShare;
  std::vector<TExtStatPair> FRows;
  int64_t FShareBase = 0;
};

}  // namespace dunstrel
