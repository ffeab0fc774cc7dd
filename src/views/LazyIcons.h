#pragma once

#include <QStyledItemDelegate>
#include <functional>

namespace dunstrel {

// Gives the cells of a column their icons when they are drawn, not when their rows are made:
// asking the desktop for an icon costs far more than a row, and only the rows on screen need
// one.
class TLazyIconDelegate final : public QStyledItemDelegate {
 public:
  using TIconOf = std::function<QIcon(const QModelIndex& Index)>;

  TLazyIconDelegate(TIconOf IconOf, QObject* Parent)
      : QStyledItemDelegate(Parent), FIconOf(std::move(IconOf)) {}

 protected:
  void initStyleOption(QStyleOptionViewItem* Option, const QModelIndex& Index) const override {
    QStyledItemDelegate::initStyleOption(Option, Index);
    Option->icon = FIconOf(Index);
    if (!Option->icon.isNull()) {
      Option->features |= QStyleOptionViewItem::HasDecoration;
    }
  }

 private:
  TIconOf FIconOf;
};

}  // namespace dunstrel
