#include "app/WindowFixture.h"

#include <QComboBox>
#include "app/StatusStrip.h"

namespace dunstrel::testing {

void WindowTest::ChoosePath(const QString& Typed) const {
  Click("rbCustomPath");
  Find<QComboBox>("cmbCustomPath")->setEditText(Typed);
}

bool WindowTest::StoppingAt(const QString& StopAt, const std::function<void()>& Start) const {
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
  Start();
  const bool Idle = WaitUntilIdle();
  QObject::disconnect(Watch);
  return Idle && Seen;
}

bool WindowTest::ScanStoppingAt(const QString& Folder, const QString& StopAt) const {
  return StoppingAt(StopAt, [&] {
    ChoosePath(Folder);
    Click("btnScan");
  });
}

}  // namespace dunstrel::testing
