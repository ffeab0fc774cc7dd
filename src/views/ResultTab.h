#pragma once

#include <QModelIndexList>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "results/BaselineComparison.h"
#include "results/ScanResults.h"
#include "views/GestureView.h"
#include "views/TabSelection.h"
#include "views/TreemapSurface.h"
#include "views/ViewHost.h"

class QAbstractItemView;
class QItemSelection;
class QSplitter;
class QTimer;

namespace dunstrel {

// How wide the list at the right of a tab's bottom panel is kept.
enum class TSideListRule {
  // What is left of the panel beside half the window (at least 200), but at least 160.
  RestBesideHalfWindow,
  // Half the panel, but at least 200.
  HalfPanel,
};

// The names and design sizes of one tab's controls.
struct TResultTabNames {
  const char* Page;
  const char* Host;
  const char* Surface;
  const char* Vertical;
  int VerticalHandle;
  const char* Bottom;
  int BottomHeight;
  const char* Horizontal;
  TSideListRule SideRule;
};

// How a tab takes the results it is given.
enum class TShowKind {
  // Results of their own: the tab starts afresh.
  New,
  // The results that follow a change of those shown, whose tree they took over: the tab keeps
  // the selected items and extensions still there, the folders opened in its trees and where
  // each list was scrolled to.
  Next,
};

// One result tab: the drawing surface with its map on top, a splitter, and a bottom panel with a
// tree or list filling it and a legend of adjustable width at its right. It is given finished
// results to show, holds them as long as it shows them, and fills its controls from them in
// slices short enough to keep the window answering. The tab has one selection of files and
// folders: a click on the map, in the tree or list, or in the legend changes it, and all three
// show it. Each kind of tab fills in what it shows and what its rows stand for.
class TResultTab : public QWidget, public ITreemapSurfaceClient {
  Q_OBJECT

 public:
  TResultTab(IViewHost& Host, const TResultTabNames& Names);
  ~TResultTab() override;

  // Notes what the tab keeps across next results (its selection, opened folders and scroll
  // positions), before the tree of the results shown changes.
  void KeepState();
  // Shows these results instead of any before; Filled is signalled once every control shows
  // them. A hidden tab lays its map out when it is shown. Next results are to be given in the
  // turn they took the tree over, while what left it is still readable: what KeepState noted
  // and is still there is put back.
  void Show(std::shared_ptr<const TScanResults> Results, TShowKind Kind = TShowKind::New);
  // Shows every entry's growth since a baseline in the tab's trees and lists, or no more growth;
  // the selection, opened folders and scroll positions stay. The comparison must be of the
  // tree shown.
  void ShowGrowth(std::shared_ptr<const TBaselineComparison> Comparison);
  const TBaselineComparison* Comparison() const { return FComparison.get(); }
  // Empties the tab (its selection, its lists, its map and its hovered cell) and lets go of the
  // results.
  void Clear();
  // The results shown, or being filled in; none after Clear.
  const TScanResults* Results() const { return FResults.get(); }

  TTreemapSurface* Surface() const { return FSurface; }
  void InvalidateMap() { FSurface->Invalidate(); }
  // Lays the map out for the surface's size, now if the tab is shown, else once it is.
  void RebuildMap() final;
  // Sets the side list's width by the tab's rule.
  void AdjustSideListWidth();

  // The status line's description of the tab's selection.
  virtual QString SelectionStatus() const = 0;
  // Column titles, and the figures the tab's lists hold as text, in the current language.
  virtual void ApplyTranslation() = 0;

  // What the map, the lists and the legend show, and what the file commands act on.
  const TTabSelection& Selection() const { return FSelection; }
  // The paths of the selected items, as the file system's bytes, in the order they were chosen.
  std::vector<std::string> GetSelectedPaths() const;
  // Nothing selected any more, as the user made it.
  void ClearSelection();
  // Selects these items and extensions (rows of the results' Extensions) in place of the
  // selection, without describing it in the status line; nothing changes when both are empty.
  void Select(const std::vector<TSelectedItem>& Items, const std::vector<size_t>& Extensions);

