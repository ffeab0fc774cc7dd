#pragma once

#include "scan/ScanTree.h"

namespace dunstrel {

// What a map frames as selected. The maps keep no selection of their own: they ask this while
// they paint, so a map laid out again for a new size shows the same selection as before, and
// the selection the map shows is the one the commands act on.
class IMapSelection {
 public:
  virtual bool Empty() const = 0;
  virtual bool Contains(const TFileLeaf& File) const = 0;
  virtual bool Contains(const TDirNode& Folder) const = 0;

 protected:
  ~IMapSelection() = default;
};

// The selection of a map that shows none.
const IMapSelection& NothingSelected();

}  // namespace dunstrel
