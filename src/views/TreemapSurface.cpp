#include "views/TreemapSurface.h"

#include <QPainter>

#include "localisation/translation.h"

namespace dunstrel {

TTreemapSurface::TTreemapSurface(QWidget* Parent) : QWidget(Parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
}

void TTreemapSurface::Invalidate() {
  FBufDirty = true;
  update();
}

void TTreemapSurface::Freeze() {
  FFrozen = true;
}

void TTreemapSurface::paintEvent(QPaintEvent*) {
  if (FFrozen || width() < 1 || height() < 1) {
    return;
  }
  if (FBuf.size() != size()) {
    FBuf = QImage(size(), QImage::Format_RGB32);
    FBufDirty = true;
  }
  if (FBufDirty) {
    RedrawBuffer();
    FBufDirty = false;
  }
  QPainter Canvas(this);
  Canvas.drawImage(0, 0, FBuf);
}

void TTreemapSurface::RedrawBuffer() {
  QPainter Canvas(&FBuf);
  const QRect Whole(QPoint(0, 0), FBuf.size());
  Canvas.fillRect(Whole, palette().color(QPalette::Button));
  DrawNoVisualization(Canvas, Whole, palette());
}

void DrawNoVisualization(QPainter& Canvas, const QRect& Rect, const QPalette& Palette) {
  Canvas.save();
  Canvas.setPen(Palette.color(QPalette::Disabled, QPalette::Text));
  QFont Font = Canvas.font();
  Font.setPointSize(20);
  Canvas.setFont(Font);
  Canvas.drawText(Rect, Qt::AlignCenter | Qt::TextSingleLine,
                  QString::fromStdString(Translate("Visualization not available")));
  Canvas.restore();
}

}  // namespace dunstrel
