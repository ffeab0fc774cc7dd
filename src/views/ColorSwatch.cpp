#include "views/ColorSwatch.h"

#include <QPainter>

#include "views/ImageCanvas.h"

namespace dunstrel {

void TColorSwatchDelegate::paint(QPainter* Painter, const QStyleOptionViewItem& Option,
                                 const QModelIndex& Index) const {
  const QVariant Color = Index.siblingAtColumn(0).data(kSwatchColorRole);
  if (!Color.isValid()) {
    QStyledItemDelegate::paint(Painter, Option, Index);
    return;
  }
  const QRect Swatch = Option.rect.adjusted(8, 4, -8, -4);
  if (Swatch.width() < 1 || Swatch.height() < 1) {
    return;
  }
  Painter->save();
  Painter->fillRect(Swatch, QColor(PixelOf(Color.value<uint32_t>())));
  Painter->setPen(QPen(Qt::black, 1));
  Painter->setBrush(Qt::NoBrush);
  Painter->drawRect(Swatch.adjusted(0, 0, -1, -1));
  Painter->restore();
}

}  // namespace dunstrel
