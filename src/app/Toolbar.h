#pragma once

#include <QWidget>

class QToolButton;

namespace dunstrel {

// The row of buttons at the top of the window: scanning, the file commands, and at its right
// end the web site and the About box. The window connects them.
class TToolbar final : public QWidget {
 public:
  explicit TToolbar(QWidget* Parent = nullptr);
  // The tooltips in the current language.
  void ApplyTranslation();

  QToolButton* btnScan;
  QToolButton* btnStop;
  QToolButton* btnOpen;
  QToolButton* btnCopyPath;
  QToolButton* btnOpenExplorer;
  QToolButton* btnShowProperties;
  QToolButton* btnRemoveToRecycleBin;
  QToolButton* btnRemove;
  QToolButton* btnWebsite;
  QToolButton* btnAbout;
};

}  // namespace dunstrel
