#pragma once

#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "localisation/TextFormat.h"
#include "platform/DirectoryLister.h"
#include "platform/FileSystem.h"
#include "platform/Volumes.h"
#include "results/ScanJob.h"
#include "results/ScanResults.h"
#include "scan/ScanContext.h"
#include "scan/ScanTree.h"
#include "treemap/Treemap.h"
#include "views/ViewHost.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSettings;
class QTabWidget;
class QTimer;
class QToolButton;

namespace dunstrel {

class IShellServices;
class IUserDialogs;
class TElidedLabel;
class TDuplicatesView;
class TFilesInFoldersView;
class TFilesView;
class TFoldersView;
class TResultTab;
class TScanFileLoad;

using TDirectoryListerFactory = std::function<std::unique_ptr<platform::IDirectoryLister>()>;

// What the main window asks of the world around it. An empty entry means the real one; tests
// hand in their own.
struct TMainWindowServices {
  IUserDialogs* Dialogs = nullptr;
  IShellServices* Shell = nullptr;
  const platform::IVolumes* Volumes = nullptr;
  // Called on the interface thread once per scan; the scan task owns the listing it returns.
  TDirectoryListerFactory CreateLister;
  // The user's regional settings when not given.
  std::optional<TFormatSettings> FormatSettings;
  // Where the window keeps what it remembers between runs; the user's own settings when not
  // given.
  QSettings* Settings = nullptr;
};

// The main window: the single owner of the scan, its results, the maps and the four result
// views, and the handler of every control outside the views.
class TfrmMain : public QMainWindow, private IViewHost {
  Q_OBJECT

 public:
  explicit TfrmMain(TMainWindowServices Services = {}, QWidget* Parent = nullptr);
  ~TfrmMain() override;

  // The tree of the last scan, while the window holds one.
  const TDirNode* ScanRoot() const { return FResults.Root.get(); }
  const TScanResults& Results() const { return FResults; }

  // Chooses "Path:" with this folder (its own bytes) and starts a scan of it, as the Scan
  // button would.
  void ScanFolder(const std::string& Path);
  // Reads a saved scan (its own bytes) on a pool thread and shows it as if just scanned; the
  // results shown stay until it has been read.
  void OpenScanFile(const std::string& Path);
  // False while the results are a saved scan whose folders this machine does not have.
  bool FileCommandsAllowed() const { return !FFileCommandsOff; }
  // The paths of the active tab's selected items, as the file commands take them.
  std::vector<std::string> GetSelectedPaths() const;

