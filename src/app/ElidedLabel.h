#pragma once

#include <QLabel>

namespace dunstrel {

// A one-line label that shortens its text in the middle when it does not fit. The text itself
// is kept whole; only its drawing is shortened.
class TElidedLabel final : public QLabel {
 public:
  using QLabel::QLabel;

  // Shows Text. When it is too wide, Part (a piece of Text, such as a path) loses its middle
  // first, so that what stands before and after it stays whole: the counts after a long path
  // stay in view.
  void SetText(const QString& Text, const QString& Part = {});
  // The text as it is drawn at the label's present width.
  QString DisplayedText() const;

 protected:
  void paintEvent(QPaintEvent* Event) override;

 private:
  QString FPart;
};

}  // namespace dunstrel
