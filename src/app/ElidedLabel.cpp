#include "app/ElidedLabel.h"

#include <QPainter>
#include <QStyle>

namespace dunstrel {

void TElidedLabel::SetText(const QString& Text, const QString& Part) {
  FPart = Part;
  setText(Text);
}

QString TElidedLabel::DisplayedText() const {
  const QFontMetrics Metrics = fontMetrics();
  const int Room = contentsRect().width();
  const QString Whole = text();
  const qsizetype At = FPart.isEmpty() ? -1 : Whole.indexOf(FPart);
  if (Metrics.horizontalAdvance(Whole) <= Room || At < 0) {
    return Metrics.elidedText(Whole, Qt::ElideMiddle, Room);
  }
  const QString Before = Whole.left(At);
  const QString After = Whole.mid(At + FPart.size());
  const int PartRoom = Room - Metrics.horizontalAdvance(Before) - Metrics.horizontalAdvance(After);
  if (PartRoom < Metrics.horizontalAdvance(QStringLiteral("\u2026"))) {
    return Metrics.elidedText(Whole, Qt::ElideMiddle, Room);
  }
  return Before + Metrics.elidedText(FPart, Qt::ElideMiddle, PartRoom) + After;
}

void TElidedLabel::paintEvent(QPaintEvent*) {
  QPainter Painter(this);
  style()->drawItemText(&Painter, contentsRect(), static_cast<int>(alignment()), palette(),
                        isEnabled(), DisplayedText(), foregroundRole());
}

}  // namespace dunstrel
