#include "app/ScanFileDialogs.h"

#include <QFile>
#include <QFileInfo>

#include "app/StatusStrip.h"
#include "app/UserDialogs.h"
#include "results/ScanExport.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

// The names of saved scans: what a save without a suffix gets, and what the open dialog lists
// (plain JSON, and packed with gzip or zstd).
const QString kScanFileSuffix = QStringLiteral("json");
const QStringList kScanFilePatterns = {QStringLiteral("*.json"), QStringLiteral("*.json.gz"),
                                       QStringLiteral("*.json.zst")};

QString ScanFileFilter() {
  return TranslatedText("Scan files") + QStringLiteral(" (") +
         kScanFilePatterns.join(QLatin1Char(' ')) + QStringLiteral(");;") +
         TranslatedText("All files") + QStringLiteral(" (*)");
}

std::string NativeName(const QString& Chosen) {
  return QFile::encodeName(Chosen).toStdString();
}

}  // namespace

void SaveScanWithDialog(IUserDialogs& Dialogs, QWidget* Window, TStatusStrip& Status,
                        const TDirNode& Root, const TFormatSettings& Settings) {
  const std::optional<QString> Chosen =
      Dialogs.PickSaveFile(Window, TranslatedText("Save Scan As..."), ScanFileFilter());
  if (!Chosen.has_value()) {
    return;
  }
  // A name without a suffix gets the format's own, so that the open dialog lists the file. The
  // dialog asked before replacing the name it was given, not this one.
  QString Name = *Chosen;
  if (QFileInfo(Name).suffix().isEmpty()) {
    Name += QLatin1Char('.') + kScanFileSuffix;
    if (QFileInfo::exists(Name) &&
        !Dialogs.AskYesNo(
            Window,
            ShownText(FormatText(Translate("%s already exists. Do you want to replace it?"),
                                 {NativeName(Name)}, Settings)),
            true)) {
      return;
    }
  }
  Status.ShowBusyPointer();
  try {
    SaveScanFile(Root, NativeName(Name));
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
