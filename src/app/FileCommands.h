#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "localisation/TextFormat.h"
#include "views/TabSelection.h"

class QAction;
class QToolButton;
class QWidget;

namespace dunstrel {

class IShellServices;
class IUserDialogs;
class TResultTab;

// The commands of the File menu and their toolbar buttons. They act on the selection of the tab
// shown: open, copy paths, show in the file manager, properties, move to the trash and delete.
// While the results are a saved scan of folders this machine does not have, only copying paths
// is allowed.
class TFileCommands final : public QObject {
 public:
  using TShownTab = std::function<TResultTab*()>;
  // Told the items a removal took away (those that failed are not among them), and whether they
  // went to the trash; before any failure is shown.
  using TRemoved = std::function<void(const std::vector<TSelectedItem>& Items, bool ToTrash)>;

  TFileCommands(IUserDialogs& Dialogs, IShellServices& Shell, const TFormatSettings& Settings,
                TShownTab ShownTab, QWidget* Window);

  // A menu item and its button run one command.
  void Connect(QAction* Item, QToolButton* Button, void (TFileCommands::*Command)());
  void SetAllowed(bool Allowed);
  void SetRemovedHandler(TRemoved Removed) { FRemoved = std::move(Removed); }
  bool Allowed() const { return FAllowed; }

  // The paths of the shown tab's selected items.
  std::vector<std::string> SelectedPaths() const;

  void OpenSelected();
  void CopySelectedPaths();
  void ShowSelectedInFolder();
  void ShowSelectedProperties();
  void MoveSelectedToTrash() { RemoveSelected(true); }
  void DeleteSelected() { RemoveSelected(false); }

  // The file manager at one item, or showing a folder: only where the files are here.
  void ShowInFolder(const std::string& Path);
  void OpenFolder(const std::string& Path);

 private:
  void RemoveSelected(bool ToTrash);

  IUserDialogs& FDialogs;
  IShellServices& FShell;
  const TFormatSettings& FSettings;
  const TShownTab FShownTab;
  QWidget* const FWindow;
  bool FAllowed = true;
  TRemoved FRemoved;
  // The items and buttons of the commands that touch files.
  std::vector<QObject*> FTouchingFiles;
};

}  // namespace dunstrel
