#pragma once

#include <gtest/gtest.h>

#include <QTabWidget>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "results/ScanResults.h"
#include "support/ScanTreeMaker.h"
#include "views/ShownText.h"
#include "views/TabProbes.h"
#include "views/ViewHost.h"

namespace dunstrel::testing {

// What the tabs ask of the window that holds them, recorded: the status line describes the
// selection of the tab shown, the file manager's requests are kept.
class TRecordingHost final : public IViewHost {
 public:
  const TFormatSettings& FormatSettings() const override { return Settings; }
  void SetStatus(const QString& Text) override { Status = Text; }
  void ShowProgress(int, int) override {}
  void SelectionChanged(const TResultTab& Tab) override;
  // A blank icon, the same for every item; each request is remembered.
  QIcon SmallIcon(const std::string& Path, bool) override;
  void ShowInFolder(const std::string& Path) override { Shown.push_back(Path); }
  void OpenFolder(const std::string& Path) override { Opened.push_back(Path); }
  // Two commands, each recording the paths of the selection of the tab shown when it runs.
  QList<QAction*> ItemCommands() override;
  QList<QAction*> ZoomCommands() override;

  TFormatSettings Settings;
  QString Status = QStringLiteral("Ready");
  std::vector<std::string> Shown;
  std::vector<std::string> Opened;
  std::vector<std::string> IconsAsked;
  const QTabWidget* Pages = nullptr;
  // The command run last from a context menu, and the paths it acted on.
  QString LastCommand;
  std::vector<std::string> ActedOn;

 private:
  QIcon FIcon;
  std::vector<std::unique_ptr<QAction>> FCommands;
};

// The four result tabs in a page control of their own, without the main window, shown the
// results of a scan tree made in memory (ScanFixture: the tree of MakeFixtureFiles).
class TabsTest : public ::testing::Test {
 protected:
  void SetUp() override;

  void ScanFixture();
  // Builds the results of the tree made so far and gives them to every tab; waits until each
  // has filled its controls.
  void ShowScan();

  template <typename TTab>
  TTab* View(const char* Page) const {
    return Pages->findChild<TTab*>(QLatin1String(Page));
  }
  TFilesView* FilesView() const { return View<TFilesView>("TabSheet1"); }
  TFoldersView* FoldersView() const { return View<TFoldersView>("TabSheet2"); }
  TFilesInFoldersView* FilesInFoldersView() const { return View<TFilesInFoldersView>("TabSheet3"); }
  TDuplicatesView* DupView() const { return View<TDuplicatesView>("TabSheetDuplicates"); }

  template <typename TWidget>
  TWidget* Find(const char* Name) const {
    auto* Found = Pages->findChild<TWidget*>(QLatin1String(Name));
    EXPECT_NE(Found, nullptr) << Name;
    return Found;
  }
  // Shows a tab and lets its surface take its size.
  void ShowTab(const char* Page) const;
  QString Status() const { return Host.Status; }
  // A picture of the tabs showing one, in the build folder.
  void SaveScreenshotOfTab(const char* Page) const;

  std::string PathOf(std::string_view Relative) const { return Tree / Relative; }
  template <typename TTab>
  void ClickMap(TTab* Tab, std::string_view Relative,
                Qt::KeyboardModifiers Keys = Qt::NoModifier) const {
    ClickMapBelow(Tab, Tree.Path(), Relative, Keys);
  }

  TRecordingHost Host;
  TScanTreeMaker Tree;
  std::unique_ptr<QTabWidget> Pages;
  std::shared_ptr<const TScanResults> Results;
};

}  // namespace dunstrel::testing
