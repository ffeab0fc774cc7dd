#pragma once

#include <QWidget>

#include "localisation/TextFormat.h"
#include "platform/Volumes.h"

namespace dunstrel {

class IUserDialogs;
class TFilterPanel;
class TSourcePanel;
class TToolbar;

// The panel above the tabs: the toolbar, and below it the "Sources" and "Exclude Files" boxes
// side by side. The View menu shows and hides it whole.
class TTopPanel final : public QWidget {
 public:
  TTopPanel(IUserDialogs& Dialogs, const platform::IVolumes& Volumes,
            const TFormatSettings& Settings, QWidget* Parent = nullptr);

  // Grows the boxes to their captions in the present language and font.
  void FitToText();
  // Narrows the source box when the panel is too narrow for both boxes at their design widths.
  void FitToWidth(int Width);
  // The least width that shows every control whole.
  int LeastWidth() const;

  TToolbar* const Toolbar;
  TSourcePanel* const Source;
  TFilterPanel* const Filters;

 protected:
  void resizeEvent(QResizeEvent* Event) override;
};

}  // namespace dunstrel
