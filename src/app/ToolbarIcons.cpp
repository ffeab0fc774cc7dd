#include "app/ToolbarIcons.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

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

}  // namespace

QIcon ToolbarIcon(const QString& Name) {
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

}  // namespace dunstrel
