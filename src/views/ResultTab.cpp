#include "views/ResultTab.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "common/SaturatingSum.h"
#include "results/NextResults.h"
#include "results/SelectionStatus.h"
#include "views/ExtLegendModel.h"
#include "views/Named.h"
#include "views/RowSelection.h"
#include "views/ScanTreeModel.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

constexpr int kDesignSideListWidth = 196;
// However small the window, the map and the lists below it keep room to be used.
constexpr int kLeastMapHeight = 120;
constexpr int kLeastBottomHeight = 100;
constexpr int kSideSplitterWidth = 6;

// How far a cell lies from Cell in one way: the gap to it, and how far it lies aside (0 where it
// lies alongside). None for a cell that is not wholly beyond Cell that way.
struct TAway {
  int Aside;
  int Gap;
  int Offset;
  friend auto operator<=>(const TAway&, const TAway&) = default;
};

std::optional<TAway> AwayFrom(const TRect& Cell, const TRect& Other, TArrow Way) {
  const bool Across = Way == TArrow::Left || Way == TArrow::Right;
  int Gap = 0;
  switch (Way) {
    case TArrow::Left:
      Gap = Cell.Left - Other.Right;
      break;
    case TArrow::Right:
      Gap = Other.Left - Cell.Right;
      break;
    case TArrow::Up:
      Gap = Cell.Top - Other.Bottom;
      break;
    case TArrow::Down:
      Gap = Other.Top - Cell.Bottom;
      break;
  }
  if (Gap < 0) {
    return std::nullopt;
  }
  // Along the other axis: the gap between the two spans, and between their middles.
  const int From = Across ? Cell.Top : Cell.Left;
  const int To = Across ? Cell.Bottom : Cell.Right;
  const int OtherFrom = Across ? Other.Top : Other.Left;
  const int OtherTo = Across ? Other.Bottom : Other.Right;
  const int Aside = std::max({0, OtherFrom - To, From - OtherTo});
  const int Offset = std::abs((OtherFrom + OtherTo) - (From + To));
  return TAway{Aside, Gap, Offset};
}

}  // namespace

TResultTab::TResultTab(IViewHost& Host, const TResultTabNames& Names)
    : FHost(Host), FSideRule(Names.SideRule), FFillTimer(new QTimer(this)) {
  setObjectName(QLatin1String(Names.Page));
  auto* PageLayout = new QVBoxLayout(this);
  PageLayout->setContentsMargins(0, 0, 0, 0);
  FVertical = Named(new QSplitter(Qt::Vertical, this), Names.Vertical);
  FVertical->setHandleWidth(Names.VerticalHandle);
  FVertical->setChildrenCollapsible(false);
  PageLayout->addWidget(FVertical);

  FHostPanel = Named(new QWidget(FVertical), Names.Host);
  auto* HostLayout = new QVBoxLayout(FHostPanel);
  HostLayout->setContentsMargins(0, 0, 0, 0);
  FHostPanel->setMinimumHeight(kLeastMapHeight);
  FBreadcrumb = Named(new QWidget(FHostPanel), "pnlBreadcrumb");
  auto* CrumbLayout = new QHBoxLayout(FBreadcrumb);
  CrumbLayout->setContentsMargins(2, 2, 2, 2);
  CrumbLayout->setSpacing(0);
  FBreadcrumb->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  FBreadcrumb->hide();
  HostLayout->addWidget(FBreadcrumb);
  FSurface = Named(new TTreemapSurface(FHostPanel), Names.Surface);
  FSurface->SetClient(this);
  HostLayout->addWidget(FSurface);

  FBottom = Named(new QWidget(FVertical), Names.Bottom);
  FBottom->setMinimumHeight(kLeastBottomHeight);
  auto* BottomLayout = new QHBoxLayout(FBottom);
  BottomLayout->setContentsMargins(0, 0, 0, 0);
  FHorizontal = Named(new QSplitter(Qt::Horizontal, FBottom), Names.Horizontal);
  FHorizontal->setHandleWidth(kSideSplitterWidth);
  FHorizontal->setChildrenCollapsible(false);
  BottomLayout->addWidget(FHorizontal);

  FVertical->addWidget(FHostPanel);
  FVertical->addWidget(FBottom);
  FVertical->setStretchFactor(0, 1);
  FVertical->setStretchFactor(1, 0);
  FVertical->setSizes({1, Names.BottomHeight});
  // The bottom panel gets its new size after the window (and a hidden tab's only when it is
  // shown), so the side list follows the panel itself.
  FBottom->installEventFilter(this);

  // One slice of the fill per turn of the event loop, so that input and painting come between.
  FFillTimer->setInterval(0);
  connect(FFillTimer, &QTimer::timeout, this, &TResultTab::RunFillSlice);
}

