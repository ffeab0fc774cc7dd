#include "app/ScanFileDialogs.h"

#include <QFile>

#include "app/StatusStrip.h"
#include "app/UserDialogs.h"
#include "results/ScanExport.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

QString ScanFileFilter() {
  return TranslatedText("Scan files") + QStringLiteral(" (*.json);;") +
         TranslatedText("All files") + QStringLiteral(" (*)");
}

std::string NativeName(const QString& Chosen) {
  return QFile::encodeName(Chosen).toStdString();
}

}  // namespace

void SaveScanWithDialog(IUserDialogs& Dialogs, QWidget* Window, TStatusStrip& Status,
                        const TDirNode& Root) {
  const std::optional<QString> Chosen =
      Dialogs.PickSaveFile(Window, TranslatedText("Save Scan As..."), ScanFileFilter());
  if (!Chosen.has_value()) {
    return;
  }
  Status.ShowBusyPointer();
  try {
    SaveScanFile(Root, NativeName(*Chosen));
  } catch (const std::exception& Error) {
    Status.RestoreDefaultPointer();
    Dialogs.ShowError(Window, TranslatedText("Cannot save the scan file:") + QLatin1Char('\n') +
                                  ShownText(Error.what()));
    return;
  }
  Status.RestoreDefaultPointer();
}

std::optional<std::string> ChooseScanFile(IUserDialogs& Dialogs, QWidget* Window) {
  const std::optional<QString> Chosen =
      Dialogs.PickOpenFile(Window, TranslatedText("Open Scan..."), ScanFileFilter());
  return Chosen.has_value() ? std::optional(NativeName(*Chosen)) : std::nullopt;
}

}  // namespace dunstrel
