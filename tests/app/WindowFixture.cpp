#include "app/WindowFixture.h"

#include <QComboBox>

namespace dunstrel::testing {

void WindowTest::ChoosePath(const QString& Typed) const {
  Click("rbCustomPath");
  Find<QComboBox>("cmbCustomPath")->setEditText(Typed);
}

}  // namespace dunstrel::testing