TResultTab::~TResultTab() {
  // The controls outlive this object by a moment: none of their signals may reach it then.
  for (QObject* Control : findChildren<QObject*>()) {
    QObject::disconnect(Control, nullptr, this, nullptr);
  }
  FSurface->SetClient(nullptr);
}

void TResultTab::Show(std::shared_ptr<const TScanResults> Results, TShowKind Kind) {
  if (Kind == TShowKind::Next && FKept && Results != nullptr && Results->Root != nullptr) {
    FindKeptIn(*Results);
  } else {
    FKept.reset();
  }
  Clear();
  FResults = std::move(Results);
  FSelection.SetResults(FResults.get());
  FSteps = FillSteps();
  if (FKept) {
    FSteps.emplace_back([this] {
      RestoreState();
      return true;
    });
  }
  // The map comes last, when the lists can already be used.
  FSteps.emplace_back([this] {
    RebuildMap();
    return true;
  });
  FNextStep = 0;
  FFillTimer->start();
}

void TResultTab::ShowGrowth(std::shared_ptr<const TBaselineComparison> Comparison) {
  if (Comparison == FComparison) {
    return;
  }
  // The trees are made again with another number of columns and rows.
  KeepState();
  FComparison = std::move(Comparison);
  GrowthChanged();
  if (FKept && FResults != nullptr) {
    FindKeptIn(*FResults);
    RestoreState();
  }
  FKept.reset();
  InvalidateMap();
}

void TResultTab::Clear() {
  FFillTimer->stop();
  FSteps.clear();
  FSelection.SetResults(nullptr);
  {
    const TShowing Quiet(*this);
    ClearControls();
  }
  if (FComparison != nullptr) {
    FComparison.reset();
    GrowthChanged();
  }
  FResults.reset();
  FZoomRoot = nullptr;
  ShowBreadcrumb();
  FMapStale = false;
  InvalidateMap();
}

const TDirNode* TResultTab::MapRoot() const {
  if (FZoomRoot != nullptr) {
    return FZoomRoot;
  }
  return FResults != nullptr ? FResults->Root.get() : nullptr;
}

void TResultTab::ZoomIn() {
  const std::optional<TSelectedItem>& Primary = FSelection.Primary();
  if (!Zoomable() || !Primary) {
    return;
  }
  const auto* File = std::get_if<const TFileLeaf*>(&*Primary);
  const TDirNode* Folder =
      File != nullptr ? &(*File)->Parent() : std::get<const TDirNode*>(*Primary);
  // Only below the map's root: the map shows nothing else.
  for (const TDirNode* Above = Folder; Above != nullptr; Above = Above->Parent()) {
    if (Above == MapRoot()) {
      if (Folder != MapRoot()) {
        ZoomTo(Folder);
      }
      return;
    }
  }
}

void TResultTab::ZoomOut() {
  if (FZoomRoot != nullptr) {
    ZoomTo(FZoomRoot->Parent());
  }
}

void TResultTab::ZoomTo(const TDirNode* Folder) {
  if (!Zoomable() || FResults == nullptr || Folder == nullptr) {
    return;
  }
  FZoomRoot = Folder == FResults->Root.get() ? nullptr : Folder;
  {
    const TShowing Quiet(*this);
    MapRootChanged();
  }
  ShowBreadcrumb();
  FSelection.Replace({Folder}, TSelectionOrigin::Rows);
  RebuildMap();
  SelectionChanged();
}

