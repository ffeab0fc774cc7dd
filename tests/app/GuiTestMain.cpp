#include <gtest/gtest.h>

#include <QApplication>

// The GUI tests drive real windows on Qt's off-screen platform, so they need no display.
int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication Application(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Dunstrel"));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
