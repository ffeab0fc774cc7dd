#pragma once

#include <array>

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QWidget;

namespace dunstrel {

class TToolbar;

// The main menu: File, Run, View (with its Mode and Language submenus and the choice of count)
// and Help. Every menu and
// item carries the name tests and accessibility tools find it by; the window connects them.
struct TMainMenu {
  explicit TMainMenu(QMenuBar* Bar);
  // The commands' keys: the file commands' act where the result tabs (in Tabs) have the focus;
  // F10 opens the first menu of Window.
  void SetUpKeys(QWidget* Tabs, QMainWindow* Window);
  // The commands that have a button show its picture; the others the desktop theme's, if any.
  void SetUpIcons(const TToolbar& Buttons);
  // The titles and items in the current language, with Alt+letters of that language.
  void ApplyTranslation();
  // The Mode items in the order of the tabs.
  std::array<QAction*, 4> Modes() const {
    return {FilesinFolders1, OnlyFiles1, OnlyFolders1, Duplicates1};
  }

  QMenu* File1;
  QAction* Open1;
  QAction* CopyPath1;
  QAction* OpeninExplorer1;
  QAction* ShowProperties1;
  QAction* RemovetoRecycleBin1;
  QAction* RemoveCompletely1;
  QAction* OpenScan1;
  QAction* SaveScanAs1;
  // Every entry's growth since a saved scan of the same folder, until it is ended.
  QAction* CompareWithSavedScan1;
  QAction* EndComparison1;
  QAction* Exit1;
  QMenu* Run1;
  QAction* Scan1;
  QAction* Stop1;
  QMenu* View1;
  QMenu* Mode1;
  QAction* FilesinFolders1;
  QAction* OnlyFiles1;
  QAction* OnlyFolders1;
  QAction* Duplicates1;
  // The two ways of counting sizes, one of them checked.
  QAction* DiskUsage1;
  QAction* ApparentSize1;
  QAction* ZoomIn1;
  QAction* ZoomOut1;
  // Walks again the folder selected in the tab shown (F5); the whole source when nothing is
  // selected, or the top folder.
  QAction* Rescan1;
  // The same for the selected folder alone, for the menus of the tabs too; nothing without one.
  QAction* RescanFolder1;
  // The "Files in Folders" map coloured by growth while results are compared.
  QAction* ColourbyGrowth1;
  QAction* ShowToolbar1;
  // Filled by the window, one item per language of the translation table.
  QMenu* mmLanguage;
  QMenu* Help1;
  QAction* Tutorial1;
  QAction* ContactUs1;
  QAction* VisitWebsite1;
  QAction* About1;

 private:
  QMenuBar* FBar;
};

}  // namespace dunstrel
