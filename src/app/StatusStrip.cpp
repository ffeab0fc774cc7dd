#include "app/StatusStrip.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QProgressBar>
#include <algorithm>

#include "app/ElidedLabel.h"
#include "views/Named.h"

namespace dunstrel {

namespace {

constexpr int kDesignHeight = 27;

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