void TResultTab::ShowBreadcrumb() {
  for (QWidget* Part : FBreadcrumb->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    delete Part;
  }
  if (FZoomRoot == nullptr) {
    FBreadcrumb->hide();
    return;
  }
  std::vector<const TDirNode*> Chain;
  for (const TDirNode* Folder = FZoomRoot; Folder != nullptr; Folder = Folder->Parent()) {
    Chain.insert(Chain.begin(), Folder);
    if (Folder == FResults->Root.get()) {
      break;
    }
  }
  auto* Layout = static_cast<QHBoxLayout*>(FBreadcrumb->layout());
  for (const TDirNode* Folder : Chain) {
    if (Folder != Chain.front()) {
      Layout->addWidget(new QLabel(QStringLiteral("\u203A"), FBreadcrumb));
    }
    auto* Part = new QToolButton(FBreadcrumb);
    Part->setAutoRaise(true);
    // The scan's root by its whole path, the folders below by their names.
    Part->setText(
        ShownText(Folder == Chain.front() ? Folder->FullPath() : std::string(Folder->Name())));
    Part->setEnabled(Folder != FZoomRoot);
    connect(Part, &QToolButton::clicked, this, [this, Folder] { ZoomTo(Folder); });
    Layout->addWidget(Part);
  }
  Layout->addStretch(1);
  FBreadcrumb->show();
}

void TResultTab::KeepState() {
  FKept.reset();
  if (FResults == nullptr || FResults->Root == nullptr) {
    return;
  }
  TKeptState Kept;
  Kept.Items = FSelection.Items();
  for (const size_t Row : FSelection.Extensions()) {
    Kept.Extensions.push_back(Row);
  }
  Kept.Origin = FSelection.Origin();
  Kept.Zoom = FZoomRoot;
  Kept.OpenGroups = FilesOfOpenGroups();
  for (QAbstractItemView* View : findChildren<QAbstractItemView*>()) {
    TKeptView& Shown = Kept.Views.emplace_back(TKeptView{
        View, View->verticalScrollBar()->value(), View->horizontalScrollBar()->value(), {}});
    auto* Tree = qobject_cast<QTreeView*>(View);
    const auto* Model =
        Tree != nullptr ? dynamic_cast<const TScanTreeModel*>(Tree->model()) : nullptr;
    if (Model == nullptr) {
      continue;
    }
    // Only the rows of opened folders are looked at.
    std::vector<QModelIndex> Pending;
    for (int Row = Model->rowCount({}) - 1; Row >= 0; --Row) {
      Pending.push_back(Model->index(Row, 0, {}));
    }
    while (!Pending.empty()) {
      const QModelIndex Index = Pending.back();
      Pending.pop_back();
      const TDirNode* Folder = TScanTreeModel::FolderOf(Index);
      if (Folder == nullptr || !Tree->isExpanded(Index)) {
        continue;
      }
      Shown.Expanded.push_back(Folder);
      for (int Row = Model->rowCount(Index) - 1; Row >= 0; --Row) {
        Pending.push_back(Model->index(Row, 0, Index));
      }
    }
  }
  FKept = std::move(Kept);
}

void TResultTab::FindKeptIn(const TScanResults& Next) {
  TKeptState& Kept = *FKept;
  TSameEntryFinder Finder(*Next.Root);
  std::vector<TSelectedItem> Items;
  for (const TSelectedItem& Item : Kept.Items) {
    if (const auto* File = std::get_if<const TFileLeaf*>(&Item)) {
      if (const TFileLeaf* Now = Finder.File(**File)) {
        Items.emplace_back(Now);
      }
    } else if (const TDirNode* Now = Finder.Folder(*std::get<const TDirNode*>(Item))) {
      Items.emplace_back(Now);
    }
  }
  Kept.Items = std::move(Items);
  std::vector<const TFileLeaf*> OpenGroups;
  for (const TFileLeaf* File : Kept.OpenGroups) {
    if (const TFileLeaf* Now = Finder.File(*File)) {
      OpenGroups.push_back(Now);
    }
  }
  Kept.OpenGroups = std::move(OpenGroups);
  if (Kept.Zoom != nullptr) {
    Kept.Zoom = Finder.Folder(*Kept.Zoom);
  }
  // Extensions by their keys: the rows are numbered again.
  std::vector<size_t> Extensions;
  for (const size_t Row : Kept.Extensions) {
    const std::string& Key = FResults->Extensions[Row].Key;
    const auto Found =
        std::find_if(Next.Extensions.begin(), Next.Extensions.end(),
                     [&Key](const TExtensionRow& Extension) { return Extension.Key == Key; });
    if (Found != Next.Extensions.end()) {
      Extensions.push_back(static_cast<size_t>(Found - Next.Extensions.begin()));
    }
  }
  Kept.Extensions = std::move(Extensions);
  for (TKeptView& Shown : Kept.Views) {
    std::vector<const TDirNode*> Expanded;
    for (const TDirNode* Folder : Shown.Expanded) {
      if (const TDirNode* Now = Finder.Folder(*Folder)) {
        Expanded.push_back(Now);
      }
    }
    Shown.Expanded = std::move(Expanded);
  }
}

