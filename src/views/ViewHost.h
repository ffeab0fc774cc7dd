#pragma once

#include <QIcon>
#include <QString>
#include <string>

#include "localisation/TextFormat.h"

namespace dunstrel {

// The window's one guard against views echoing each other's selection changes: code that
// changes another view's selection holds it, and handlers that would pass a change on do
// nothing while it is held. Long fills that let the event loop run hold it for their whole run.
class TSyncFlag {
 public:
  bool IsSet() const { return FSet; }

 private:
  friend class TSyncScope;
  bool FSet = false;
};

// Holds the guard for its lifetime, also when an exception leaves the scope.
class TSyncScope {
 public:
  explicit TSyncScope(TSyncFlag& Flag) : FFlag(Flag) { FFlag.FSet = true; }
  ~TSyncScope() { FFlag.FSet = false; }
  TSyncScope(const TSyncScope&) = delete;
  TSyncScope& operator=(const TSyncScope&) = delete;

 private:
  TSyncFlag& FFlag;
};

// What a result view asks of the window that holds it.
class IViewHost {
 public:
  virtual ~IViewHost() = default;

  // Set once the window starts to close: handlers then leave everything alone.
  virtual bool AppClosing() const = 0;
  virtual TSyncFlag& Syncing() = 0;
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
