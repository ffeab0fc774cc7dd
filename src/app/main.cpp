#include <QApplication>
#include <QCoreApplication>
#include <QLocale>
#include <QNetworkAccessManager>
#include <cstdio>
#include <string>
#include <vector>

#include "app/AppInfo.h"
#include "app/CommandLine.h"
#include "app/Languages.h"
#include "app/MainForm.h"
#include "app/RegionalSettings.h"
#include "app/ShellServices.h"
#include "app/UpdateStartup.h"
#include "app/UserDialogs.h"
#include "platform/Console.h"
#include "results/HeadlessExport.h"

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
  // Read before any window system is touched, so that --version and --help work without one.
  const dunstrel::TCommandLine Command =
      dunstrel::ParseCommandLine(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
  switch (Command.Action) {
    case dunstrel::TCommandLine::TAction::PrintVersion:
      std::printf("%s %s\n", dunstrel::kApplicationTitle, dunstrel::kVersionText);
      return 0;
    case dunstrel::TCommandLine::TAction::PrintHelp:
      std::fputs(dunstrel::CommandLineHelp().c_str(), stdout);
      return 0;
    case dunstrel::TCommandLine::TAction::Refuse:
      std::fprintf(stderr, "dunstrel: %s\nTry 'dunstrel --help'.\n", Command.Problem.c_str());
      return 2;
    case dunstrel::TCommandLine::TAction::ExportScan: {
      // No window system is touched: this runs on a server over a plain terminal session. The
      // messages are in the user's language, as the window's would be.
      const QCoreApplication Core(argc, argv);
      dunstrel::LoadTranslations(QCoreApplication::applicationDirPath());
      return dunstrel::ExportScanOfFolder(
          Command.ScanFile, Command.ScanPath,
          dunstrel::platform::StandardErrorIsTerminal() ? stderr : nullptr, stderr);
    }
    case dunstrel::TCommandLine::TAction::ShowWindow:
      break;
  }

  QApplication Application(argc, argv);
  QCoreApplication::setApplicationName(QLatin1String(dunstrel::kApplicationTitle));
  QGuiApplication::setDesktopFileName(QStringLiteral("org.example.dunstrel"));
  dunstrel::LoadTranslations(QCoreApplication::applicationDirPath());
  if (!UpdateAllowsStart()) {
    return 0;
  }
  dunstrel::TfrmMain Window;
  Window.show();
  if (!Command.CompareWith.empty()) {
    Window.CompareOnceShown(Command.CompareWith);
  }
  if (!Command.ScanPath.empty()) {
    Window.ScanFolder(Command.ScanPath);
  } else if (!Command.ScanFile.empty()) {
    Window.OpenScanFile(Command.ScanFile);
  }
  return QApplication::exec();
}
