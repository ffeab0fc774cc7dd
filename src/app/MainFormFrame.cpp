// The main window's controls: what exists, where it sits, and which handler each event reaches.
// Captions come from ApplyTranslation.
#include <QAction>
#include <QMenuBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/FileCommands.h"
#include "app/FilterPanel.h"
#include "app/MainForm.h"
#include "app/MainMenu.h"
#include "app/StatusStrip.h"
#include "app/Toolbar.h"
#include "app/TopPanel.h"
#include "views/DuplicatesView.h"
#include "views/FilesInFoldersView.h"
#include "views/FilesView.h"
#include "views/FoldersView.h"
#include "views/Named.h"

namespace dunstrel {

void TfrmMain::BuildFrame() {
  FMenu = std::make_unique<TMainMenu>(menuBar());
  BuildLanguageMenu();
  auto* Client = Named(new QWidget(this), "ClientArea");
  auto* Layout = new QVBoxLayout(Client);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->setSpacing(0);
  pnlTop = new TTopPanel(*FDialogs, *FVolumes, FFormatSettings, Client);
  FToolbar = pnlTop->Toolbar;
  FSourcePanel = pnlTop->Source;
  FFilterPanel = pnlTop->Filters;
  Layout->addWidget(pnlTop);
  Layout->addWidget(BuildPages(), 1);
  FStatus = new TStatusStrip(Client);
  Layout->addWidget(FStatus);
  setCentralWidget(Client);
  ConnectHandlers();
}

QTabWidget* TfrmMain::BuildPages() {
  PageControl1 = Named(new QTabWidget, "PageControl1");
  FFilesInFoldersView = new TFilesInFoldersView(*this);
  FFilesView = new TFilesView(*this);
  FFoldersView = new TFoldersView(*this);
  FDuplicatesView = new TDuplicatesView(*this);
  for (TResultTab* Tab : Tabs()) {
    PageControl1->addTab(Tab, QString());
    connect(Tab, &TResultTab::Filled, this, &TfrmMain::FillNextTab);
  }
  PageControl1->setCurrentIndex(0);
  return PageControl1;
}

void TfrmMain::FitFrameToText() {
  pnlTop->FitToText();
  FStatus->setFixedHeight(FStatus->LeastHeight());
  // The window is never narrower than the top panel's controls side by side, nor lower than
  // the panels above and below a tab plus a tab's own least height.
  setMinimumSize(pnlTop->LeastWidth(), menuBar()->sizeHint().height() + pnlTop->height() +
                                           PageControl1->minimumSizeHint().height() +
                                           FStatus->height());
}

void TfrmMain::ConnectHandlers() {
  FMenu->SetUpKeys(PageControl1, this);
  FMenu->SetUpIcons(*FToolbar);
  const TMainMenu& Menu = *FMenu;
  const TToolbar& Bar = *FToolbar;
  connect(Bar.btnScan, &QToolButton::clicked, this, &TfrmMain::StartScan);
  connect(Menu.Scan1, &QAction::triggered, this, &TfrmMain::StartScan);
  connect(FSourcePanel, &TSourcePanel::ScanRequested, this, &TfrmMain::StartScan);
  connect(Bar.btnStop, &QToolButton::clicked, this, &TfrmMain::StopScan);
  connect(Menu.Stop1, &QAction::triggered, this, &TfrmMain::StopScan);
  connect(Menu.Rescan1, &QAction::triggered, this, [this] { Rescan(false); });
  connect(Menu.CompareWithSavedScan1, &QAction::triggered, this, &TfrmMain::CompareWithSavedScan);
  connect(Menu.EndComparison1, &QAction::triggered, this, &TfrmMain::EndComparison);
  connect(Menu.ColourbyGrowth1, &QAction::toggled, this,
          [this](bool ByGrowth) { FFilesInFoldersView->SetColorByGrowth(ByGrowth); });
  connect(Menu.RescanFolder1, &QAction::triggered, this, [this] { Rescan(true); });
  connect(Menu.ShowToolbar1, &QAction::triggered, this, &TfrmMain::ToggleToolbar);
  connect(Menu.ZoomIn1, &QAction::triggered, this, [this] { ShownTab()->ZoomIn(); });
  connect(Menu.ZoomOut1, &QAction::triggered, this, [this] { ShownTab()->ZoomOut(); });
  connect(Menu.Exit1, &QAction::triggered, this, &QWidget::close);
  connect(Menu.OpenScan1, &QAction::triggered, this, &TfrmMain::OpenScan);
  connect(Menu.SaveScanAs1, &QAction::triggered, this, &TfrmMain::SaveScanAs);
  connect(Bar.btnAbout, &QToolButton::clicked, this, &TfrmMain::ShowAbout);
  connect(Menu.About1, &QAction::triggered, this, &TfrmMain::ShowAbout);
  connect(Menu.ContactUs1, &QAction::triggered, this, [this] { OpenSitePage("/support.html"); });
  connect(Bar.btnWebsite, &QToolButton::clicked, this, [this] { OpenSitePage("/"); });
  connect(Menu.VisitWebsite1, &QAction::triggered, this, [this] { OpenSitePage("/"); });
  connect(Menu.Tutorial1, &QAction::triggered, this,
          [this] { OpenSitePage("/redirect/tutorial-dunstrel.html"); });
  FFileCommands = new TFileCommands(
      *FDialogs, *FShell, FFormatSettings, [this] { return ShownTab(); }, this);
  FFileCommands->Connect(Menu.Open1, Bar.btnOpen, &TFileCommands::OpenSelected);
  FFileCommands->Connect(Menu.CopyPath1, Bar.btnCopyPath, &TFileCommands::CopySelectedPaths);
  FFileCommands->Connect(Menu.OpeninExplorer1, Bar.btnOpenExplorer,
                         &TFileCommands::ShowSelectedInFolder);
  FFileCommands->Connect(Menu.ShowProperties1, Bar.btnShowProperties,
                         &TFileCommands::ShowSelectedProperties);
  FFileCommands->Connect(Menu.RemovetoRecycleBin1, Bar.btnRemoveToRecycleBin,
                         &TFileCommands::MoveSelectedToTrash);
  FFileCommands->Connect(Menu.RemoveCompletely1, Bar.btnRemove, &TFileCommands::DeleteSelected);
  FFileCommands->SetRemovedHandler([this](const std::vector<TSelectedItem>& Items, bool ToTrash) {
    ItemsRemoved(Items, ToTrash);
  });
  connect(PageControl1, &QTabWidget::currentChanged, this, &TfrmMain::TabChanged);
  for (int Page = 0; Page < 4; ++Page) {
    connect(Menu.Modes()[static_cast<size_t>(Page)], &QAction::triggered, this,
            [this, Page] { ShowPage(Page); });
  }
  connect(Menu.DiskUsage1, &QAction::triggered, this,
          [this] { ChooseCount(TSizeCount::DiskUsage); });
  connect(Menu.ApparentSize1, &QAction::triggered, this,
          [this] { ChooseCount(TSizeCount::ApparentSize); });
  ShowCount();
}

}  // namespace dunstrel
