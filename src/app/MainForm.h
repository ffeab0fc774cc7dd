#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/SourcePanel.h"
#include "localisation/TextFormat.h"
#include "platform/DirectoryLister.h"
#include "platform/Volumes.h"
#include "results/BaselineComparison.h"
#include "results/NextResults.h"
#include "results/ScanJob.h"
#include "results/ScanResults.h"
#include "views/TabSelection.h"
#include "views/ViewHost.h"

class QAction;
class QSettings;
class QTabWidget;

namespace dunstrel {

class IShellServices;
class IUserDialogs;
class TDuplicatesView;
class TFileCommands;
class TFilesInFoldersView;
class TFilesView;
class TFilterPanel;
class TFoldersView;
class TCompareRun;
class TRemovalRun;
class TRescanRun;
class TResultTab;
class TScanRun;
class TStatusStrip;
class TToolbar;
class TTopPanel;
struct TMainMenu;

using TDirectoryListerFactory = std::function<std::unique_ptr<platform::IDirectoryLister>()>;

// What the main window asks of the world around it. An empty entry means the real one; tests
// hand in their own.
struct TMainWindowServices {
  IUserDialogs* Dialogs = nullptr;
  IShellServices* Shell = nullptr;
  const platform::IVolumes* Volumes = nullptr;
  // Called on the interface thread once per scan; the scan job owns the listing it returns.
  TDirectoryListerFactory CreateLister;
  // The user's regional settings when not given.
  std::optional<TFormatSettings> FormatSettings;
  // Where the window keeps what it remembers between runs; the user's own settings when not
  // given.
  QSettings* Settings = nullptr;
};

// The main window: a frame of menus, toolbar, source and filter boxes, the four result tabs and
// the status strip. It starts the scan jobs, hands their finished results to the tabs one after
// another, and keeps the results shown until the next job.
class TfrmMain : public QMainWindow, private IViewHost {
  Q_OBJECT

 public:
  explicit TfrmMain(TMainWindowServices Services = {}, QWidget* Parent = nullptr);
  ~TfrmMain() override;

  // How sizes are counted in the results shown and in the next ones.
  TSizeCount Count() const { return FCount; }
  // Counts the sizes this way from now on: the results shown are built again from their tree
  // in this count (no new scan) and handed to the tabs, each keeping what it can of its
  // selection.
  void ChooseCount(TSizeCount Count);

  // The results shown, and their tree; none before the first scan and after a stopped one.
  const TScanResults* Results() const { return FResults.get(); }
  const TDirNode* ScanRoot() const { return FResults != nullptr ? FResults->Root.get() : nullptr; }

  // Chooses "Path:" with this folder (its own bytes) and starts a scan of it, as the Scan
  // button would.
  void ScanFolder(const std::string& Path);
  // Reads a saved scan (its own bytes) on a pool thread and shows it as if just scanned; the
  // results shown stay until it has been read.
  void OpenScanFile(const std::string& Path);
  // Compares the next results a scan or an opened scan shows with this saved scan (its own
  // bytes), once every tab shows them.
  void CompareOnceShown(const std::string& SavedScan) { FCompareOnceShown = SavedScan; }
  // False while the results are a saved scan whose folders this machine does not have.
  bool FileCommandsAllowed() const;
  // The paths of the shown tab's selected items, as the file commands take them.
  std::vector<std::string> GetSelectedPaths() const;

