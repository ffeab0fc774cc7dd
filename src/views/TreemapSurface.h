#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <optional>

#include "treemap/Geometry.h"
#include "treemap/TreemapCanvas.h"

class QPainter;

namespace dunstrel {

// The ways an arrow key moves the selection on a map.
enum class TArrow { Left, Right, Up, Down };

// The view behind a drawing surface: it owns the map's data, lays it out, paints it and
// answers the mouse.
class ITreemapSurfaceClient {
 public:
  virtual ~ITreemapSurfaceClient() = default;
  // Whether there is a map to paint; without one the surface shows its placeholder.
  virtual bool HasMapData() const = 0;
  virtual void PaintMap(TTreemapCanvas& Canvas) const = 0;
  // The surface has a new size: lay the map out again.
  virtual void RebuildMap() = 0;
  virtual void MapMouseDown(TPoint At, bool Ctrl) = 0;
  // The hint for the cell under the mouse; Changed is false while the mouse stays in one cell.
  virtual QString MapHint(TPoint At, bool& Changed) = 0;
  virtual void MapDoubleClick() = 0;
  // The context menu was asked for: by the mouse at a point of the map, or by the keyboard
  // (no point).
  virtual void MapContextMenu(std::optional<TPoint> At) = 0;
  // An arrow key: the selection moves to the neighbouring cell that way.
  virtual void MapArrow(TArrow Way) = 0;
};

// A drawing surface above a result tab. It paints from a 32-bit back buffer that is redrawn
// only when marked dirty, and never erases its background first, so it does not flicker. It
// takes the focus by Tab or a click and shows it by a focus frame; the arrows and the context
// menu key then act on the map, and the window's keys on its selection. Every
// change of its size lays the map out again; painting never does. A hidden surface gives its
// buffer back: on a large screen each is tens of megabytes, and only one tab shows at a time.
class TTreemapSurface : public QWidget {
  Q_OBJECT

 public:
  explicit TTreemapSurface(QWidget* Parent = nullptr);

  void SetClient(ITreemapSurfaceClient* Client) { FClient = Client; }
  // Marks the back buffer dirty and asks for a repaint.
  void Invalidate();
  bool IsDirty() const { return FBufDirty; }
  // The rectangle a map is laid out in; empty while the surface has no area.
  TRect MapRect() const { return {0, 0, width(), height()}; }

 protected:
  void paintEvent(QPaintEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  void hideEvent(QHideEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseDoubleClickEvent(QMouseEvent* Event) override;
  void leaveEvent(QEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void contextMenuEvent(QContextMenuEvent* Event) override;
  void focusInEvent(QFocusEvent* Event) override;
  void focusOutEvent(QFocusEvent* Event) override;

 private:
  void RedrawBuffer();

  ITreemapSurfaceClient* FClient = nullptr;
  QImage FBuf;
  bool FBufDirty = true;
};

// The placeholder of a surface without a treemap: a grey, centred line of 20-point text.
void DrawNoVisualization(QPainter& Canvas, const QRect& Rect, const QPalette& Palette);

}  // namespace dunstrel
