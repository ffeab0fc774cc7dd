#pragma once

#include <QString>
#include <string>

namespace dunstrel {

// The translation file found for a program in ExecutableFolder: beside the executable, else in
// the installed data folder ../share/dunstrel; empty when there is none.
QString TranslationFilePath(const QString& ExecutableFolder);

// The code of the system's interface language, "en" for a language without one of ours.
std::string GetSystemLanguageCode();

// Chooses the interface language, the stored choice before the system's, and reads the
// translation file of the program in ExecutableFolder. Runs once at start-up, before any window;
// a missing or broken file leaves the interface in English without a message.
void LoadTranslations(const QString& ExecutableFolder);

// Stores the current language's code as the user's choice for the next start.
void SaveLanguageSetting();

// Gives Qt's own texts (the buttons of message boxes and dialogs, the file dialogs, the names of
// file types) the language in force: Qt's catalogue of it from the toolkit's translations, and
// that language as the default locale. English, and a language Qt has no catalogue of, use Qt's
// own English texts.
void ApplyToolkitLanguage();

}  // namespace dunstrel