 protected:
  void closeEvent(QCloseEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;

 private Q_SLOTS:
  // The scan task has ended; queued onto the interface thread by the task.
  void ScanTaskEnded();
  // The reading of a saved scan has ended; queued onto the interface thread.
  void ScanFileLoadEnded();

 private:
  // Frame: the controls, their placement and their wiring.
  void BuildFrame();
  void BuildMenus();
  QWidget* BuildTopPanel();
  QWidget* BuildToolbar();
  QGroupBox* BuildSourceGroup();
  QGroupBox* BuildFilterGroup();
  QTabWidget* BuildPages();
  QWidget* BuildStatusStrip();
  void ConnectHandlers();
  // Grows the fixed boxes to their captions and sets the window's least size.
  void FitFrameToText();
  // Narrows the source box when the window is too narrow for both boxes at their design sizes.
  void FitSourceGroupToWidth();

  // Creation and shutdown.
  void FormCreate();
  void FormDestroy();
  // What the window keeps between runs: read once it is built, written as it closes.
  void RestoreSettings();
  void StoreSettings() const;
  // Languages: one menu item per column of the translation table; every fixed text of the
  // window set again in the current language.
  void BuildLanguageMenu();
  void LanguageItemClick(QAction* Item);
  void ApplyTranslation();
  // Gives the menus' items Alt+letters of the language in force.
  void MarkMnemonics();
  // The commands' keys; the file commands' act where the result tabs have the focus.
  void SetUpKeys();
  void SetUpMenuIcons();
  void UpdateSourceControls();
  void AdjustSideListWidths();
  void FormResize();
  void InvalidateAllSurfaces();
  // The four views in page order.
  std::vector<TResultTab*> Views() const;

  // View switching and the status line.
  void PageControl1Change();
  void ShowPage(int Index);
  void UpdateSelectionStatus() override;

  // Window commands.
  void ShowToolbar1Click();
  void Exit1Click();
  void btnAboutClick();
  void ContactUs1Click();
  void btnWEbsiteClick();
  void utorial1Click();
  void OpenSitePage(const char* Page);

  // File commands on the selected items.
  void btnOpenClick();
  void SpeedButton1Click();
  void btnOpenExplorerClick();
  void btnShowPropertiesClick();
  void btnRemoveToRecycleBinClick();
  void btnRemoveClick();
  void RemoveSelected(bool ToTrash);
  void RefreshAfterDelete(TResultTab& View);
  // The view of the tab shown, if any.
  TResultTab* ActiveView() const;
  // Enables the file commands unless the results are of folders that are not here.
  void UpdateFileCommands();

  // Saved scans.
  void SaveScanAs1Click();
  void OpenScan1Click();
  // Names the saved scan shown, in the title and the status line, and its top folder in the
  // source controls.
  void ShowOpenedScan(const std::string& File, platform::TFileStamp Written);
  // The window's title: the program, after what it shows when that is a saved scan.
  void ShowCaption(const QString& Shown = {});

  // Exclusion filters.
  TFilterInputs ReadFilterInputs() const;
  bool ParseLessThanBytes(int64_t& Value) const;
  void UpdateFilterControls();
  void ApplyFiltersToContext();
  void chModifiedBeforeClick();
  void chLessThanClick();

  // Scan control.
  std::vector<std::string> GetScanDrives() const;
  int64_t GetDriveUsedBytes(const std::string& Root) const;
  // The path box: the folders scanned last, then the drive roots.
  void FillDriveList();
  // Puts a folder at the head of the path box's history and shows it there.
  void RememberPath(const std::string& Path);
  std::string TypedScanPath() const;
  void btnBrowseClick();
  void btnScanClick();
  void btnStopClick();
  void UITimerTick();
  void StartScanTask(TScanSource Source);
  void SetScanningState(bool Scanning);
  void SetStatus(const QString& Text) override;
  void ClearResults();
  void ShowBusyPointer() override;
  void RestoreDefaultPointer();
  void ShowProgressMarquee();
  void ShowProgressNormal(int Position);

  // Result pipeline.
  void BuildResults(bool Ok, const std::string& Err);
  void CheckCancelled() const;
  void FlattenAllFilesFromRoot();
  void BuildLargestFilesList();
  void PopulateLargestFilesUI();
  void BuildFoldersTree();
  void BuildDuplicates();
  void ChooseSelectedFolder();
  void PopulateFoldersUI();
  void BuildFoldersAndFilesTree();
  void PopulateExtensions();

  // What the views ask of the window.
  bool AppClosing() const override { return FAppClosing; }
  const TFormatSettings& FormatSettings() const override { return FFormatSettings; }
  void ShowProgress(int Position, int Maximum) override;
  bool LetEventsRunAndCheckStop() override;
  QIcon SmallIcon(const std::string& Path, bool IsFolder) override;
  void ShowInFolder(const std::string& Path) override;
  void OpenFolder(const std::string& Path) override;

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

  // Set when the window starts to close; from then on the handlers that would touch half-freed
  // state do nothing.
  bool FAppClosing = false;

  // The scan. The task shares the context and the progress record, so it may outlive the window.
  std::shared_ptr<TScanJob> FTask;
  std::shared_ptr<TScanContext> FContext;
  std::shared_ptr<TScanProgress> FProgress;
  // The reading of a saved scan, while one runs.
  std::shared_ptr<TScanFileLoad> FLoad;
  bool FFileCommandsOff = false;
  // The folders scanned last, as their own bytes, latest first.
  std::vector<std::string> FPathHistory;
  QTimer* FUITimer = nullptr;
  int64_t FExpectedBytesTotal = 0;
  // Files and folders of the drives of a whole-computer scan; 0 when they cannot be told.
  int64_t FExpectedEntries = 0;
  bool FBusyPointerShown = false;

  // The results of the last scan and the maps laid out from them. The views refer to both, so
  // both outlive the views' use of them: ClearResults and FormDestroy empty the views first.
  TScanResults FResults;
  TTreemapLayout FTreemap;
  TFolderTreemapLayout FFolderMap;
  THierTreemapLayout FHierMap;
  TDupTreemapLayout FDupeMap;

  // Controls, owned by the widget tree.
  QMenu* File1 = nullptr;
  QMenu* Run1 = nullptr;
  QMenu* View1 = nullptr;
  QMenu* Mode1 = nullptr;
  QMenu* mmLanguage = nullptr;
  QMenu* Help1 = nullptr;
  QAction* Open1 = nullptr;
  QAction* CopyPath1 = nullptr;
  QAction* OpeninExplorer1 = nullptr;
  QAction* ShowProperties1 = nullptr;
  QAction* RemovetoRecycleBin1 = nullptr;
  QAction* RemoveCompletely1 = nullptr;
  QAction* SaveScanAs1 = nullptr;
  QAction* OpenScan1 = nullptr;
  QAction* Exit1 = nullptr;
  QAction* Scan1 = nullptr;
  QAction* Stop1 = nullptr;
  QAction* FilesinFolders1 = nullptr;
  QAction* OnlyFiles1 = nullptr;
  QAction* OnlyFolders1 = nullptr;
  QAction* Duplicates1 = nullptr;
  QAction* ShowToolbar1 = nullptr;
  QAction* utorial1 = nullptr;
  QAction* ContactUs1 = nullptr;
  QAction* VisitWebsite1 = nullptr;
  QAction* About1 = nullptr;

  QWidget* pnlTop = nullptr;
  QWidget* Panel4 = nullptr;
  QToolButton* btnScan = nullptr;
  QToolButton* btnStop = nullptr;
  QToolButton* btnOpen = nullptr;
  QToolButton* btnCopyPath = nullptr;
  QToolButton* btnOpenExplorer = nullptr;
  QToolButton* btnShowProperties = nullptr;
  QToolButton* btnRemoveToRecycleBin = nullptr;
  QToolButton* btnRemove = nullptr;
  QToolButton* btnWEbsite = nullptr;
  QToolButton* btnAbout = nullptr;

  QGroupBox* gbSource = nullptr;
  QRadioButton* rbAllDrives = nullptr;
  QRadioButton* rbCustomPath = nullptr;
  QComboBox* cmbCustomPath = nullptr;
  QPushButton* btnBrowse = nullptr;

  QGroupBox* gbFilters = nullptr;
  QCheckBox* chModifiedBefore = nullptr;
  QDateEdit* dtpDate = nullptr;
  QCheckBox* chLessThan = nullptr;
  QLineEdit* edtLessThan = nullptr;
  QComboBox* cbSizeUnits = nullptr;
  QCheckBox* chPattern = nullptr;
  QLineEdit* edtPattern = nullptr;

  QWidget* panStatus = nullptr;
  TElidedLabel* lblStatus = nullptr;
  QProgressBar* pb = nullptr;

  // The result tabs, owned by the page control.
  QTabWidget* PageControl1 = nullptr;
  TFilesInFoldersView* FFilesInFoldersView = nullptr;
  TFilesView* FFilesView = nullptr;
  TFoldersView* FFoldersView = nullptr;
  TDuplicatesView* FDuplicatesView = nullptr;
};

}  // namespace dunstrel