void TResultTab::RestoreState() {
  TKeptState Kept = std::move(*FKept);
  FKept.reset();
  // The zoom first: the tree and the legend then show the zoomed folder, where the opened
  // folders and the selection are found again.
  if (Kept.Zoom != nullptr && Kept.Zoom != FResults->Root.get()) {
    FZoomRoot = Kept.Zoom;
    {
      const TShowing Quiet(*this);
      MapRootChanged();
    }
    ShowBreadcrumb();
  }
  for (const TKeptView& Shown : Kept.Views) {
    auto* Tree = qobject_cast<QTreeView*>(Shown.View);
    auto* Model = Tree != nullptr ? dynamic_cast<TScanTreeModel*>(Tree->model()) : nullptr;
    for (const TDirNode* Folder : Shown.Expanded) {
      // Parents come first, so each folder's row exists once its parent is open.
      if (const QModelIndex Index = Model->IndexOfFolder(Folder); Index.isValid()) {
        Model->EnsureRows(Index);
        Tree->expand(Index);
      }
    }
  }
  OpenGroupsOf(Kept.OpenGroups);
  FSelection.Replace(Kept.Items, Kept.Origin);
  if (!Kept.Extensions.empty()) {
    FSelection.ChangeExtensions({}, Kept.Extensions, Kept.Origin);
  }
  SelectionChanged(false);
  for (const TKeptView& Shown : Kept.Views) {
    Shown.View->doItemsLayout();
    Shown.View->verticalScrollBar()->setValue(Shown.Vertical);
    Shown.View->horizontalScrollBar()->setValue(Shown.Horizontal);
  }
}

void TResultTab::RunFillSlice() {
  // A step begins a slice of its own: the slow ones (a map's layout) take one each, the others
  // come back as often as they ask.
  if (FNextStep < FSteps.size() && FSteps[FNextStep]()) {
    ++FNextStep;
  }
  if (FNextStep >= FSteps.size()) {
    FFillTimer->stop();
    FSteps.clear();
    Q_EMIT Filled();
  }
}

void TResultTab::RebuildMap() {
  if (!FSurface->isVisible()) {
    FMapStale = true;
    return;
  }
  FMapStale = false;
  const TRect Rect = FSurface->MapRect();
  if (IsEmpty(Rect)) {
    return;
  }
  if (FResults != nullptr) {
    LayOutMap(Rect);
  }
  InvalidateMap();
}

void TResultTab::showEvent(QShowEvent* Event) {
  QWidget::showEvent(Event);
  if (FMapStale) {
    RebuildMap();
  }
}

void TResultTab::PlaceControls(QWidget* Left, QWidget* Right) {
  FHorizontal->addWidget(Left);
  FHorizontal->addWidget(Right);
  FHorizontal->setStretchFactor(0, 1);
  FHorizontal->setStretchFactor(1, 0);
  FHorizontal->setSizes({1, kDesignSideListWidth});
}

void TResultTab::AdjustSideListWidth() {
  const int PanelWidth = FBottom->width();
  if (PanelWidth <= 0) {
    return;
  }
  int Width = 0;
  switch (FSideRule) {
    case TSideListRule::RestBesideHalfWindow:
      Width = std::max(
          PanelWidth - FHorizontal->handleWidth() - std::max(window()->width() / 2, 200), 160);
      break;
    case TSideListRule::HalfPanel:
      Width = std::max(PanelWidth / 2, 200);
      break;
  }
  const int Room = std::max(0, FHorizontal->width() - FHorizontal->handleWidth());
  FHorizontal->setSizes({std::max(0, Room - Width), Width});
}

std::vector<std::string> TResultTab::GetSelectedPaths() const {
  const std::vector<TSelectedItem> Items = FSelection.AllItems();
  std::vector<std::string> Paths;
  Paths.reserve(Items.size());
  for (const TSelectedItem& Item : Items) {
    Paths.push_back(ItemPath(Item));
  }
  return Paths;
}

void TResultTab::ClearSelection() {
  FSelection.Clear();
  SelectionChanged();
}

