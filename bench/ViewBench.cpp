// dunstrel-view-bench [--files N] [--folders N] [--seed N] [--rescans N] [--path DIR]
// Runs the main window's real scan job and result tabs, offscreen, on a synthetic scan: the scan
// walks an in-memory listing of the synthetic tree, builds the results on its thread, and the
// window hands them to the four tabs. With --path, the scan walks the folder DIR on disk
// instead, so that the process holds nothing but the window and its results (the memory figures
// then are the program's own). Prints one JSON line: the pipeline's time from the end of the
// walk (the first text of the results' build) to the summary line, and of its part from the
// hand-over of the results to the summary (the tabs' filling); the longest the event loop went
// without serving a probe timer meanwhile; the relayout and repaint time of each surface at
// 1920 x 700; the time of a click on the largest extension of the two legends of all files until
// every control shows it, with the repaint of the map with those files selected; the time of a
// click on a map cell until its list row is selected; the time of building the results again
// from the same tree in the other count (the disk usage); and the process's resident memory
// before the scan, after the walk, after the pipeline and once every surface has been laid out
// (hidden tabs lay their maps out when first shown); with --rescans N, also after a scan of an
// empty folder made first, after each of N further scans of the same tree, and after the empty
// folder again. Sorting: the file list sorted by each of its columns, and a folder of 100,000
// files (made in memory) opened in a tree and sorted by each of its columns, each until the view
// has painted it; the first showing in the results' order beside them for reference.
// On the synthetic scan, also the results that follow the disk: a folder of about
// 10,000 files walked again through Rescan Folder (the time beyond its own walk, which is timed
// alone), then deleted (its removal from disk answered at once), each until every tab shows the
// next results and the summary is back, and a comparison with a saved scan of the same tree
// until every tab shows the growth, with the longest event-loop stall during each and the
// resident memory the comparison adds.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

#include "MachineReference.h"
#include "SyntheticTree.h"
#include "TreeParts.h"
#include "app/MainForm.h"
#include "app/ShellServices.h"
#include "app/StatusStrip.h"
#include "app/UserDialogs.h"
#include "results/ResultsBuilder.h"
#include "scan/DiskScanner.h"
#include "views/FilesInFoldersView.h"
#include "views/FilesView.h"
#include "views/ResultTab.h"
#include "views/ScanTreeModel.h"
#include "views/SortableList.h"

namespace dunstrel::bench {
namespace {

int64_t ResidentBytes() {
  std::ifstream Statm("/proc/self/statm");
  int64_t Size = 0;
  int64_t Resident = 0;
  Statm >> Size >> Resident;
  return Resident * 4096;
}

// The synthetic tree below Root as directory listings: its index of folders by path is made once,
// before anything is measured, as the bench's own data beside the tree it describes.
class TSyntheticListing {
 public:
  TSyntheticListing(const TSyntheticTree& Tree, const std::string& Root) : FTree(Tree) {
    FFilesOf.resize(Tree.FolderPaths.size());
    FFoldersOf.resize(Tree.FolderPaths.size());
    for (size_t I = 0; I < Tree.FolderPaths.size(); ++I) {
      const std::string Path =
          Tree.FolderPaths[I].empty() ? Root : Root + "/" + Tree.FolderPaths[I];
      FFolderOfPath.emplace(Path, I);
      if (I > 0) {
        FFoldersOf[Tree.FolderParents[I]].push_back(I);
      }
    }
    for (size_t I = 0; I < Tree.Files.size(); ++I) {
      FFilesOf[Tree.Files[I].Folder].push_back(I);
    }
  }

  bool List(const std::string& Folder, platform::TDirListing& Out) const {
    Out.Clear();
    std::string Path = Folder;
    while (Path.size() > 1 && Path.back() == '/') {
      Path.pop_back();
    }
    const auto Found = FFolderOfPath.find(Path);
    if (Found == FFolderOfPath.end()) {
      return false;
    }
    for (const size_t Sub : FFoldersOf[Found->second]) {
      const std::string& SubPath = FTree.FolderPaths[Sub];
      Out.Add(std::string_view(SubPath).substr(SubPath.rfind('/') + 1), true, false, 0, 0);
    }
    for (const size_t File : FFilesOf[Found->second]) {
      const TSyntheticFile& Entry = FTree.Files[File];
      Out.Add(Entry.Name, false, false, Entry.Size, Entry.Stamp);
    }
    return true;
  }

