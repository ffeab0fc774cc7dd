#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/UserDialogs.h"

namespace dunstrel::testing {
namespace {

// Waits for the box to open, notes what it shows and presses Enter in it.
struct TBoxSeen {
  QString Text;
  Qt::TextFormat Format = Qt::AutoText;
  bool NoIsDefault = false;
};

void PressEnterInTheBox(TBoxSeen& Seen) {
  auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (Box == nullptr) {
    QTimer::singleShot(10, [&Seen] { PressEnterInTheBox(Seen); });
    return;
  }
  Seen.Text = Box->text();
  Seen.Format = Box->textFormat();
  Seen.NoIsDefault = Box->defaultButton() != nullptr &&
                     Box->standardButton(Box->defaultButton()) == QMessageBox::No;
  QTest::keyClick(Box, Qt::Key_Return);
}

// A removal's question names files, whose names may look like markup; Enter must not remove.
TEST(UserDialogsTest, QuestionsShowPathsAsTheyAreAndEnterAnswersNo) {
  const std::unique_ptr<IUserDialogs> Dialogs = CreateUserDialogs();
  const QString Text = QStringLiteral("Permanently delete 1 item(s)?\n\n/d/<b>bold</b>&amp;");
  for (const bool Warning : {false, true}) {
    SCOPED_TRACE(Warning);
    TBoxSeen Seen;
    QTimer::singleShot(0, [&Seen] { PressEnterInTheBox(Seen); });
    EXPECT_FALSE(Dialogs->AskYesNo(nullptr, Text, Warning));
    EXPECT_EQ(Seen.Text, Text);
    EXPECT_EQ(Seen.Format, Qt::PlainText);
    EXPECT_TRUE(Seen.NoIsDefault);
  }
}

}  // namespace
}  // namespace dunstrel::testing
