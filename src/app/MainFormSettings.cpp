// What the window keeps from one run to the next: its place, the splitters, the tab, the source,
// the folders scanned last, the filters, the lists' column widths and the count of sizes.
#include <QAction>
#include <QHeaderView>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeView>
#include <algorithm>

#include "app/FilterPanel.h"
#include "app/MainForm.h"
#include "app/MainMenu.h"
#include "app/WindowSettings.h"
#include "views/SortableList.h"

namespace dunstrel {

namespace {

// However a width was stored, a visible column stays wide enough to be found and dragged.
constexpr int kLeastColumnWidth = 16;
constexpr int kMostColumnWidth = 4000;

}  // namespace

void TfrmMain::RestoreSettings() {
  const TWindowMemory Memory = TWindowSettings(*FSettings).Read();
  // A place that does not fit any screen of this machine is put right by the window system.
  if (!Memory.Geometry.isEmpty()) {
    restoreGeometry(Memory.Geometry);
  }
  if (Memory.ToolbarShown.has_value()) {
    FMenu->ShowToolbar1->setChecked(*Memory.ToolbarShown);
    ToggleToolbar();
  }
  for (const auto& [Name, State] : Memory.Splitters) {
    if (auto* Splitter = PageControl1->findChild<QSplitter*>(Name)) {
      Splitter->restoreState(State);
    }
  }
  if (Memory.Page.has_value() && *Memory.Page < PageControl1->count()) {
    ShowPage(*Memory.Page);
  }
  if (Memory.Count.has_value()) {
    FCount = *Memory.Count;
    ShowCount();
  }
  if (Memory.PathChosen.has_value()) {
    FSourcePanel->ChoosePath(*Memory.PathChosen);
  }
  FSourcePanel->SetHistory(Memory.PathHistory);
  if (Memory.Filters.has_value()) {
    FFilterPanel->Restore(*Memory.Filters);
  }
  for (const auto& [Name, Widths] : Memory.ColumnWidths) {
    auto* List = PageControl1->findChild<QTreeView*>(Name);
    if (List == nullptr || List->header()->count() != static_cast<int>(Widths.size())) {
      continue;  // another list than the one the widths were kept for
    }
    for (int Column = 0; Column < static_cast<int>(Widths.size()); ++Column) {
      if (!List->isColumnHidden(Column)) {
        List->setColumnWidth(Column, std::clamp(Widths[static_cast<size_t>(Column)],
                                                kLeastColumnWidth, kMostColumnWidth));
      }
    }
  }
  for (const auto& [Name, Sort] : Memory.SortOrders) {
    auto* List = PageControl1->findChild<QTreeView*>(Name);
    if (List != nullptr && List->header()->isSortIndicatorShown() &&
        Sort.Column < List->header()->count() && !List->isColumnHidden(Sort.Column)) {
      SetSortChoice(List,
                    {Sort.Column, Sort.Descending ? Qt::DescendingOrder : Qt::AscendingOrder});
    }
  }
}

void TfrmMain::StoreSettings() const {
  TWindowMemory Memory;
  Memory.Geometry = saveGeometry();
  Memory.ToolbarShown = FMenu->ShowToolbar1->isChecked();
  // The splitters between each map and its lists; the side list beside them follows the
  // window's width at every resize, so its splitter has nothing to keep.
  for (const QSplitter* Splitter : PageControl1->findChildren<QSplitter*>()) {
    if (Splitter->orientation() == Qt::Vertical && !Splitter->objectName().isEmpty()) {
      Memory.Splitters.emplace(Splitter->objectName(), Splitter->saveState());
    }
  }
  Memory.Page = PageControl1->currentIndex();
  Memory.Count = FCount;
  Memory.PathChosen = FSourcePanel->PathChosen();
  Memory.PathHistory = FSourcePanel->History();
  Memory.Filters = FFilterPanel->Remembered();
  for (const QTreeView* List : PageControl1->findChildren<QTreeView*>()) {
    if (List->isHeaderHidden() || List->objectName().isEmpty()) {
      continue;
    }
    std::vector<int> Widths;
    for (int Column = 0; Column < List->header()->count(); ++Column) {
      Widths.push_back(List->columnWidth(Column));
    }
    Memory.ColumnWidths.emplace(List->objectName(), std::move(Widths));
    if (const TSortChoice Sort = SortChoiceOf(List); Sort.Active()) {
      Memory.SortOrders.emplace(List->objectName(),
                                TRememberedSort{Sort.Column, Sort.Order == Qt::DescendingOrder});
    }
  }
  TWindowSettings(*FSettings).Write(Memory);
}

}  // namespace dunstrel
