#pragma once

#include <QStyledItemDelegate>

namespace dunstrel {

// The role under which a legend row keeps its colour (a TColor, 0x00BBGGRR).
inline constexpr int kSwatchColorRole = Qt::UserRole + 1;

// Draws the "Color" cell of a legend as a swatch: the cell inset 8 pixels left and right and 4
// at the top and bottom, filled with the row's colour and outlined in black.
class TColorSwatchDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* Painter, const QStyleOptionViewItem& Option,
             const QModelIndex& Index) const override;
};

}  // namespace dunstrel
