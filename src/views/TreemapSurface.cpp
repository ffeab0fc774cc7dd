#include "views/TreemapSurface.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QToolTip>
#include <utility>

#include "views/ImageCanvas.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

TPoint PointOf(const QMouseEvent* Event) {
  const QPoint At = Event->position().toPoint();
  return {At.x(), At.y()};
}

}  // namespace

TTreemapSurface::TTreemapSurface(QWidget* Parent) : QWidget(Parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
}

void TTreemapSurface::Invalidate() {
  FBufDirty = true;
  update();
}

void TTreemapSurface::paintEvent(QPaintEvent*) {
  if (width() < 1 || height() < 1) {
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
  if (hasFocus()) {
    QStyleOptionFocusRect Frame;
    Frame.initFrom(this);
    Frame.rect = rect().adjusted(1, 1, -1, -1);
    Frame.backgroundColor = palette().color(QPalette::Window);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &Frame, &Canvas, this);
  }
}

void TTreemapSurface::resizeEvent(QResizeEvent* Event) {
  QWidget::resizeEvent(Event);
  if (FClient != nullptr && width() > 0 && height() > 0) {
    FClient->RebuildMap();
  }
}

void TTreemapSurface::hideEvent(QHideEvent* Event) {
  QWidget::hideEvent(Event);
  FBuf = QImage();
  FBufDirty = true;
}

void TTreemapSurface::mousePressEvent(QMouseEvent* Event) {
  // The right button leaves the selection to the context menu, which keeps it when the cell
  // under the mouse is in it.
  if (FClient != nullptr && Event->button() == Qt::LeftButton) {
    FClient->MapMouseDown(PointOf(Event), Event->modifiers().testFlag(Qt::ControlModifier));
  }
}

void TTreemapSurface::mouseMoveEvent(QMouseEvent* Event) {
  if (FClient == nullptr) {
    return;
  }
  bool Changed = false;
  const QString Hint = FClient->MapHint(PointOf(Event), Changed);
  if (!Changed) {
    return;
  }
  setToolTip(Hint);
  // Shown at once at the cursor rather than after the usual delay.
  if (Hint.isEmpty()) {
    QToolTip::hideText();
  } else {
    QToolTip::showText(Event->globalPosition().toPoint(), Hint, this);
  }
}

void TTreemapSurface::mouseDoubleClickEvent(QMouseEvent* Event) {
  if (FClient != nullptr && Event->button() == Qt::LeftButton) {
    FClient->MapDoubleClick();
  }
}

void TTreemapSurface::leaveEvent(QEvent* Event) {
  QWidget::leaveEvent(Event);
  QToolTip::hideText();
}

void TTreemapSurface::keyPressEvent(QKeyEvent* Event) {
  static constexpr std::pair<int, TArrow> kArrows[] = {{Qt::Key_Left, TArrow::Left},
                                                       {Qt::Key_Right, TArrow::Right},
                                                       {Qt::Key_Up, TArrow::Up},
                                                       {Qt::Key_Down, TArrow::Down}};
  for (const auto& [Key, Way] : kArrows) {
    if (Event->key() == Key && FClient != nullptr) {
      FClient->MapArrow(Way);
      return;
    }
  }
  QWidget::keyPressEvent(Event);
}

void TTreemapSurface::contextMenuEvent(QContextMenuEvent* Event) {
  if (FClient == nullptr) {
    return;
  }
  if (Event->reason() == QContextMenuEvent::Keyboard) {
    FClient->MapContextMenu(std::nullopt);
  } else {
    FClient->MapContextMenu(TPoint{Event->pos().x(), Event->pos().y()});
  }
}

// The focus frame is drawn over the buffer, which stays as it is.
void TTreemapSurface::focusInEvent(QFocusEvent* Event) {
  QWidget::focusInEvent(Event);
  update();
}

void TTreemapSurface::focusOutEvent(QFocusEvent* Event) {
  QWidget::focusOutEvent(Event);
  update();
}

void TTreemapSurface::RedrawBuffer() {
  if (FClient != nullptr && FClient->HasMapData()) {
    TImageCanvas Canvas(FBuf);
    FClient->PaintMap(Canvas);
    return;
  }
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
                  TranslatedText("Visualization not available"));
  Canvas.restore();
}

}  // namespace dunstrel
