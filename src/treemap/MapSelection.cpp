#include "treemap/MapSelection.h"

namespace dunstrel {

namespace {

class TNothingSelected final : public IMapSelection {
 public:
  bool Empty() const override { return true; }
  bool Contains(const TFileLeaf&) const override { return false; }
  bool Contains(const TDirNode&) const override { return false; }
};

}  // namespace

const IMapSelection& NothingSelected() {
  static const TNothingSelected Nothing;
  return Nothing;
}

}  // namespace dunstrel
