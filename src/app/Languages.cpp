#include "app/Languages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QSettings>
#include <QTranslator>
#include <memory>
#include <utility>

#include "app/WindowSettings.h"
#include "localisation/TranslationFile.h"
#include "localisation/translation.h"

namespace dunstrel {

namespace {

const QString kFileName = QStringLiteral("transl.dt");
const QString kLanguageKey = QStringLiteral("CurrentLanguage");

// The locale Qt names its catalogues by for one of our codes: our codes for Chinese, Japanese
// and Korean are not the ISO ones.
QLocale ToolkitLocale(const std::string& Code) {
  static constexpr std::pair<const char*, const char*> kRenamed[] = {
      {"cn", "zh_CN"}, {"jp", "ja"}, {"kr", "ko"}};
  for (const auto& [Ours, Iso] : kRenamed) {
    if (QString::fromStdString(Code).compare(QLatin1String(Ours), Qt::CaseInsensitive) == 0) {
      return QLocale(QLatin1String(Iso));
    }
  }
  return QLocale(QString::fromStdString(Code));
}

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
    ApplyToolkitLanguage();
    return;
  }
  // One byte past the limit is enough to tell a file that is too large.
  const QByteArray Content = File.read(static_cast<qint64>(kMaxTranslationFileBytes) + 1);
  InstallTranslationFile(
      std::string_view(Content.constData(), static_cast<size_t>(Content.size())));
  ApplyToolkitLanguage();
}

void SaveLanguageSetting() {
  OpenUserSettings()->setValue(kLanguageKey, QString::fromStdString(LanguageCode()));
}

void ApplyToolkitLanguage() {
  // Owned by the application object, so that it never outlives it.
  static QPointer<QTranslator> Installed;
  if (!Installed.isNull()) {
    QCoreApplication::removeTranslator(Installed);
    delete Installed;
  }
  const TTranslationTable& Table = Translations();
  const int Column = LanguageIndex();
  if (Column <= 0 || Column >= static_cast<int>(Table.size())) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::system().territory()));
    return;
  }
  const QLocale Locale = ToolkitLocale(Table[static_cast<size_t>(Column)][1]);
  QLocale::setDefault(Locale);
  auto* Translator = new QTranslator(QCoreApplication::instance());
  if (Translator->load(Locale, QStringLiteral("qt"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(Translator);
    Installed = Translator;
  } else {
    delete Translator;
  }
}

}  // namespace dunstrel