 private:
  const TSyntheticTree& FTree;
  std::unordered_map<std::string, size_t> FFolderOfPath;
  std::vector<std::vector<size_t>> FFoldersOf;
  std::vector<std::vector<size_t>> FFilesOf;
};

// One walk's lister over the shared listing.
class TSyntheticLister final : public platform::IDirectoryLister {
 public:
  explicit TSyntheticLister(const TSyntheticListing& Listing) : FListing(Listing) {}

  bool List(const std::string& Folder, platform::TDirListing& Out) override {
    return FListing.List(Folder, Out);
  }

 private:
  const TSyntheticListing& FListing;
};

// Answers Yes, and names File for saving and opening.
class TSilentDialogs final : public IUserDialogs {
 public:
  void ShowError(QWidget*, const QString& Text) override {
    std::fprintf(stderr, "error: %s\n", Text.toUtf8().constData());
  }
  void ShowInformation(QWidget*, const QString&) override {}
  bool AskYesNo(QWidget*, const QString&, bool) override { return true; }
  std::optional<QString> PickFolder(QWidget*, const QString&, const QString&) override {
    return std::nullopt;
  }
  std::optional<QString> PickSaveFile(QWidget*, const QString&, const QString&) override {
    return File;
  }
  std::optional<QString> PickOpenFile(QWidget*, const QString&, const QString&) override {
    return File;
  }

  QString File;
};

// The desktop's services, but a removal of the synthetic tree's items succeeds at once.
class TBenchShell final : public IShellServices {
 public:
  void OpenPath(const std::string& Path) override { FDesktop->OpenPath(Path); }
  void OpenAddress(const QUrl& Address) override { FDesktop->OpenAddress(Address); }
  bool ShowInFolder(const std::string& Path) override { return FDesktop->ShowInFolder(Path); }
  void ShowProperties(const std::string& Path, QWidget* Owner) override {
    FDesktop->ShowProperties(Path, Owner);
  }
  std::vector<TRemovalFailure> DeletePaths(const std::vector<std::string>&, bool) override {
    return {};
  }
  void SetClipboardText(const QString& Text) override { FDesktop->SetClipboardText(Text); }
  QIcon SmallIcon(const std::string& Path, bool IsFolder) override {
    return FDesktop->SmallIcon(Path, IsFolder);
  }

 private:
  const std::unique_ptr<IShellServices> FDesktop = CreateDesktopShellServices({});
};

// The folder whose files number nearest to Wanted.
const TDirNode* FolderOfAbout(const TDirNode& Root, int64_t Wanted) {
  const TDirNode* Best = nullptr;
  std::vector<const TDirNode*> Pending{&Root};
  while (!Pending.empty()) {
    const TDirNode* Folder = Pending.back();
    Pending.pop_back();
    if (Folder != &Root && (Best == nullptr || std::llabs(Folder->TotalFiles - Wanted) <
                                                   std::llabs(Best->TotalFiles - Wanted))) {
      Best = Folder;
    }
    for (const auto& Child : Folder->Children) {
      Pending.push_back(Child.get());
    }
  }
  return Best;
}

template <typename TWidget>
TWidget* Find(QWidget* Window, const char* Name) {
  return Window->findChild<TWidget*>(QLatin1String(Name));
}

// What a tree of a scan asks of its window, for a tree on its own.
class TBareHost final : public IViewHost {
 public:
  const TFormatSettings& FormatSettings() const override { return FSettings; }
  void SetStatus(const QString&) override {}
  void ShowProgress(int, int) override {}
  void SelectionChanged(const TResultTab&) override {}
  QIcon SmallIcon(const std::string&, bool) override { return {}; }
  void ShowInFolder(const std::string&) override {}
  void OpenFolder(const std::string&) override {}
  QList<QAction*> ItemCommands() override { return {}; }
  QList<QAction*> ZoomCommands() override { return {}; }

