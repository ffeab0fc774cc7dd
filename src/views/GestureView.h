#pragma once

#include <QAbstractItemView>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <functional>
#include <utility>

namespace dunstrel {

// A list or tree that knows, while it reports a change of its selection, whether the user's
// gesture keeps the rest of the selection (Ctrl or Shift held: a row toggled or a range added)
// or replaces it (a plain click or arrow key). Changes made in code replace. Its context menu,
// by the mouse or the keyboard, goes to a handler given the place on the screen and the row
// under the mouse (none by the keyboard).
template <typename TBase>
class TGestureView : public TBase {
 public:
  using TBase::TBase;

  bool GestureKeepsTheRest() const { return FKeepsTheRest; }

  using TContextMenuHandler = std::function<void(const QPoint& Global, const QModelIndex& Under)>;
  void SetContextMenuHandler(TContextMenuHandler Handler) { FContextMenu = std::move(Handler); }

 protected:
  void mousePressEvent(QMouseEvent* Event) override {
    During(Event, [&] { TBase::mousePressEvent(Event); });
  }
  void mouseMoveEvent(QMouseEvent* Event) override {
    During(Event, [&] { TBase::mouseMoveEvent(Event); });
  }
  void mouseReleaseEvent(QMouseEvent* Event) override {
    During(Event, [&] { TBase::mouseReleaseEvent(Event); });
  }
  void mouseDoubleClickEvent(QMouseEvent* Event) override {
    During(Event, [&] { TBase::mouseDoubleClickEvent(Event); });
  }
  void keyPressEvent(QKeyEvent* Event) override {
    During(Event, [&] { TBase::keyPressEvent(Event); });
  }
  void contextMenuEvent(QContextMenuEvent* Event) override {
    if (!FContextMenu) {
      TBase::contextMenuEvent(Event);
      return;
    }
    if (Event->reason() != QContextMenuEvent::Keyboard) {
      FContextMenu(Event->globalPos(), this->indexAt(Event->pos()));
      return;
    }
    // By the keyboard the menu opens at the current row, or amid the rows without one.
    const QModelIndex Current = this->currentIndex();
    const QRect Row = Current.isValid() ? this->visualRect(Current) : QRect();
    const QPoint At = Row.isValid() && this->viewport()->rect().intersects(Row)
                          ? QPoint(Row.left() + 16, Row.center().y())
                          : this->viewport()->rect().center();
    FContextMenu(this->viewport()->mapToGlobal(At), QModelIndex());
  }

 private:
  template <typename TEvent, typename THandle>
  void During(const TEvent* Event, THandle Handle) {
    const bool Was = FKeepsTheRest;
    FKeepsTheRest = (Event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) != 0;
    Handle();
    FKeepsTheRest = Was;
  }

  bool FKeepsTheRest = false;
  TContextMenuHandler FContextMenu;
};

}  // namespace dunstrel
