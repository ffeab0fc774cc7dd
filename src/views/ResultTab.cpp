#include "views/ResultTab.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

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
  FMapStale = false;
  InvalidateMap();
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
              QModelIndexList Rows = View->selectionModel()->selectedRows(0);
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
            if (KeepsTheRest()) {
              FSelection.ChangeExtensions(TExtLegendModel::ExtensionsOf(RowsOf(Deselected)),
                                          TExtLegendModel::ExtensionsOf(RowsOf(Selected)),
                                          TSelectionOrigin::Legend);
            } else {
              FSelection.ReplaceWithExtensions(
                  TExtLegendModel::ExtensionsOf(View->selectionModel()->selectedRows(0)),
                  TSelectionOrigin::Legend);
            }
            SelectionChanged();
          });
  connect(View, &QAbstractItemView::pressed, this, [this] { FHost.SelectionChanged(*this); });
}

void TResultTab::MapItemClicked(const TSelectedItem& Item, bool Ctrl) {
  if (Ctrl) {
    FSelection.Toggle(Item, TSelectionOrigin::Map);
  } else {
    FSelection.Replace({Item}, TSelectionOrigin::Map);
  }
  SelectionChanged();
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
  return ShownText(
      ItemSelectionText(First, static_cast<int64_t>(FSelection.Size()), FHost.FormatSettings()));
}

QString TResultTab::LegendStatus(std::string_view Names) const {
  int64_t Bytes = 0;
  int64_t Files = 0;
  for (const TSelectedItem& Item : FSelection.Items()) {
    Bytes = SaturatingAdd(Bytes, ItemSize(Item));
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