 private:
  TFormatSettings FSettings;
};

double Milliseconds(const QElapsedTimer& Timer);

// The processor time of this thread: on a machine shared with other work, the figure beside the
// wall clock's that the sharing does not inflate.
double ThreadCpuMilliseconds() {
  timespec Now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &Now);
  return static_cast<double>(Now.tv_sec) * 1e3 + static_cast<double>(Now.tv_nsec) / 1e6;
}

// A folder of this many files in a tree view, sorted by each column in turn until the view has
// painted it; the first showing in the results' order first.
std::string SortLargeFolder(size_t Count) {
  TDirNode Root("/bench");
  for (size_t I = 0; I < Count; ++I) {
    const std::string Name = "file" + std::to_string((I * 7919) % Count) + ".dat";
    Root.AddLeaf(Name, ".dat", static_cast<int64_t>((I * 104729) % 1000003),
                 static_cast<platform::TFileStamp>(132000000000000000ULL + I * 10000000ULL));
  }
  TBareHost Host;
  QTreeView Tree;
  TScanTreeModel Rows(Host, TScanTreeModel::TContent::RootFoldersAndFiles, nullptr);
  Tree.setModel(&Rows);
  Tree.setUniformRowHeights(true);
  Tree.resize(800, 600);
  Tree.show();
  MakeSortable(&Tree, [&](const TSortChoice& Choice) { Rows.Sort(Choice); });
  Rows.SetRoot(&Root, TSizeCount::ApparentSize);
  QElapsedTimer Timer;
  Timer.start();
  Rows.fetchMore(Rows.index(0, 0, {}));
  Tree.expand(Rows.index(0, 0, {}));
  // The view lays its rows out when the event loop comes round.
  QApplication::processEvents();
  Tree.repaint();
  char Figure[96];
  std::snprintf(Figure, sizeof Figure, "\"open_ms\":%.1f", Milliseconds(Timer));
  std::string Figures = Figure;
  for (int Column = 0; Column < Rows.columnCount({}); ++Column) {
    Timer.restart();
    const double Cpu = ThreadCpuMilliseconds();
    SetSortChoice(&Tree, {Column, Qt::AscendingOrder});
    QApplication::processEvents();
    Tree.repaint();
    std::snprintf(Figure, sizeof Figure, ",\"column_%d_ms\":%.1f,\"column_%d_cpu_ms\":%.1f", Column,
                  Milliseconds(Timer), Column, ThreadCpuMilliseconds() - Cpu);
    Figures += Figure;
  }
  // The order of the names alone, without the view.
  Timer.restart();
  OrderByNames(
      Root.Leaves.size(), [&](size_t Place) { return Root.Leaves[Place]->Name(); },
      Qt::AscendingOrder);
  std::snprintf(Figure, sizeof Figure, ",\"names_alone_ms\":%.1f", Milliseconds(Timer));
  Figures += Figure;
  // The first row after the last sort, so that a sort that did nothing shows.
  Figures += ",\"first_row\":\"" +
             Rows.index(0, 0, Rows.index(0, 0, {})).data().toString().toStdString() + "\"";
  return Figures;
}

double Milliseconds(const QElapsedTimer& Timer) {
  return static_cast<double>(Timer.nsecsElapsed()) / 1e6;
}

int Run(int Argc, char** Argv) {
  TSyntheticTreeShape Shape;
  int Rescans = 0;
  std::string DiskPath;
  for (int I = 1; I + 1 < Argc; I += 2) {
    const std::string Flag = Argv[I];
    const int64_t Value = std::atoll(Argv[I + 1]);
    if (Flag == "--path") {
      DiskPath = Argv[I + 1];
    } else if (Flag == "--files") {
      Shape.Files = Value;
    } else if (Flag == "--folders") {
      Shape.Folders = Value;
    } else if (Flag == "--seed") {
      Shape.Seed = static_cast<uint64_t>(Value);
    } else if (Flag == "--rescans") {
      Rescans = static_cast<int>(std::max<int64_t>(Value, 0));
    } else {
      std::fprintf(stderr,
                   "usage: dunstrel-view-bench [--files N] [--folders N] [--seed N] "
                   "[--rescans N] [--path DIR]\n");
      return 2;
    }
  }
  const TSyntheticTree Tree = DiskPath.empty() ? GenerateSyntheticTree(Shape) : TSyntheticTree();
  QTemporaryDir Root;
  const QString ScannedPath = DiskPath.empty() ? Root.path() : QString::fromStdString(DiskPath);
  const std::string RootPath = Root.path().toStdString();
  const std::optional<TSyntheticListing> Listing =
      DiskPath.empty() ? std::make_optional<TSyntheticListing>(Tree, RootPath) : std::nullopt;

  TSilentDialogs Dialogs;
  TBenchShell Shell;
  // The user's own settings (filters, the tab shown) must not change what is measured.
  const QTemporaryDir SettingsFolder;
  QSettings Settings(SettingsFolder.filePath(QStringLiteral("settings.conf")),
                     QSettings::IniFormat);
  TMainWindowServices Services;
  Services.Dialogs = &Dialogs;
  Services.Shell = &Shell;
  Services.Settings = &Settings;
  if (DiskPath.empty()) {
    Services.CreateLister = [&] { return std::make_unique<TSyntheticLister>(*Listing); };
  }
  TfrmMain Window(std::move(Services));
  Window.setWindowState(Qt::WindowNoState);
  Window.resize(1920, 1200);
  Window.show();
  QApplication::processEvents();
  // The figures are of the apparent sizes, which every tree has (the synthetic tree on disk is
  // sparse: in the disk usage its files take nothing, and its maps stay empty).
  Find<QAction>(&Window, "ApparentSize1")->trigger();

  Find<QAbstractButton>(&Window, "rbCustomPath")->click();
  // A scan of an empty folder (which the synthetic listing cannot read, so that it comes out
  // empty): the window's memory once everything a scan touches the first time is in place.
  const QTemporaryDir Empty;
  const auto ScanEmpty = [&] {
    Find<QComboBox>(&Window, "cmbCustomPath")->setEditText(Empty.path());
    Find<QAbstractButton>(&Window, "btnScan")->click();
    while (!Find<QAbstractButton>(&Window, "btnScan")->isEnabled()) {
      QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return ResidentBytes();
  };
  const int64_t ResidentAfterFirstEmpty = Rescans > 0 ? ScanEmpty() : 0;

  QElapsedTimer Clock;
  Clock.start();
  int64_t PipelineStart = -1;
  int64_t FillStart = -1;
  int64_t PipelineEnd = -1;
  int64_t LastTick = -1;
  int64_t LongestStall = 0;
  int64_t ResidentAfterWalk = 0;
  std::string Failure;
  // The status texts mark where the pipeline starts, where the results are handed to the tabs
  // and where it ends.
  QObject::connect(
      Find<TStatusStrip>(&Window, "panStatus"), &TStatusStrip::TextShown, [&](const QString& Text) {
        const int64_t Now = Clock.nsecsElapsed();
        if (PipelineStart < 0 && Text == QLatin1String("Building file list...")) {
          PipelineStart = Now;
          LastTick = Now;
          ResidentAfterWalk = ResidentBytes();
        } else if (FillStart < 0 && Text == QLatin1String("Populating Largest Files UI...")) {
          FillStart = Now;
        } else if (PipelineStart >= 0 && PipelineEnd < 0 &&
                   Text.startsWith(QLatin1String("Done."))) {
          PipelineEnd = Now;
        } else if (Text == QLatin1String("Ready") && PipelineStart < 0) {
          Failure = "the scan ended without results";
        }
      });
  // A timer of one millisecond fires whenever the event loop runs and a millisecond has passed,
  // so the gaps between its ticks are the interface's stalls. (One of no interval would keep a
  // core busy that the results' build on its thread needs.)
  QTimer Probe;
  Probe.setTimerType(Qt::PreciseTimer);
  Probe.setInterval(1);
  QObject::connect(&Probe, &QTimer::timeout, [&] {
    const int64_t Now = Clock.nsecsElapsed();
    if (PipelineStart >= 0 && PipelineEnd < 0) {
      LongestStall = std::max(LongestStall, Now - LastTick);
    }
    LastTick = Now;
  });
  Probe.start();

  const int64_t ResidentBefore = ResidentBytes();
  Find<QComboBox>(&Window, "cmbCustomPath")->setEditText(ScannedPath);
  Find<QAbstractButton>(&Window, "btnScan")->click();
  while (PipelineEnd < 0) {
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (!Failure.empty()) {
      std::fprintf(stderr, "%s\n", Failure.c_str());
      return 1;
    }
  }
  Probe.stop();
  const int64_t ResidentAfterPipeline = ResidentBytes();
  const long long Files = Window.ScanRoot()->TotalFiles;
  const long long Folders = Window.ScanRoot()->TotalDirs;
  const TTreeParts Parts = TreePartsOf(*Window.ScanRoot());

  std::string Surfaces;
  for (const char* Page : {"TabSheet3", "TabSheet1", "TabSheet2", "TabSheetDuplicates"}) {
    auto* View = dynamic_cast<TResultTab*>(Find<QWidget>(&Window, Page));
    Find<QTabWidget>(&Window, "PageControl1")->setCurrentWidget(View);
    QApplication::processEvents();
    QElapsedTimer Timer;
    Timer.start();
    View->RebuildMap();
    const double Relayout = Milliseconds(Timer);
    Timer.restart();
    View->Surface()->repaint();
    const double Repaint = Milliseconds(Timer);
    char Line[200];
    std::snprintf(Line, sizeof Line,
                  "%s\"%s\":{\"width\":%d,\"height\":%d,\"relayout_ms\":%.1f,\"repaint_ms\":%.1f}",
                  Surfaces.empty() ? "" : ",", View->Surface()->objectName().toUtf8().constData(),
                  View->Surface()->width(), View->Surface()->height(), Relayout, Repaint);
    Surfaces += Line;
  }
  const int64_t ResidentAfterSurfaces = ResidentBytes();

  // The largest extension chosen in the legend of the two maps of all files: the time from the
  // click until the list, the legend and the map show it, and the map's repaint with it selected
  // beside the plain repaint above.
  std::string LegendPicks;
  for (const char* Page : {"TabSheet1", "TabSheet3"}) {
    auto* View = dynamic_cast<TResultTab*>(Find<QWidget>(&Window, Page));
    Find<QTabWidget>(&Window, "PageControl1")->setCurrentWidget(View);
    QApplication::processEvents();
    QTreeView* Legend = Page == std::string("TabSheet1")
                            ? dynamic_cast<TFilesView*>(View)->ExtList()
                            : dynamic_cast<TFilesInFoldersView*>(View)->Legend();
    const QModelIndex Largest = Legend->model()->index(0, 0);
    QElapsedTimer Timer;
    Timer.start();
    QTest::mouseClick(Legend->viewport(), Qt::LeftButton, Qt::NoModifier,
                      Legend->visualRect(Largest).center());
    const double Pick = Milliseconds(Timer);
    Timer.restart();
    View->Surface()->repaint();
    const double Repaint = Milliseconds(Timer);
    char Line[200];
    std::snprintf(Line, sizeof Line,
                  "%s\"%s\":{\"selected\":%zu,\"pick_ms\":%.1f,\"repaint_selected_ms\":%.1f}",
                  LegendPicks.empty() ? "" : ",",
                  View->Surface()->objectName().toUtf8().constData(), View->Selection().Size(),
                  Pick, Repaint);
    LegendPicks += Line;
  }

  // Clicks on the flat map, each until its row of the file list is selected: first on the cell
  // of the last listed file, which the hit test reaches last, then on the second cell.
  auto* FilesView = dynamic_cast<TFilesView*>(Find<QWidget>(&Window, "TabSheet1"));
  Find<QTabWidget>(&Window, "PageControl1")->setCurrentWidget(FilesView);
  QApplication::processEvents();
  double FirstSelect = 0;
  double LaterSelect = 0;
  const auto CentreOf = [](const TFlatMapItem& Cell) {
    return TPoint{(Cell.Rect.Left + Cell.Rect.Right) / 2, (Cell.Rect.Top + Cell.Rect.Bottom) / 2};
  };
  // Cells of a pixel may lie under others: take the last listed file whose cell is its own (the
  // map makes cells only for the files that show, which may be fewer than the list holds).
  const std::vector<TFlatMapItem>& Cells = FilesView->Map().Items();
  if (Cells.size() < 2) {
    std::fprintf(stderr, "the map of all files shows fewer than two cells\n");
    return 1;
  }
  size_t LastListed =
      std::min(Cells.size(), static_cast<size_t>(FilesView->FilesList()->topLevelItemCount())) - 1;
  while (LastListed > 1 &&
         FilesView->Map().HitTest(CentreOf(Cells[LastListed])) != &Cells[LastListed]) {
    --LastListed;
  }
  for (int Click = 0; Click < 2; ++Click) {
    const TPoint At = CentreOf(Cells[Click == 0 ? LastListed : 1]);
    QElapsedTimer Timer;
    Timer.start();
    QTest::mouseClick(FilesView->Surface(), Qt::LeftButton, Qt::NoModifier, QPoint(At.X, At.Y));
    (Click == 0 ? FirstSelect : LaterSelect) = Milliseconds(Timer);
    if (FilesView->FilesList()->selectedItems().size() != 1) {
      std::fprintf(stderr, "the click selected no row\n");
      return 1;
    }
  }

  // The file list, and the duplicates' tree (its groups and the files of each), sorted by each of
  // their columns, the order shown and painted.
  const auto SortEachColumn = [](QTreeWidget* List) {
    std::string Sorts;
    for (int Column = 0; Column < List->columnCount(); ++Column) {
      if (List->isColumnHidden(Column)) {
        continue;
      }
      QElapsedTimer Timer;
      Timer.start();
      const double Cpu = ThreadCpuMilliseconds();
      SetSortChoice(List, {Column, Qt::AscendingOrder});
      List->repaint();
      char Figure[96];
      std::snprintf(Figure, sizeof Figure, "%s\"column_%d_ms\":%.1f,\"column_%d_cpu_ms\":%.1f",
                    Sorts.empty() ? "" : ",", Column, Milliseconds(Timer), Column,
                    ThreadCpuMilliseconds() - Cpu);
      Sorts += Figure;
    }
    SetSortChoice(List, {});
    return Sorts;
  };
  QTreeWidget* FileList = FilesView->FilesList();
  const std::string ListSorts = SortEachColumn(FileList);
  auto* DupTree = Find<QTreeWidget>(&Window, "tvDuplicateFiles");
  Find<QTabWidget>(&Window, "PageControl1")
      ->setCurrentWidget(Find<QWidget>(&Window, "TabSheetDuplicates"));
  QApplication::processEvents();
  const std::string DupSorts = SortEachColumn(DupTree);
  const std::string FolderSorts = SortLargeFolder(100000);

  // The results built again from the same tree in the other count, as a switch of the count
  // does: the tree taken back from results nobody else holds, then one more build.
  double Recount = 0;
  std::string BuildSteps;
  if (DiskPath.empty()) {
    // The time from each announced step to the next, for the build on its own.
    QElapsedTimer StepClock;
    std::string Step;
    const auto EndStep = [&] {
      if (!Step.empty()) {
        char Figure[120];
        std::snprintf(Figure, sizeof Figure, "%s\"%s\":%.1f", BuildSteps.empty() ? "" : ",",
                      Step.c_str(), Milliseconds(StepClock));
        BuildSteps += Figure;
      }
    };
    std::unique_ptr<TDirNode> Fresh = BuildScanTree(Tree, RootPath);
    StepClock.start();
    std::shared_ptr<const TScanResults> First =
        BuildScanResults(std::move(Fresh), TSizeCount::ApparentSize, TScanContext{}, {},
                         [&](const TBuildStatus& Status) {
                           if (Status.Maximum == 0 && Status.Text.ends_with("...")) {
                             EndStep();
                             Step = Status.Text;
                             StepClock.restart();
                           }
                         });
    EndStep();
    QElapsedTimer Timer;
    Timer.start();
    std::unique_ptr<TDirNode> Back = TakeTreeBack(std::move(First));
    const std::shared_ptr<const TScanResults> Again =
        BuildScanResults(std::move(Back), TSizeCount::DiskUsage, TScanContext{}, {});
    Recount = Milliseconds(Timer);
  }

  // The results following the disk, each timed from the command until every tab shows the next
  // results (the summary is back), with the longest gap between the probe's ticks meanwhile.
  std::string Follow;
  if (DiskPath.empty()) {
    int64_t Since = -1;
    int64_t Stall = 0;
    QObject::disconnect(&Probe, nullptr, nullptr, nullptr);
    QObject::connect(&Probe, &QTimer::timeout, [&] {
      const int64_t Now = Clock.nsecsElapsed();
      Stall = std::max(Stall, Now - Since);
      Since = Now;
    });
    // Ends once the status line shows the ending anew after the command.
    bool Ended = false;
    QString Ending;
    QObject::connect(Find<TStatusStrip>(&Window, "panStatus"), &TStatusStrip::TextShown,
                     [&](const QString& Text) { Ended = Ended || Text.contains(Ending); });
    const auto Follows = [&](const std::function<void()>& Command, const QString& EndsWith,
                             double& Stalled) {
      Probe.start();
      Since = Clock.nsecsElapsed();
      Stall = 0;
      Ended = false;
      Ending = EndsWith;
      QElapsedTimer Timer;
      Timer.start();
      Command();
      while (!(Ended && Find<QAbstractButton>(&Window, "btnScan")->isEnabled())) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
      }
      const double Ms = Milliseconds(Timer);
      Probe.stop();
      Stalled = static_cast<double>(Stall) / 1e6;
      return Ms;
    };
    // The folder chosen in the folders tab, as a click on its row would.
    auto* FoldersPage = dynamic_cast<TResultTab*>(Find<QWidget>(&Window, "TabSheet2"));
    Find<QTabWidget>(&Window, "PageControl1")->setCurrentWidget(FoldersPage);
    QApplication::processEvents();
    auto* FolderTree = Find<QTreeView>(&Window, "tvFolders");
    const auto Choose = [&](const TDirNode* Folder) {
      const QModelIndex Row =
          dynamic_cast<TScanTreeModel*>(FolderTree->model())->IndexOfFolder(Folder);
      FolderTree->selectionModel()->select(
          Row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    };
    const TDirNode* Chosen = FolderOfAbout(*Window.ScanRoot(), 10000);
    const long long ChosenFiles = Chosen->TotalFiles;
    const std::string ChosenPath = Chosen->FullPath();
    // Its walk alone, on a lister made as the window makes one.
    const TScanContext WalkSettings;
    QElapsedTimer WalkTimer;
    WalkTimer.start();
    TSyntheticLister Lister(*Listing);
    const TRescanWalk Walk = TDiskScanner(WalkSettings, &Lister).Rescan(*Chosen);
    const double WalkMs = Milliseconds(WalkTimer);
    Choose(Chosen);
    double RescanStall = 0;
    const double RescanMs = Follows([&] { Find<QAction>(&Window, "RescanFolder1")->trigger(); },
                                    QStringLiteral("Done."), RescanStall);
    // The same folder, walked again, now deleted.
    Chosen = nullptr;
    for (const TDirNode* Folder = Window.ScanRoot(); Folder != nullptr && Chosen == nullptr;) {
      const TDirNode* Next = nullptr;
      for (const auto& Child : Folder->Children) {
        const std::string Path = Child->FullPath();
        if (Path == ChosenPath) {
          Chosen = Child.get();
        } else if (ChosenPath.starts_with(Path + "/")) {
          Next = Child.get();
        }
      }
      Folder = Next;
    }
    Choose(Chosen);
    double PruneStall = 0;
    const double PruneMs = Follows([&] { Find<QAction>(&Window, "RemoveCompletely1")->trigger(); },
                                   QStringLiteral("Done."), PruneStall);
    // A comparison with a saved scan of the tree as it is now.
    Dialogs.File = QTemporaryDir().path() + QStringLiteral(".json");
    Find<QAction>(&Window, "SaveScanAs1")->trigger();
    const int64_t ResidentBeforeCompare = ResidentBytes();
    double CompareStall = 0;
    const double CompareMs =
        Follows([&] { Find<QAction>(&Window, "CompareWithSavedScan1")->trigger(); },
                QStringLiteral("Compared with"), CompareStall);
    const int64_t ResidentAfterCompare = ResidentBytes();
    std::remove(Dialogs.File.toUtf8().constData());
    // The same removal in the disk usage, where the duplicates are grouped again from the files
    // in that count; then back to the apparent size.
    Find<QAction>(&Window, "EndComparison1")->trigger();
    double Unused = 0;
    Follows([&] { Find<QAction>(&Window, "DiskUsage1")->trigger(); }, QStringLiteral("Done."),
            Unused);
    Choose(FolderOfAbout(*Window.ScanRoot(), 10000));
    double DiskUsagePruneStall = 0;
    const double DiskUsagePruneMs =
        Follows([&] { Find<QAction>(&Window, "RemoveCompletely1")->trigger(); },
                QStringLiteral("Done."), DiskUsagePruneStall);
    Follows([&] { Find<QAction>(&Window, "ApparentSize1")->trigger(); }, QStringLiteral("Done."),
            Unused);
    char Figures[800];
    std::snprintf(Figures, sizeof Figures,
                  "\"follow\":{\"folder_files\":%lld,\"rescan_walk_ms\":%.1f,\"rescan_ms\":%.1f,"
                  "\"rescan_extra_ms\":%.1f,\"rescan_longest_stall_ms\":%.1f,\"prune_ms\":%.1f,"
                  "\"prune_longest_stall_ms\":%.1f,\"disk_usage_prune_ms\":%.1f,"
                  "\"disk_usage_prune_longest_stall_ms\":%.1f,\"compare_ms\":%.1f,"
                  "\"compare_longest_stall_ms\":%.1f,\"compare_rss_bytes_per_entry\":%.1f,"
                  "\"targets\":{\"prune_ms\":150,\"rescan_extra_ms\":150,\"stall_ms\":50,"
                  "\"compare_ms\":2000,\"compare_bytes_per_entry\":40}},",
                  ChosenFiles, WalkMs, RescanMs, RescanMs - WalkMs, RescanStall, PruneMs,
                  PruneStall, DiskUsagePruneMs, DiskUsagePruneStall, CompareMs, CompareStall,
                  static_cast<double>(ResidentAfterCompare - ResidentBeforeCompare) /
                      static_cast<double>(std::max<int64_t>(
                          Window.ScanRoot()->TotalFiles + Window.ScanRoot()->TotalDirs, 1)));
    Follow = Figures;
    (void)Walk;
  }

  // Memory over further scans: the same tree again and again, then the empty folder.
  std::string Rescanned;
  int64_t ResidentAfterEmpty = 0;
  if (Rescans > 0) {
    for (int Scan = 0; Scan < Rescans; ++Scan) {
      Find<QComboBox>(&Window, "cmbCustomPath")->setEditText(ScannedPath);
      Find<QAbstractButton>(&Window, "btnScan")->click();
      while (!Find<QAbstractButton>(&Window, "btnScan")->isEnabled()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
      }
      char Figure[32];
      std::snprintf(Figure, sizeof Figure, "%s%.1f", Rescanned.empty() ? "" : ",",
                    static_cast<double>(ResidentBytes()) / 1048576.0);
      Rescanned += Figure;
    }
    ResidentAfterEmpty = ScanEmpty();
  }

  const auto Entries = static_cast<double>(std::max(Files + Folders, 1LL));
  const auto PerEntry = [&](int64_t Resident) {
    return static_cast<double>(Resident - ResidentBefore) / Entries;
  };
  std::printf(
      "{\"files\":%lld,\"folders\":%lld,\"pipeline_seconds\":%.3f,\"fill_seconds\":%.3f,"
      "\"longest_event_loop_stall_ms\":%.1f,\"surfaces\":{%s},\"legend_picks\":{%s},"
      "\"select_ms\":%.1f,\"later_select_ms\":%.1f,\"build_steps_ms\":{%s},"
      "\"recount_ms\":%.1f,\"list_rows\":%d,\"list_sort\":{%s},"
      "\"dup_groups\":%d,\"dup_tree_sort\":{%s},\"folder_of_100000_files_sort\":{%s},%s"
      "\"rss_before_mb\":%.1f,\"rss_after_walk_mb\":%.1f,"
      "\"rss_after_pipeline_mb\":%.1f,\"rss_after_surfaces_mb\":%.1f,"
      "\"tree_bytes_per_entry\":%.1f,\"tree_parts_bytes_per_entry\":{\"leaves_with_names\":%.1f,"
      "\"leaf_lists\":%.1f,\"folder_lists\":%.1f,\"folders\":%.1f},"
      "\"bytes_per_entry_after_pipeline\":%.1f,"
      "\"bytes_per_entry_after_surfaces\":%.1f,\"rss_after_rescans_mb\":[%s],"
      "\"rss_after_first_empty_scan_mb\":%.1f,\"rss_after_empty_scan_mb\":%.1f,"
      "\"machine_ref_ms\":%.1f}\n",
      Files, Folders, static_cast<double>(PipelineEnd - PipelineStart) / 1e9,
      static_cast<double>(PipelineEnd - FillStart) / 1e9, static_cast<double>(LongestStall) / 1e6,
      Surfaces.c_str(), LegendPicks.c_str(), FirstSelect, LaterSelect, BuildSteps.c_str(), Recount,
      FileList->topLevelItemCount(), ListSorts.c_str(), DupTree->topLevelItemCount(),
      DupSorts.c_str(), FolderSorts.c_str(), Follow.c_str(),
      static_cast<double>(ResidentBefore) / 1048576.0,
      static_cast<double>(ResidentAfterWalk) / 1048576.0,
      static_cast<double>(ResidentAfterPipeline) / 1048576.0,
      static_cast<double>(ResidentAfterSurfaces) / 1048576.0, PerEntry(ResidentAfterWalk),
      Parts.Leaves, Parts.LeafLists, Parts.ChildLists, Parts.Folders,
      PerEntry(ResidentAfterPipeline), PerEntry(ResidentAfterSurfaces), Rescanned.c_str(),
      static_cast<double>(ResidentAfterFirstEmpty) / 1048576.0,
      static_cast<double>(ResidentAfterEmpty) / 1048576.0, MachineReferenceMs());
  return 0;
}

}  // namespace
}  // namespace dunstrel::bench

int main(int Argc, char** Argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication Application(Argc, Argv);
  return dunstrel::bench::Run(Argc, Argv);
}
