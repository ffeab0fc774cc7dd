#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "scan/SizeCount.h"

class QSettings;

namespace dunstrel {

// The user's own settings of the program: ~/.config/Dunstrel.conf; on Windows the registry key
// Software\Dunstrel of the current user itself, where Qt would add a subkey for a program
// without an application name.
std::unique_ptr<QSettings> OpenUserSettings();

// The "Exclude Files" controls as the user left them.
struct TRememberedFilters {
  bool ModifiedBefore = false;
  QDate Date;
  bool LessThan = false;
  QString LessThanText;
  int SizeUnit = 0;
  bool Pattern = true;
  QString PatternText;

  friend bool operator==(const TRememberedFilters&, const TRememberedFilters&) = default;
};

// A list sorted by the user: by which column, and which way.
struct TRememberedSort {
  int Column = 0;
  bool Descending = false;

  friend bool operator==(const TRememberedSort&, const TRememberedSort&) = default;
};

// What the window keeps from one run to the next. What is absent or empty is as at the first
// start.
struct TWindowMemory {
  QByteArray Geometry;  // the window's place and size, maximised or not
  std::optional<bool> ToolbarShown;
  std::map<QString, QByteArray> Splitters;  // each splitter's state by its name
  std::optional<int> Page;                  // the tab shown, counted from 0
  std::optional<bool> PathChosen;           // "Path:" rather than "All Drives"
  std::vector<std::string> PathHistory;     // folders scanned, their own bytes, latest first
  std::optional<TRememberedFilters> Filters;
  std::map<QString, std::vector<int>> ColumnWidths;  // each list's columns in order, by its name
  std::optional<TSizeCount> Count;                   // disk usage or apparent size
  // The lists sorted by a column, by their names; the others are in the results' order.
  std::map<QString, TRememberedSort> SortOrders;

  friend bool operator==(const TWindowMemory&, const TWindowMemory&) = default;
};

inline constexpr size_t kPathHistoryLength = 10;

// Reads and writes what the window keeps in a settings store. A store that cannot be read as a
// whole gives the first start's settings; a value that is missing, of another kind or out of
// range is left out, so a file from another program or version is never more than ignored.
class TWindowSettings {
 public:
  explicit TWindowSettings(QSettings& Store) : FStore(Store) {}

  TWindowMemory Read() const;
  void Write(const TWindowMemory& Memory);

 private:
  QSettings& FStore;
};

}  // namespace dunstrel