  // Zoom on a map of folders: the selected folder (or the folder of the selected file) becomes
  // the root of the map, the tree and the legend, and a bar of the folders above it shows the
  // way back; Zoom Out goes up one level. A new scan starts at the scan's root again.
  virtual bool Zoomable() const { return false; }
  void ZoomIn();
  void ZoomOut();
  void ZoomTo(const TDirNode* Folder);
  // The folder the map shows: the zoomed one, or the scan's root.
  const TDirNode* MapRoot() const;

  // The map's mouse and keys: a click selects the cell's item, the context menu acts on the
  // selection (a cell outside it selected first), an arrow moves to the neighbouring cell.
  void MapMouseDown(TPoint At, bool Ctrl) final;
  void MapContextMenu(std::optional<TPoint> At) final;
  void MapArrow(TArrow Way) final;

 Q_SIGNALS:
  void Filled();

 protected:
  // One piece of filling the controls: called again and again, each time in a slice of its own,
  // until it answers true.
  using TFillStep = std::function<bool()>;
  // The steps that show FResults; the map is laid out after them.
  virtual std::vector<TFillStep> FillSteps() = 0;
  // Empties the lists, the legend and the map.
  virtual void ClearControls() = 0;
  // The map's root has changed: the tree and the legend show MapRoot() from now on.
  virtual void MapRootChanged() {}
  // Shows FComparison (or its end) in the tab's controls.
  virtual void GrowthChanged() = 0;
  // The files of the groups a tab's tree of file groups shows opened, kept across next results;
  // OpenGroupsOf opens the groups of such files again. Nothing in a tab without such a tree.
  virtual std::vector<const TFileLeaf*> FilesOfOpenGroups() const { return {}; }
  virtual void OpenGroupsOf(const std::vector<const TFileLeaf*>& /*Files*/) {}
  // Lays the map out from FResults in Rect, which has an area.
  virtual void LayOutMap(const TRect& Rect) = 0;
  // The item of the map's cell at a point, if any.
  virtual std::optional<TSelectedItem> MapItemAt(TPoint At) const = 0;
  // Every cell of the map with the item it stands for, outer cells before the ones inside.
  using TVisitCell = std::function<void(const TSelectedItem& Item, const TRect& Cell)>;
  virtual void ForEachMapCell(const TVisitCell& Visit) const = 0;

  void showEvent(QShowEvent* Event) override;

  // Puts the two controls into the bottom panel.
  void PlaceControls(QWidget* Left, QWidget* Right);
  bool eventFilter(QObject* Watched, QEvent* Event) override;

  // Appends the items that rows of a list, tree or legend stand for; a row for nothing adds none.
  using TItemsOfRows =
      std::function<void(const QModelIndexList& Rows, std::vector<TSelectedItem>& Items)>;
  // From now on a change the user makes to the view's selection changes the tab's: a plain
  // click or key makes the items of the view's selected rows the selection (a list's rows top to
  // bottom, a tree's in the order they were chosen); Ctrl or Shift takes the rows that lost
  // their mark out and adds those that gained it. Its context menu holds the item commands.
  template <typename TBase>
  void WatchSelection(TGestureView<TBase>* View, TItemsOfRows ItemsOfRows, TSelectionOrigin Origin,
                      bool InRowOrder) {
    ConnectSelection(
        View, [View] { return View->GestureKeepsTheRest(); }, std::move(ItemsOfRows), Origin,
        InRowOrder);
    WatchContextMenu(View);
  }
  // From now on the view's context menu holds the window's item commands; a right-click on a
  // row outside the view's selection makes that row the selection first.
  template <typename TBase>
  void WatchContextMenu(TGestureView<TBase>* View) {
    View->SetContextMenuHandler([this, View](const QPoint& Global, const QModelIndex& Under) {
      RowContextMenu(View, Global, Under);
    });
  }
  // The same for a legend of extensions, each row standing for its extension as a whole.
  template <typename TBase>
  void WatchExtensionLegend(TGestureView<TBase>* View) {
    ConnectExtensionLegend(View, [View] { return View->GestureKeepsTheRest(); });
    WatchContextMenu(View);
  }

