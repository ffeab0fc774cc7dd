#pragma once

#include <QAbstractTableModel>
#include <QItemSelection>
#include <cstdint>
#include <string>
#include <vector>

#include "results/ScanResults.h"
#include "views/ListColumns.h"
#include "views/RowOrder.h"
#include "views/TabSelection.h"
#include "views/ViewHost.h"

namespace dunstrel {

// The role under which a legend row keeps its extension key's own bytes.
inline constexpr int kExtKeyRole = Qt::UserRole;

// The rows of an extension legend, one for each extension of the results in their order: key,
// colour swatch, bytes, optionally the share of all bytes, and the number of files. Scoped to a
// folder, it shows the extensions of that folder's files with their figures there. A disk can
// hold tens of thousands of extensions, so the texts are made when a row is shown.
class TExtLegendModel final : public QAbstractTableModel {
 public:
  TExtLegendModel(IViewHost& Host, const std::vector<TListColumn>& Columns, bool WithShare,
                  QObject* Parent);

  // Shows the extensions of these results, or nothing, in the order chosen.
  void SetResults(const TScanResults* Results);
  // Orders the rows by a column, or in the results' order (largest first) without one.
  void Sort(const TSortChoice& Choice);
  // The files counted: those below a folder of the results, or all of them (none).
  void SetScope(const TDirNode* Folder);
  const TDirNode* Scope() const { return FScope; }
  // The files of these extensions in the scope, in the order of the folders.
  std::vector<TSelectedItem> FilesOf(const std::vector<size_t>& Extensions) const;
  // The extensions (rows of the results' Extensions) of these rows, top to bottom.
  std::vector<size_t> ExtensionsOf(QModelIndexList Rows) const;
  // The rows whose every file is selected.
  QItemSelection RowsWhollySelected(const TTabSelection& Selection) const;
  // The keys of these rows, joined by commas.
  std::string NamesOfRows(const QModelIndexList& Rows) const;
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
  // One row: an extension and its figures in the scope.
  struct TShownRow {
    size_t Extension;
    int64_t Bytes;
    int64_t Files;
  };
  const TShownRow& RowAt(int Row) const;
  // The extension of a row, and the row of an extension (-1 outside the scope).
  size_t ExtensionAt(int Row) const { return RowAt(Row).Extension; }
  int RowOf(size_t Extension) const;
  // What a column shows (0 key, 1 swatch, 2 bytes, 3 share, 4 files), and the key it sorts by.
  int ContentOf(int Column) const;
  QVariant SortKey(const TShownRow& Row, int Column) const;
  // The rows of the scope in the results' order, then in the order chosen.
  void MakeRows();

  const TScanResults* FResults = nullptr;
  const TDirNode* FScope = nullptr;
  TSortChoice FChoice;
  // The rows of the scope in the results' order, the order shown (empty in the results' order)
  // and the row of each extension.
  std::vector<TShownRow> FShown;
  std::vector<uint32_t> FOrder;
  std::vector<int> FRowOf;
  // The bytes the shares are of.
  int64_t FScopeBytes = 0;
};

}  // namespace dunstrel
