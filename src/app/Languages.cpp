#include "app/Languages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <memory>

#include "app/WindowSettings.h"
#include "localisation/TranslationFile.h"
#include "localisation/translation.h"

namespace dunstrel {

namespace {

const QString kFileName = QStringLiteral("transl.dt");
const QString kLanguageKey = QStringLiteral("CurrentLanguage");

}  // namespace

QString TranslationFilePath(const QString& ExecutableFolder) {
  const QDir Folder(ExecutableFolder);
  for (const QString& Candidate :
       {Folder.filePath(kFileName),
        Folder.filePath(QStringLiteral("../share/dunstrel/") + kFileName)}) {
    if (QFileInfo(Candidate).isFile()) {
      return QDir::cleanPath(Candidate);
    }
  }
  return {};
}

std::string GetSystemLanguageCode() {
  const QLocale System = QLocale::system();
  const QStringList Preferred = System.uiLanguages();
  return LanguageCodeOfLocaleName(
      (Preferred.isEmpty() ? System.name() : Preferred.front()).toStdString());
}

void LoadTranslations(const QString& ExecutableFolder) {
  std::string Code = GetSystemLanguageCode();
  {
    const std::unique_ptr<QSettings> Settings = OpenUserSettings();
    if (Settings->contains(kLanguageKey)) {
      Code = Settings->value(kLanguageKey).toString().toStdString();
    }
  }
  SetLanguageCode(std::move(Code));
  QFile File(TranslationFilePath(ExecutableFolder));
  if (File.fileName().isEmpty() || !File.open(QIODevice::ReadOnly)) {
    SetTranslations({});
    return;
  }
  // One byte past the limit is enough to tell a file that is too large.
  const QByteArray Content = File.read(static_cast<qint64>(kMaxTranslationFileBytes) + 1);
  InstallTranslationFile(
      std::string_view(Content.constData(), static_cast<size_t>(Content.size())));
}

void SaveLanguageSetting() {
  OpenUserSettings()->setValue(kLanguageKey, QString::fromStdString(LanguageCode()));
}

}  // namespace dunstrel