void TResultTab::Select(const std::vector<TSelectedItem>& Items,
                        const std::vector<size_t>& Extensions) {
  if (Items.empty() && Extensions.empty()) {
    return;
  }
  const TSelectionOrigin Origin = Items.empty() ? TSelectionOrigin::Legend : TSelectionOrigin::Rows;
  FSelection.Replace(Items, Origin);
  FSelection.ChangeExtensions({}, Extensions, Origin);
  SelectionChanged(false);
}

void TResultTab::ConnectSelection(QAbstractItemView* View, std::function<bool()> KeepsTheRest,
                                  TItemsOfRows ItemsOfRows, TSelectionOrigin Origin,
                                  bool InRowOrder) {
  connect(View->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [=, this](const QItemSelection& Selected, const QItemSelection& Deselected) {
            if (FShowing) {
              return;
            }
            std::vector<TSelectedItem> Added;
            if (KeepsTheRest()) {
              std::vector<TSelectedItem> Removed;
              ItemsOfRows(RowsOf(Deselected), Removed);
              ItemsOfRows(RowsOf(Selected), Added);
              FSelection.Change(Removed, Added, Origin);
            } else {
              // A row counts with any of its cells marked: code may mark the first alone.
              QModelIndexList Rows = RowsOf(View->selectionModel()->selection());
              if (InRowOrder) {
                std::sort(Rows.begin(), Rows.end(), [](const QModelIndex& A, const QModelIndex& B) {
                  return A.row() < B.row();
                });
              }
              ItemsOfRows(Rows, Added);
              FSelection.Replace(Added, Origin);
            }
            SelectionChanged();
          });
  // A click on a row that leaves the selection as it was still describes it: the status line
  // may be telling of another tab's.
  connect(View, &QAbstractItemView::pressed, this, [this] { FHost.SelectionChanged(*this); });
}

void TResultTab::ConnectExtensionLegend(QAbstractItemView* View,
                                        std::function<bool()> KeepsTheRest) {
  connect(View->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [=, this](const QItemSelection& Selected, const QItemSelection& Deselected) {
            if (FShowing) {
              return;
            }
            const auto* Rows = static_cast<const TExtLegendModel*>(View->model());
            // Zoomed, a row stands for its extension's files in the zoomed folder alone: the
            // commands must not reach the files of the rest of the scan.
            if (Rows->Scope() != nullptr) {
              if (KeepsTheRest()) {
                FSelection.Change(Rows->FilesOf(Rows->ExtensionsOf(RowsOf(Deselected))),
                                  Rows->FilesOf(Rows->ExtensionsOf(RowsOf(Selected))),
                                  TSelectionOrigin::Legend);
              } else {
                FSelection.Replace(
                    Rows->FilesOf(Rows->ExtensionsOf(RowsOf(View->selectionModel()->selection()))),
                    TSelectionOrigin::Legend);
              }
              SelectionChanged();
              return;
            }
            if (KeepsTheRest()) {
              FSelection.ChangeExtensions(Rows->ExtensionsOf(RowsOf(Deselected)),
                                          Rows->ExtensionsOf(RowsOf(Selected)),
                                          TSelectionOrigin::Legend);
            } else {
              FSelection.ReplaceWithExtensions(
                  Rows->ExtensionsOf(RowsOf(View->selectionModel()->selection())),
                  TSelectionOrigin::Legend);
            }
            SelectionChanged();
          });
  connect(View, &QAbstractItemView::pressed, this, [this] { FHost.SelectionChanged(*this); });
}

void TResultTab::MapMouseDown(TPoint At, bool Ctrl) {
  if (const std::optional<TSelectedItem> Item = MapItemAt(At)) {
    MapItemClicked(*Item, Ctrl);
  }
}

void TResultTab::MapContextMenu(std::optional<TPoint> At) {
  QPoint Local = FSurface->rect().center();
  if (At) {
    // As in a file manager: a right-click outside the selection selects the item under it.
    if (const std::optional<TSelectedItem> Item = MapItemAt(*At);
        Item && !FSelection.Contains(*Item)) {
      MapItemClicked(*Item, false);
    }
    Local = QPoint(At->X, At->Y);
  } else if (const std::optional<TRect> Cell = PrimaryCell()) {
    Local = QPoint((Cell->Left + Cell->Right) / 2, (Cell->Top + Cell->Bottom) / 2);
  }
  PopUpItemMenu(FSurface->mapToGlobal(Local), Zoomable());
}

