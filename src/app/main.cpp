#include <QApplication>

#include "app/AppInfo.h"
#include "app/MainForm.h"

int main(int argc, char* argv[]) {
  QApplication Application(argc, argv);
  QCoreApplication::setApplicationName(QLatin1String(dunstrel::kApplicationTitle));
  dunstrel::TfrmMain Window;
  Window.show();
  return QApplication::exec();
}
