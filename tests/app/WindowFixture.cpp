#include "app/WindowFixture.h"

#include <QComboBox>
#include <QTimer>

namespace dunstrel::testing {

void WindowTest::ChoosePath(const QString& Typed) const {
  Click("rbCustomPath");
  Find<QComboBox>("cmbCustomPath")->setEditText(Typed);
}

bool WindowTest::ScanStoppingAt(const QString& Folder, const QString& StopAt) const {
  QTimer Watcher;
  QObject::connect(&Watcher, &QTimer::timeout, [&] {
    if (Status() == StopAt) {
      Click("btnStop");
    }
  });
  Watcher.start(0);
  ChoosePath(Folder);
  Click("btnScan");
  return WaitUntilIdle();
}

}  // namespace dunstrel::testing
