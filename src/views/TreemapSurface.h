#pragma once

#include <QImage>
#include <QWidget>

class QPainter;

namespace dunstrel {

// A drawing surface above a result tab. It paints from a 32-bit back buffer that is redrawn
// only when marked dirty, and never erases its background first, so it does not flicker.
class TTreemapSurface : public QWidget {
 public:
  explicit TTreemapSurface(QWidget* Parent = nullptr);

  // Marks the back buffer dirty and asks for a repaint.
  void Invalidate();
  // From now on paint events draw nothing (the window is closing).
  void Freeze();
  bool IsDirty() const { return FBufDirty; }

 protected:
  void paintEvent(QPaintEvent* Event) override;

 private:
  void RedrawBuffer();

  QImage FBuf;
  bool FBufDirty = true;
  bool FFrozen = false;
};

// The placeholder of a surface without a treemap: a grey, centred line of 20-point text.
void DrawNoVisualization(QPainter& Canvas, const QRect& Rect, const QPalette& Palette);

}  // namespace dunstrel
