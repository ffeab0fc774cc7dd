#pragma once

#include <QIcon>
#include <QString>
#include <string>

#include "localisation/TextFormat.h"

namespace dunstrel {

// What a result view asks of the window that holds it.
class IViewHost {
 public:
  virtual ~IViewHost() = default;

  // Set once the window starts to close: handlers then leave everything alone.
  virtual bool AppClosing() const = 0;
  virtual const TFormatSettings& FormatSettings() const = 0;

  virtual void SetStatus(const QString& Text) = 0;
  // The progress bar in its normal style.
  virtual void ShowProgress(int Position, int Maximum) = 0;
  virtual void ShowBusyPointer() = 0;
  // Lets the event loop serve pending events (Stop among them); true when the user has
  // stopped the scan since.
  virtual bool LetEventsRunAndCheckStop() = 0;
  // Describes the selection of the active tab in the status line.
  virtual void UpdateSelectionStatus() = 0;

  // The desktop's small icon for an item, judged by its name alone.
  virtual QIcon SmallIcon(const std::string& Path, bool IsFolder) = 0;
  // The file manager with the item selected in its folder.
  virtual void ShowInFolder(const std::string& Path) = 0;
  // The file manager showing a folder itself.
  virtual void OpenFolder(const std::string& Path) = 0;
};

}  // namespace dunstrel