  // The map's click: the item alone, or with Ctrl in or out of the selection.
  void MapItemClicked(const TSelectedItem& Item, bool Ctrl);
  // The selection was changed: show it in every control and on the map and, when the user
  // changed it, describe it in the status line.
  void SelectionChanged(bool Describe = true);
  // Shows the selection in the tab's lists, trees and legend: each row marked whose items are
  // all selected. After a click on the map the clicked item's row is shown too.
  virtual void ShowSelection() = 0;

  // While the tab shows its selection in its lists, trees and legend, or fills them, the changes
  // of selection they report are the tab's own, not the user's: they are not taken up.
  class TShowing {
   public:
    explicit TShowing(TResultTab& Tab) : FTab(Tab), FWas(Tab.FShowing) { FTab.FShowing = true; }
    ~TShowing() { FTab.FShowing = FWas; }
    TShowing(const TShowing&) = delete;
    TShowing& operator=(const TShowing&) = delete;

   private:
    TResultTab& FTab;
    const bool FWas;
  };

  // Puts a list or legend in another order: the rows it takes out and puts back change nothing
  // of the selection, which the rows show again afterwards.
  void Reorder(const std::function<void()>& Sort);

  // The status line for the selection: its first item, with the number of items when there
  // are several; for a selection made in a legend, the names of its rows and what they hold.
  QString ItemsStatus() const;
  QString LegendStatus(std::string_view Names) const;

  IViewHost& FHost;
  // The results shown; the selection, the controls and the map refer into them.
  std::shared_ptr<const TScanResults> FResults;
  TTabSelection FSelection;
  // The growth shown, while results are compared with a baseline.
  std::shared_ptr<const TBaselineComparison> FComparison;

 private:
  void ConnectSelection(QAbstractItemView* View, std::function<bool()> KeepsTheRest,
                        TItemsOfRows ItemsOfRows, TSelectionOrigin Origin, bool InRowOrder);
  void ConnectExtensionLegend(QAbstractItemView* View, std::function<bool()> KeepsTheRest);
  void RowContextMenu(QAbstractItemView* View, const QPoint& Global, const QModelIndex& Under);
  // The menu of the window's item commands, with the zoom's where it applies, at a point of the
  // screen.
  void PopUpItemMenu(const QPoint& Global, bool WithZoom);
  // The bar of the folders from the scan's root to the zoomed one, each a button back to it.
  void ShowBreadcrumb();
  // The map's cell of the selection's primary item, if it has one.
  std::optional<TRect> PrimaryCell() const;
  void RunFillSlice();
  // What KeepState noted, found again in the next results (in their rows and entries); put back
  // once the controls are filled again.
  void FindKeptIn(const TScanResults& Next);
  void RestoreState();

  struct TKeptView {
    QAbstractItemView* View;
    int Vertical;
    int Horizontal;
    std::vector<const TDirNode*> Expanded;  // in the order met (parents first)
  };
  struct TKeptState {
    std::vector<TSelectedItem> Items;
    std::vector<size_t> Extensions;  // rows of the results shown, then of the next ones
    TSelectionOrigin Origin = TSelectionOrigin::Rows;
    std::vector<TKeptView> Views;
    std::vector<const TFileLeaf*> OpenGroups;  // the files of the groups opened
    const TDirNode* Zoom = nullptr;            // the map's root when zoomed in
  };
  std::optional<TKeptState> FKept;

  TSideListRule FSideRule;
  QSplitter* FVertical;
  QWidget* FHostPanel;
  QWidget* FBreadcrumb;
  const TDirNode* FZoomRoot = nullptr;
  TTreemapSurface* FSurface;
  QWidget* FBottom;
  QSplitter* FHorizontal;
  bool FShowing = false;
  // The fill under way: its steps, the next one, and the timer that runs one slice per turn of
  // the event loop.
  std::vector<TFillStep> FSteps;
  size_t FNextStep = 0;
  QTimer* FFillTimer;
  // The map waits to be laid out until the tab is shown.
  bool FMapStale = false;
};

}  // namespace dunstrel
