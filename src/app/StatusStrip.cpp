#include "app/StatusStrip.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QProgressBar>
#include <algorithm>

#include "app/ElidedLabel.h"
#include "common/Rounding.h"
#include "views/Named.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

constexpr int kDesignHeight = 27;

int ShareOf(int64_t Done, int64_t Expected) {
  const double Share = std::min(static_cast<double>(Done) / static_cast<double>(Expected), 1.0);
  return std::clamp(static_cast<int>(RoundHalfEven(Share * TStatusStrip::kProgressMaximum)), 0,
                    TStatusStrip::kProgressMaximum);
}

}  // namespace

TStatusStrip::TStatusStrip(QWidget* Parent) : QWidget(Parent) {
  setObjectName(QStringLiteral("panStatus"));
  setFixedHeight(kDesignHeight);
  auto* Layout = new QHBoxLayout(this);
  Layout->setContentsMargins(6, 0, 4, 0);
  lblStatus = Named(new TElidedLabel(QStringLiteral("Ready"), this), "lblStatus");
  lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  lblStatus->setTextFormat(Qt::PlainText);
  lblStatus->setMinimumWidth(1);
  lblStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  pb = Named(new QProgressBar(this), "pb");
  pb->setFixedSize(314, 16);
  pb->setTextVisible(false);
  pb->setRange(0, kProgressMaximum);
  pb->setValue(0);
  Layout->addWidget(lblStatus, 1);
  Layout->addWidget(pb);
}

TStatusStrip::~TStatusStrip() {
  RestoreDefaultPointer();
}

void TStatusStrip::SetText(const QString& Text, const QString& Part) {
  lblStatus->SetText(Text, Part);
  Q_EMIT TextShown(Text);
}

QString TStatusStrip::Text() const {
  return lblStatus->text();
}

void TStatusStrip::ShowProgress(int Position, int Maximum) {
  pb->setRange(0, std::max(Maximum, 1));
  pb->setValue(Position);
}

void TStatusStrip::ShowMarquee() {
  pb->setRange(0, 0);
}

void TStatusStrip::ShowWalk(const TWalkProgress& Progress, const TScanExpectation& Expected,
                            const TFormatSettings& Settings) {
  if (Expected.Entries >= 1) {
    ShowProgress(ShareOf(Progress.Files + Progress.Dirs, Expected.Entries));
  } else if (Expected.Bytes >= 1) {
    ShowProgress(Progress.Bytes > 0 ? ShareOf(Progress.Bytes, Expected.Bytes) : 0);
  } else {
    ShowMarquee();
  }
  if (!Progress.Path.empty()) {
    SetText(ShownText(FormatText(Translate("Scanning: %s  (files: %d, dirs: %d)"),
                                 {Progress.Path, Progress.Files, Progress.Dirs}, Settings)),
            ShownText(Progress.Path));
  } else {
    SetText(ShownText(FormatText(Translate("Scanning... (files: %d, dirs: %d)"),
                                 {Progress.Files, Progress.Dirs}, Settings)));
  }
}

void TStatusStrip::ShowBuild(const TBuildStatus& Status) {
  if (Status.Maximum > 0) {
    const int Maximum = static_cast<int>(std::min<int64_t>(Status.Maximum, INT32_MAX));
    ShowProgress(static_cast<int>(std::min<int64_t>(Status.Position, Maximum)), Maximum);
  } else {
    ShowMarquee();
  }
  SetText(ShownText(Status.Text));
}

void TStatusStrip::ShowBusyPointer() {
  if (!FBusyPointerShown) {
    QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    FBusyPointerShown = true;
  }
}

void TStatusStrip::RestoreDefaultPointer() {
  if (FBusyPointerShown) {
    QGuiApplication::restoreOverrideCursor();
    FBusyPointerShown = false;
  }
}

int TStatusStrip::LeastHeight() const {
  return std::max(kDesignHeight, layout()->minimumSize().height() + 4);
}

}  // namespace dunstrel
