#pragma once

#include <QString>
#include <QWidget>
#include <string>
#include <vector>

#include "views/TreemapSurface.h"
#include "views/ViewHost.h"

class QSplitter;

namespace dunstrel {

// How wide the list at the right of a tab's bottom panel is kept.
enum class TSideListRule {
  // What is left of the panel beside half the window (at least 200), but at least 160.
  RestBesideHalfWindow,
  // Half the panel, but at least 200.
  HalfPanel,
};

// The names and design sizes of one tab's controls.
struct TResultTabNames {
  const char* Page;
  const char* Host;
  const char* Surface;
  const char* Vertical;
  int VerticalHandle;
  const char* Bottom;
  int BottomHeight;
  const char* Horizontal;
  TSideListRule SideRule;
};

// One result tab: the drawing surface on top, a splitter, and a bottom panel with a tree or
// list filling it and a list of adjustable width at its right. The tab is the view behind its
// surface; each kind of tab fills in what it shows and how its parts keep in step.
class TResultTab : public QWidget, public ITreemapSurfaceClient {
 public:
  TResultTab(IViewHost& Host, const TResultTabNames& Names);
  ~TResultTab() override;

  TTreemapSurface* Surface() const { return FSurface; }
  void InvalidateMap() { FSurface->Invalidate(); }
  // Sets the side list's width by the tab's rule.
  void AdjustSideListWidth();

  // Empties the tab: its lists, its map and its hovered cell. Done before the tree goes.
  virtual void Clear() = 0;
  // The status line's description of the tab's selection.
  virtual QString SelectionStatus() const = 0;
  // Column titles, and the figures the tab's lists hold as text, in the current language.
  virtual void ApplyTranslation() = 0;
  // The paths of the items the file commands act on, as the file system's bytes, in the order
  // the tab's controls give them; repeats are kept.
  virtual std::vector<std::string> GetSelectedPaths() const = 0;

 protected:
  // Puts the two controls into the bottom panel.
  void PlaceControls(QWidget* Left, QWidget* Right);
  bool eventFilter(QObject* Watched, QEvent* Event) override;

  IViewHost& FHost;

 private:
  TSideListRule FSideRule;
  QSplitter* FVertical;
  QWidget* FHostPanel;
  TTreemapSurface* FSurface;
  QWidget* FBottom;
  QSplitter* FHorizontal;
};

}  // namespace dunstrel