std::optional<TRect> TResultTab::PrimaryCell() const {
  const std::optional<TSelectedItem>& Primary = FSelection.Primary();
  std::optional<TRect> Found;
  if (Primary) {
    ForEachMapCell([&](const TSelectedItem& Item, const TRect& Cell) {
      if (!Found && Item == *Primary) {
        Found = Cell;
      }
    });
  }
  return Found;
}

void TResultTab::MapArrow(TArrow Way) {
  if (!HasMapData()) {
    return;
  }
  const std::optional<TRect> From = PrimaryCell();
  std::optional<TSelectedItem> Next;
  std::optional<TAway> Nearest;
  ForEachMapCell([&](const TSelectedItem& Item, const TRect& Cell) {
    if (IsEmpty(Cell)) {
      return;
    }
    // Without a selected cell the arrows start at the first.
    if (!From) {
      if (!Next) {
        Next = Item;
      }
      return;
    }
    const std::optional<TAway> Away = AwayFrom(*From, Cell, Way);
    if (Away && (!Nearest || *Away < *Nearest)) {
      Nearest = Away;
      Next = Item;
    }
  });
  if (Next) {
    MapItemClicked(*Next, false);
  }
}

void TResultTab::RowContextMenu(QAbstractItemView* View, const QPoint& Global,
                                const QModelIndex& Under) {
  if (Under.isValid() && !View->selectionModel()->isRowSelected(Under.row(), Under.parent())) {
    View->selectionModel()->setCurrentIndex(
        Under, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  // A tree of folders zooms where its tab does; a legend does not.
  PopUpItemMenu(Global,
                Zoomable() && dynamic_cast<const TScanTreeModel*>(View->model()) != nullptr);
}

void TResultTab::PopUpItemMenu(const QPoint& Global, bool WithZoom) {
  auto* Menu = Named(new QMenu(this), "pmItems");
  Menu->setAttribute(Qt::WA_DeleteOnClose);
  QList<QAction*> Commands = FHost.ItemCommands();
  if (WithZoom) {
    Commands.append(nullptr);
    Commands.append(FHost.ZoomCommands());
  }
  for (QAction* Command : Commands) {
    if (Command == nullptr) {
      Menu->addSeparator();
    } else {
      Menu->addAction(Command);
    }
  }
  Menu->popup(Global);
}

void TResultTab::MapItemClicked(const TSelectedItem& Item, bool Ctrl) {
  if (Ctrl) {
    FSelection.Toggle(Item, TSelectionOrigin::Map);
  } else {
    FSelection.Replace({Item}, TSelectionOrigin::Map);
  }
  SelectionChanged();
}

void TResultTab::Reorder(const std::function<void()>& Sort) {
  {
    const TShowing Quiet(*this);
    Sort();
  }
  SelectionChanged(false);
}

void TResultTab::SelectionChanged(bool Describe) {
  {
    const TShowing Showing(*this);
    ShowSelection();
  }
  InvalidateMap();
  if (Describe) {
    FHost.SelectionChanged(*this);
  }
}

QString TResultTab::ItemsStatus() const {
  TSelectedData First;
  if (const std::optional<TSelectedItem> Item = FSelection.First()) {
    std::visit([&](const auto* Object) { First = Object; }, *Item);
  }
  return ShownText(ItemSelectionText(First, static_cast<int64_t>(FSelection.Size()),
                                     FResults != nullptr ? FResults->Count : kDefaultSizeCount,
                                     FHost.FormatSettings()));
}

QString TResultTab::LegendStatus(std::string_view Names) const {
  int64_t Bytes = 0;
  int64_t Files = 0;
  for (const TSelectedItem& Item : FSelection.Items()) {
    Bytes = SaturatingAdd(Bytes, ItemSize(Item, FResults->Count));
    const auto* Folder = std::get_if<const TDirNode*>(&Item);
    Files = SaturatingAdd(Files, Folder != nullptr ? (*Folder)->TotalFiles : 1);
  }
  for (const size_t Row : FSelection.Extensions()) {
    Bytes = SaturatingAdd(Bytes, FResults->Extensions[Row].Bytes);
    Files = SaturatingAdd(Files, FResults->Extensions[Row].Files);
  }
  return ShownText(LegendSelectionText(Names, Bytes, Files, FHost.FormatSettings()));
}

bool TResultTab::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == FBottom && Event->type() == QEvent::Resize) {
    AdjustSideListWidth();
  }
  return QWidget::eventFilter(Watched, Event);
}

}  // namespace dunstrel
