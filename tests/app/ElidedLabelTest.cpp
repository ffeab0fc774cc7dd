#include <gtest/gtest.h>

#include "app/ElidedLabel.h"

namespace dunstrel::testing {
namespace {

TEST(ElidedLabelTest, ALongPathLosesItsMiddleAndTheCountsStayInView) {
  TElidedLabel Label;
  Label.resize(300, 20);
  const QString Counts = QStringLiteral("  (files: 123456, dirs: 7890)");
  const QString Path =
      QStringLiteral("/home/someone") + QStringLiteral("/a-rather-long-folder-name").repeated(20);
  const QString Text = QStringLiteral("Scanning: ") + Path + Counts;
  Label.SetText(Text, Path);
  EXPECT_EQ(Label.text(), Text) << "the text itself is kept whole";
  const QString Shown = Label.DisplayedText();
  EXPECT_TRUE(Shown.startsWith(QStringLiteral("Scanning: /"))) << Shown.toStdString();
  EXPECT_TRUE(Shown.endsWith(Counts)) << Shown.toStdString();
  EXPECT_TRUE(Shown.contains(QChar(0x2026))) << Shown.toStdString();

  Label.SetText(QStringLiteral("Ready"));
  EXPECT_EQ(Label.DisplayedText(), QStringLiteral("Ready"));
}

}  // namespace
}  // namespace dunstrel::testing
