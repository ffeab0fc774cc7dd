#include "app/ToolbarIcons.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <utility>

// The resources live in a static library, so they are registered explicitly before first use.
static void RegisterToolbarIconResources() {
  Q_INIT_RESOURCE(ToolbarIcons);
}

namespace dunstrel {

namespace {

constexpr int kIconSize = 35;

QPixmap Render(QSvgRenderer& Renderer, int Size) {
  QPixmap Picture(Size, Size);
  Picture.fill(Qt::transparent);
  QPainter Painter(&Picture);
  Painter.setRenderHint(QPainter::Antialiasing);
  Renderer.render(&Painter);
  return Picture;
}

QIcon OwnIcon(const QString& Name) {
  static const bool Registered = (RegisterToolbarIconResources(), true);
  (void)Registered;
  QSvgRenderer Renderer(QStringLiteral(":/toolbar/%1.svg").arg(Name));
  QIcon Icon;
  if (!Renderer.isValid()) {
    return Icon;
  }
  Icon.addPixmap(Render(Renderer, kIconSize));
  Icon.addPixmap(Render(Renderer, kIconSize * 2));
  return Icon;
}

// The names the freedesktop icon naming specification gives the same meanings.
const char* ThemeNameOf(const QString& Name) {
  static constexpr std::pair<const char*, const char*> kThemeNames[] = {
      {"scan", "system-search"},          {"stop", "process-stop"},
      {"open-file", "document-open"},     {"clipboard", "edit-copy"},
      {"open-folder", "folder-open"},     {"file-properties", "document-properties"},
      {"recycle", "user-trash"},          {"delete-file", "edit-delete"},
      {"domain", "internet-web-browser"}, {"info", "help-about"},
  };
  for (const auto& [Own, Theme] : kThemeNames) {
    if (Name == QLatin1String(Own)) {
      return Theme;
    }
  }
  return nullptr;
}

}  // namespace

QIcon ToolbarIcon(const QString& Name) {
  const char* Theme = ThemeNameOf(Name);
  return Theme != nullptr ? QIcon::fromTheme(QLatin1String(Theme), OwnIcon(Name)) : OwnIcon(Name);
}

}  // namespace dunstrel
