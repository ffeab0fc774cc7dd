#include "app/WindowFixture.h"

#include <QComboBox>
#include "app/StatusStrip.h"

namespace dunstrel::testing {

void WindowTest::ChoosePath(const QString& Typed) const {
  Click("rbCustomPath");
  Find<QComboBox>("cmbCustomPath")->setEditText(Typed);
}

bool WindowTest::ScanStoppingAt(const QString& Folder, const QString& StopAt) const {
  // Stop is pressed as the user would press it while the text is shown: as the next event.
  bool Seen = false;
  const QMetaObject::Connection Watch = QObject::connect(
      Find<TStatusStrip>("panStatus"), &TStatusStrip::TextShown, Window.get(),
      [&](const QString& Text) {
        if (Text == StopAt && !Seen) {
          Seen = true;
          Click("btnStop");
        }
      },
      Qt::QueuedConnection);
  ChoosePath(Folder);
  Click("btnScan");
  const bool Idle = WaitUntilIdle();
  QObject::disconnect(Watch);
  return Idle && Seen;
}

}  // namespace dunstrel::testing
