#include <QApplication>
#include <QLocale>
#include <QNetworkAccessManager>

#include "app/AppInfo.h"
#include "app/Languages.h"
#include "app/MainForm.h"
#include "app/RegionalSettings.h"
#include "app/ShellServices.h"
#include "app/UpdateStartup.h"
#include "app/UserDialogs.h"

namespace {

// Asks for an update before any window exists; false when the update dialog ends the program.
bool UpdateAllowsStart() {
  const dunstrel::TUpdateSource Source{QStringLiteral(DUNSTREL_UPDATE_URL),
                                       QStringLiteral(DUNSTREL_UPDATE_INSTALLER_PATH)};
  if (Source.BaseUrl.isEmpty()) {
    return true;
  }
  QNetworkAccessManager Network;
  const std::unique_ptr<dunstrel::IShellServices> Shell =
      dunstrel::CreateDesktopShellServices(dunstrel::FormatSettingsOf(QLocale::system()));
  const std::unique_ptr<dunstrel::IUserDialogs> Dialogs = dunstrel::CreateUserDialogs();
  return dunstrel::RunUpdateCheck(Source, Network, *Shell, *Dialogs);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication Application(argc, argv);
  QCoreApplication::setApplicationName(QLatin1String(dunstrel::kApplicationTitle));
  dunstrel::LoadTranslations(QCoreApplication::applicationDirPath());
  if (!UpdateAllowsStart()) {
    return 0;
  }
  dunstrel::TfrmMain Window;
  Window.show();
  return QApplication::exec();
}
