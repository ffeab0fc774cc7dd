#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>

#include "localisation/TextFormat.h"
#include "results/ResultsBuilder.h"
#include "results/ScanJob.h"

class QProgressBar;

namespace dunstrel {

class TElidedLabel;

// How much a whole-computer scan will meet, as its file systems count it; 0 when unknown.
struct TScanExpectation {
  int64_t Bytes = 0;
  int64_t Entries = 0;
};

// The strip at the bottom of the window: the one line of status text, the progress bar, and
// the busy pointer shown while the window works for the user.
class TStatusStrip final : public QWidget {
  Q_OBJECT

 public:
  // The bar's range in its normal style.
  static constexpr int kProgressMaximum = 1000;

  explicit TStatusStrip(QWidget* Parent = nullptr);
  ~TStatusStrip() override;

  // Shows Text; when it is too wide, Part (a path within it) loses its middle first.
  void SetText(const QString& Text, const QString& Part = {});
  QString Text() const;

  // The bar in its normal style, at Position of kProgressMaximum, or of Maximum.
  void ShowProgress(int Position, int Maximum = kProgressMaximum);
  // The bar moving on its own: work of unknown length.
  void ShowMarquee();

  // How far a walk has come: the bar against what the walk will meet (the marquee when that is
  // unknown), the text with the folder being walked and the counts.
  void ShowWalk(const TWalkProgress& Progress, const TScanExpectation& Expected,
                const TFormatSettings& Settings);
  // A step of the results' build: its text, and the bar counting it or moving on its own.
  void ShowBuild(const TBuildStatus& Status);

  void ShowBusyPointer();
  void RestoreDefaultPointer();

  // The least height that holds the text in the present font.
  int LeastHeight() const;

 Q_SIGNALS:
  // Every text shown, as it is shown.
  void TextShown(const QString& Text);

 private:
  TElidedLabel* lblStatus;
  QProgressBar* pb;
  bool FBusyPointerShown = false;
};

}  // namespace dunstrel