 protected:
  void closeEvent(QCloseEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;

 private:
  // The controls, their placement and their wiring.
  void BuildFrame();
  QTabWidget* BuildPages();
  void ConnectHandlers();
  // Grows the fixed boxes to their captions and sets the window's least size.
  void FitFrameToText();

  // What the window keeps between runs: read once it is built, written as it closes.
  void RestoreSettings();
  void StoreSettings() const;
  // The window's title: the program, after what it shows when that is a saved scan.
  void ShowCaption(const QString& Shown = {});

  // Languages: one menu item per column of the translation table; every fixed text of the
  // window set again in the current language.
  void BuildLanguageMenu();
  void ChooseLanguage(QAction* Item);
  void ApplyTranslation();

  // The four tabs in page order, and the one shown.
  std::vector<TResultTab*> Tabs() const;
  TResultTab* ShownTab() const;
  void TabChanged();
  void ShowPage(int Index);

  // Window commands.
  void ToggleToolbar();
  // Checks the count's item in the View menu.
  void ShowCount();
  void ShowAbout();
  void OpenSitePage(const char* Page);

  // Scanning and showing the results.
  void StartScan();
  void StartWalk(TScanSource Source, std::shared_ptr<TScanContext> Context);
  void StopScan();
  // SavedScan names the file of a saved scan.
  void StartJob(std::unique_ptr<IScanSource> Source, std::shared_ptr<TScanContext> Context,
                std::optional<std::string> SavedScan);
  void JobEnded(const TScanOutcome& Outcome);
  // Hands the results to the next tab in the order they are announced; the summary after the
  // last.
  void FillNextTab();
  void EndInCancelled();
  // Builds the results shown again in the chosen count, from their own tree.
  void Recount();
  // Gives each tab back the items of its selection kept over a recount.
  void RestoreKeptSelections();
  void SetScanningState(bool Scanning);
  void ClearResults();
  void SaveScanAs();
  void OpenScan();

  // Results that follow the disk (MainFormChange.cpp): the items a removal took away leave the
  // results; the next results go to every tab at once, each keeping what it can of its state.
  void ItemsRemoved(const std::vector<TSelectedItem>& Items, bool ToTrash);
  void RemovalPrepared();
  void ShowNextResults(TResultsChange Change);
  // The folders that left the tree, released in the order they left once the results that
  // still pointed into them are gone; all of them before the tree goes.
  void ReleaseDetached(bool All);
  // The status line's summary of the results shown, and any note after it.
  void ShowSummary();
  // Walks again the folder selected in the tab shown (a selected file's folder), or with
  // FolderOnly false and nothing selected (or the top), the whole source as it was scanned.
  void Rescan(bool FolderOnly);
  void RescanEnded();
  // Rescan and comparison commands, as the results and what runs allow.
  void EnableResultCommands();
  // Comparing with a saved scan (MainFormCompare.cpp): the growth is shown once every tab shows
  // the results compared; a change of them compares them again.
  void CompareWithSavedScan();
  void StartComparison(const std::string& SavedScan);
  void ComparisonEnded();
  void ShowComparison();
  void EndComparison();
  // Names the saved scan shown, in the title and the status line, and its top folder in the
  // source box.
  void ShowOpenedScan();

  // What the tabs ask of the window.
  const TFormatSettings& FormatSettings() const override { return FFormatSettings; }
  void SetStatus(const QString& Text) override;
  void ShowProgress(int Position, int Maximum) override;
  void SelectionChanged(const TResultTab& Tab) override;
  QIcon SmallIcon(const std::string& Path, bool IsFolder) override;
  void ShowInFolder(const std::string& Path) override;
  void OpenFolder(const std::string& Path) override;
  QList<QAction*> ItemCommands() override;
  QList<QAction*> ZoomCommands() override;

  // Services, each either handed in or owned here.
  const TFormatSettings FFormatSettings;
  const std::unique_ptr<IUserDialogs> FOwnedDialogs;
  IUserDialogs* const FDialogs;
  const std::unique_ptr<IShellServices> FOwnedShell;
  IShellServices* const FShell;
  const platform::IVolumes* const FVolumes;
  const TDirectoryListerFactory FCreateLister;
  const std::unique_ptr<QSettings> FOwnedSettings;
  QSettings* const FSettings;
  bool FSettingsStored = false;

  // The job making the next results, while one runs, and the saved scan it reads, if it does.
  std::unique_ptr<TScanRun> FRun;
  std::optional<std::string> FSavedScan;
  platform::TFileStamp FSavedScanWritten = 0;
  TScanExpectation FExpected;
  // The results shown, and the tab being given them (none once all have them).
  std::shared_ptr<const TScanResults> FResults;
  std::optional<size_t> FFilling;
  // The count chosen; the results shown are in it, or being built again in it.
  TSizeCount FCount = kDefaultSizeCount;
  // Each tab's selection while the results are built again in another count: the files and
  // folders (the tree stays the same) and the extensions by their keys.
  struct TKeptSelection {
    std::vector<TSelectedItem> Items;
    std::vector<std::string> Extensions;
  };
  std::vector<TKeptSelection> FKeptSelections;
  // A folder being walked again, and what the results shown were scanned from, with which
  // filters (none for a saved scan of folders not here, or of every drive).
  std::unique_ptr<TRescanRun> FRescan;
  std::optional<TScanSource> FScannedSource;
  std::shared_ptr<const TScanContext> FScannedSettings;
  // A comparison being made, the one shown, and the saved scan it is with.
  std::unique_ptr<TCompareRun> FCompare;
  std::shared_ptr<const TBaselineComparison> FComparison;
  std::optional<std::string> FBaseline;
  std::optional<std::string> FCompareOnceShown;
  // Said in the status line after the summary of the next results.
  QString FAfterSummary;
  // The next results after a removal, being prepared; and the removals made on the disk
  // meanwhile, which follow once they are shown (a removal to the trash or not each).
  std::unique_ptr<TRemovalRun> FRemoval;
  std::vector<std::pair<std::vector<TSelectedItem>, bool>> FRemovedMeanwhile;
  // The tabs still filling in next results.
  int FNextPending = 0;
  std::vector<std::pair<std::weak_ptr<const TScanResults>, TDetachedFolders>> FDetached;

  // Controls, owned by the widget tree; the menu's items by the menu bar.
  std::unique_ptr<TMainMenu> FMenu;
  TTopPanel* pnlTop = nullptr;
  TToolbar* FToolbar = nullptr;
  TSourcePanel* FSourcePanel = nullptr;
  TFilterPanel* FFilterPanel = nullptr;
  TStatusStrip* FStatus = nullptr;
  TFileCommands* FFileCommands = nullptr;

  // The result tabs, owned by the page control.
  QTabWidget* PageControl1 = nullptr;
  TFilesInFoldersView* FFilesInFoldersView = nullptr;
  TFilesView* FFilesView = nullptr;
  TFoldersView* FFoldersView = nullptr;
  TDuplicatesView* FDuplicatesView = nullptr;
};

}  // namespace dunstrel
