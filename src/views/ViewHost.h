#pragma once

#include <QIcon>
#include <QList>
#include <QString>
#include <string>

#include "localisation/TextFormat.h"

class QAction;

namespace dunstrel {

class TResultTab;

// What a result tab asks of the window that holds it.
class IViewHost {
 public:
  virtual ~IViewHost() = default;

  virtual const TFormatSettings& FormatSettings() const = 0;

  virtual void SetStatus(const QString& Text) = 0;
  // The progress bar in its normal style.
  virtual void ShowProgress(int Position, int Maximum) = 0;
  // The tab's selection has changed by the user's hand: the status line describes it while the
  // tab is shown.
  virtual void SelectionChanged(const TResultTab& Tab) = 0;

  // The desktop's small icon for an item, judged by its name alone.
  virtual QIcon SmallIcon(const std::string& Path, bool IsFolder) = 0;
  // The file manager with the item selected in its folder.
  virtual void ShowInFolder(const std::string& Path) = 0;
  // The file manager showing a folder itself.
  virtual void OpenFolder(const std::string& Path) = 0;
  // The window's commands on the selected items, in the order a context menu lists them; a
  // null entry stands for a separator. They act on the selection of the tab shown.
  virtual QList<QAction*> ItemCommands() = 0;
  // Zoom In and Zoom Out, which the context menus of maps and trees of folders add.
  virtual QList<QAction*> ZoomCommands() = 0;
};

}  // namespace dunstrel
