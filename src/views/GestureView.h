#pragma once

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace dunstrel {

// A list or tree that knows, while it reports a change of its selection, whether the user's
// gesture keeps the rest of the selection (Ctrl or Shift held: a row toggled or a range added)
// or replaces it (a plain click or arrow key). Changes made in code replace.
template <typename TBase>
class TGestureView : public TBase {
 public:
  using TBase::TBase;

  bool GestureKeepsTheRest() const { return FKeepsTheRest; }

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

 private:
  template <typename TEvent, typename THandle>
  void During(const TEvent* Event, THandle Handle) {
    const bool Was = FKeepsTheRest;
    FKeepsTheRest = (Event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) != 0;
    Handle();
    FKeepsTheRest = Was;
  }

  bool FKeepsTheRest = false;
};

}  // namespace dunstrel
