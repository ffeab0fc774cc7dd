#include "app/TopPanel.h"

#include <QHBoxLayout>
#include <QResizeEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "app/FilterPanel.h"
#include "app/SourcePanel.h"
#include "app/Toolbar.h"

namespace dunstrel {

namespace {

constexpr int kDesignHeight = 116;
constexpr int kGroupHeight = 53;
constexpr int kSourceGroupWidth = 470;
constexpr int kGroupSpacing = 19;

}  // namespace

TTopPanel::TTopPanel(IUserDialogs& Dialogs, const platform::IVolumes& Volumes,
                     const TFormatSettings& Settings, QWidget* Parent)
    : QWidget(Parent),
      Toolbar(new TToolbar(this)),
      Source(new TSourcePanel(Dialogs, Volumes, this)),
      Filters(new TFilterPanel(Settings, this)) {
  setObjectName(QStringLiteral("pnlTop"));
  setFixedHeight(kDesignHeight);
  // Like the rest of the window, the panel may be narrower than its controls: they are cut off
  // at the right instead of holding the window wide.
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  auto* Layout = new QVBoxLayout(this);
  Layout->setContentsMargins(8, 8, 4, 13);
  Layout->setSpacing(1);
  Layout->addWidget(Toolbar);
  auto* Groups = new QHBoxLayout;
  Groups->setSpacing(kGroupSpacing);
  Source->setFixedSize(kSourceGroupWidth, kGroupHeight);
  Filters->setFixedHeight(kGroupHeight);
  Groups->addWidget(Source);
  Groups->addWidget(Filters, 1);
  Layout->addLayout(Groups);
}

void TTopPanel::FitToText() {
  // The design sizes hold the captions at 96 dots per inch in English; larger text or longer
  // words make the boxes grow rather than cut their controls.
  Source->setFixedHeight(std::max(kGroupHeight, Source->minimumSizeHint().height()));
  Filters->setFixedHeight(std::max(kGroupHeight, Filters->minimumSizeHint().height()));
  setFixedHeight(std::max(kDesignHeight, layout()->minimumSize().height()));
  FitToWidth(width());
}

void TTopPanel::FitToWidth(int Width) {
  // The source box keeps its design width while there is room, and gives way down to what its
  // own controls need before the filter box's controls would be cut.
  const QMargins Margins = layout()->contentsMargins();
  const int Least = Source->minimumSizeHint().width();
  const int Room =
      Width - Margins.left() - Margins.right() - kGroupSpacing - Filters->minimumSizeHint().width();
  Source->setFixedWidth(std::clamp(Room, Least, std::max(Least, kSourceGroupWidth)));
}

int TTopPanel::LeastWidth() const {
  const QMargins Margins = layout()->contentsMargins();
  return std::max(Toolbar->minimumSizeHint().width(), Source->minimumSizeHint().width() +
                                                          kGroupSpacing +
                                                          Filters->minimumSizeHint().width()) +
         Margins.left() + Margins.right();
}

void TTopPanel::resizeEvent(QResizeEvent* Event) {
  QWidget::resizeEvent(Event);
  FitToWidth(Event->size().width());
}

}  // namespace dunstrel
