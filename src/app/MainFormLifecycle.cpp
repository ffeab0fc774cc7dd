// Creation and shutdown of the main window, switching between its tabs, the commands that belong
// to the window itself, and what the tabs ask of it.
#include <QAction>
#include <QMenuBar>
#include <QSettings>
#include <QTabWidget>
#include <QUrl>

#include "app/AppInfo.h"
#include "app/CompareRun.h"
#include "app/FileCommands.h"
#include "app/FilterPanel.h"
#include "app/MainForm.h"
#include "app/MainMenu.h"
#include "app/RegionalSettings.h"
#include "app/RemovalRun.h"
#include "app/RescanRun.h"
#include "app/ScanRun.h"
#include "app/ShellServices.h"
#include "app/StatusStrip.h"
#include "app/TopPanel.h"
#include "app/UserDialogs.h"
#include "app/WindowSettings.h"
#include "views/DuplicatesView.h"
#include "views/FilesInFoldersView.h"
#include "views/FilesView.h"
#include "views/FoldersView.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

constexpr int kDesignClientWidth = 1333;
constexpr int kDesignClientHeight = 720;

}  // namespace

TfrmMain::TfrmMain(TMainWindowServices Services, QWidget* Parent)
    : QMainWindow(Parent),
      FFormatSettings(Services.FormatSettings.value_or(FormatSettingsOf(QLocale::system()))),
      FOwnedDialogs(Services.Dialogs != nullptr ? nullptr : CreateUserDialogs()),
      FDialogs(Services.Dialogs != nullptr ? Services.Dialogs : FOwnedDialogs.get()),
      FOwnedShell(Services.Shell != nullptr ? nullptr
                                            : CreateDesktopShellServices(FFormatSettings)),
      FShell(Services.Shell != nullptr ? Services.Shell : FOwnedShell.get()),
      FVolumes(Services.Volumes != nullptr ? Services.Volumes : &platform::SystemVolumes()),
      FCreateLister(Services.CreateLister
                        ? std::move(Services.CreateLister)
                        : TDirectoryListerFactory(&platform::CreateDirectoryLister)),
      FOwnedSettings(Services.Settings != nullptr ? nullptr : OpenUserSettings()),
      FSettings(Services.Settings != nullptr ? Services.Settings : FOwnedSettings.get()) {
  BuildFrame();
  ShowCaption();
  resize(kDesignClientWidth, kDesignClientHeight + menuBar()->sizeHint().height());
  setWindowState(windowState() | Qt::WindowMaximized);
  SetScanningState(false);
  RestoreSettings();
  ApplyTranslation();
}

TfrmMain::~TfrmMain() {
  // A job still running is stopped and cut off first; then the controls go, tabs and the results
  // they show among them, while everything they may call on is still here.
  FCompare.reset();
  FRemoval.reset();
  FRescan.reset();
  FRun.reset();
  delete centralWidget();
  delete menuBar();
}

void TfrmMain::closeEvent(QCloseEvent* Event) {
  // Closing is always allowed; a job still running is stopped as the window goes.
  if (!FSettingsStored) {
    StoreSettings();
    FSettingsStored = true;
  }
  QMainWindow::closeEvent(Event);
}

void TfrmMain::ShowCaption(const QString& Shown) {
  const QString Program =
      QStringLiteral("%1 %2").arg(QLatin1String(kApplicationTitle), QLatin1String(kVersionText));
  setWindowTitle(Shown.isEmpty() ? Program : Shown + QStringLiteral(" - ") + Program);
}

void TfrmMain::resizeEvent(QResizeEvent* Event) {
  QMainWindow::resizeEvent(Event);
  for (TResultTab* Tab : Tabs()) {
    Tab->AdjustSideListWidth();
  }
}

std::vector<TResultTab*> TfrmMain::Tabs() const {
  return {FFilesInFoldersView, FFilesView, FFoldersView, FDuplicatesView};
}

TResultTab* TfrmMain::ShownTab() const {
  return dynamic_cast<TResultTab*>(PageControl1->currentWidget());
}

void TfrmMain::TabChanged() {
  const int Page = PageControl1->currentIndex();
  for (int I = 0; I < 4; ++I) {
    FMenu->Modes()[static_cast<size_t>(I)]->setChecked(I == Page);
  }
  // The status line tells of the selection shown when there is one; else it keeps what it said
  // (the summary of the scan), and while a job runs it tells of the job.
  const TResultTab* Tab = ShownTab();
  if (FRun == nullptr || !FRun->Running()) {
    if (Tab != nullptr && !Tab->Selection().Empty() && !FFilling) {
      SetStatus(Tab->SelectionStatus());
    }
  }
}

void TfrmMain::ShowPage(int Index) {
  PageControl1->setCurrentIndex(Index);
  // The menu item has flipped its own mark, also when its page was shown already.
  TabChanged();
}

void TfrmMain::ToggleToolbar() {
  // The action has already flipped its own check mark.
  pnlTop->setVisible(FMenu->ShowToolbar1->isChecked());
}

void TfrmMain::ShowAbout() {
  const QString Text =
      QStringLiteral("%1\n%2 %3\n\n%4 %5")
          .arg(QLatin1String(kApplicationTitle), TranslatedText("Version:"),
               QLatin1String(kVersionText), TranslatedText("Website:"), QLatin1String(kSiteUrl));
  FDialogs->ShowInformation(this, Text);
}

void TfrmMain::OpenSitePage(const char* Page) {
  FShell->OpenAddress(QUrl(QLatin1String(kSiteUrl) + QLatin1String(Page)));
}

bool TfrmMain::FileCommandsAllowed() const {
  return FFileCommands->Allowed();
}

std::vector<std::string> TfrmMain::GetSelectedPaths() const {
  return FFileCommands->SelectedPaths();
}

void TfrmMain::SetStatus(const QString& Text) {
  FStatus->SetText(Text);
}

void TfrmMain::ShowProgress(int Position, int Maximum) {
  FStatus->ShowProgress(Position, Maximum);
}

void TfrmMain::SelectionChanged(const TResultTab& Tab) {
  if (&Tab == ShownTab()) {
    SetStatus(Tab.SelectionStatus());
  }
}

QIcon TfrmMain::SmallIcon(const std::string& Path, bool IsFolder) {
  return FShell->SmallIcon(Path, IsFolder);
}

void TfrmMain::ShowInFolder(const std::string& Path) {
  FFileCommands->ShowInFolder(Path);
}

void TfrmMain::OpenFolder(const std::string& Path) {
  FFileCommands->OpenFolder(Path);
}

QList<QAction*> TfrmMain::ZoomCommands() {
  return {FMenu->ZoomIn1, FMenu->ZoomOut1};
}

QList<QAction*> TfrmMain::ItemCommands() {
  const TMainMenu& Menu = *FMenu;
  return {Menu.Open1,        Menu.OpeninExplorer1,     Menu.ShowProperties1,   Menu.CopyPath1,
          nullptr,           Menu.RemovetoRecycleBin1, Menu.RemoveCompletely1, nullptr,
          Menu.RescanFolder1};
}

}  // namespace dunstrel
