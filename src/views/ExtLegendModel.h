#pragma once

#include <QAbstractTableModel>
#include <QItemSelection>
#include <cstdint>
#include <string>
#include <vector>

#include "results/ScanResults.h"
#include "views/ListColumns.h"
#include "views/TabSelection.h"
#include "views/ViewHost.h"

namespace dunstrel {

// The role under which a legend row keeps its extension key's own bytes.
inline constexpr int kExtKeyRole = Qt::UserRole;

// The rows of an extension legend, one for each extension of the results in their order: key,
// colour swatch, bytes, optionally the share of all bytes, and the number of files. A disk can
// hold tens of thousands of extensions, so the texts are made when a row is shown.
class TExtLegendModel final : public QAbstractTableModel {
 public:
  TExtLegendModel(IViewHost& Host, const std::vector<TListColumn>& Columns, bool WithShare,
                  QObject* Parent);

  // Shows the extensions of these results, or nothing.
  void SetResults(const TScanResults* Results);
  // The extensions (rows of the results' Extensions) of these rows, top to bottom.
  static std::vector<size_t> ExtensionsOf(QModelIndexList Rows);
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
  const TScanResults* FResults = nullptr;
};

}  // namespace dunstrel
