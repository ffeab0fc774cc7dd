#include "app/Toolbar.h"

#include <QHBoxLayout>
#include <QToolButton>

#include "app/ToolbarIcons.h"
#include "platform/Desktop.h"
#include "views/Named.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

constexpr int kHeight = 41;
constexpr int kButtonWidth = 60;
constexpr int kIconSize = 35;

QToolButton* MakeButton(QWidget* Parent, const char* Name, const char* IconName) {
  auto* Button = Named(new QToolButton(Parent), Name);
  Button->setAutoRaise(true);
  Button->setFixedSize(kButtonWidth, kHeight);
  Button->setIconSize(QSize(kIconSize, kIconSize));
  Button->setIcon(ToolbarIcon(QLatin1String(IconName)));
  Button->setFocusPolicy(Qt::NoFocus);
  return Button;
}

}  // namespace

TToolbar::TToolbar(QWidget* Parent)
    : QWidget(Parent),
      btnScan(MakeButton(this, "btnScan", "scan")),
      btnStop(MakeButton(this, "btnStop", "stop")),
      btnOpen(MakeButton(this, "btnOpen", "open-file")),
      btnCopyPath(MakeButton(this, "btnCopyPath", "clipboard")),
      btnOpenExplorer(MakeButton(this, "btnOpenExplorer", "open-folder")),
      btnShowProperties(MakeButton(this, "btnShowProperties", "file-properties")),
      btnRemoveToRecycleBin(MakeButton(this, "btnRemoveToRecycleBin", "recycle")),
      btnRemove(MakeButton(this, "btnRemove", "delete-file")),
      btnWebsite(MakeButton(this, "btnWEbsite", "domain")),
      btnAbout(MakeButton(this, "btnAbout", "info")) {
  setObjectName(QStringLiteral("Panel4"));
  setFixedHeight(kHeight);
  auto* Layout = new QHBoxLayout(this);
  Layout->setContentsMargins(0, 0, 4, 0);
  Layout->setSpacing(0);
  for (QToolButton* Button : {btnScan, btnStop, btnOpen, btnCopyPath, btnOpenExplorer,
                              btnShowProperties, btnRemoveToRecycleBin, btnRemove}) {
    Layout->addWidget(Button);
  }
  Layout->addStretch(1);
  Layout->addWidget(btnWebsite);
  Layout->addWidget(btnAbout);
}

void TToolbar::ApplyTranslation() {
  // The desktop's own name for its trash.
  constexpr bool RecycleBin = platform::kDesktopSaysRecycleBin;
  for (const auto& [Button, English] :
       {std::pair<QToolButton*, const char*>{btnScan, "Scan"},
        {btnStop, "Stop"},
        {btnOpen, "Open / View"},
        {btnCopyPath, "Copy path(s) to clipboard"},
        {btnOpenExplorer, "Open containing folder"},
        {btnShowProperties, "Show Properties..."},
        {btnRemoveToRecycleBin, RecycleBin ? "Move to Recycle Bin" : "Move to Trash"},
        {btnRemove, "Delete permanently"},
        {btnWebsite, "Visit Website"},
        {btnAbout, "About..."}}) {
    Button->setToolTip(TranslatedText(English));
  }
}

}  // namespace dunstrel
