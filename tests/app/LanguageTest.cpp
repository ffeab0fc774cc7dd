#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpression>
#include <QSettings>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <algorithm>
#include <functional>
#include <map>
#include <optional>

#include "app/Languages.h"
#include "app/PropertiesDialog.h"
#include "app/WindowFixture.h"
#include "localisation/translation.h"
#include "views/TreemapSurface.h"

namespace dunstrel::testing {
namespace {

class LanguageTest : public WindowTest {
 protected:
  void SetUp() override {
    // The user's own settings are never touched.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(FSettings.Path()));
    FTree.MakeFile("a.txt", 2048);
    FTree.MakeFile("sub/b.bin", 1024);
    Volumes.Roots = {FTree.Path()};
  }

  void TearDown() override {
    WindowTest::TearDown();
    SetTranslations({});
    SetLanguageCode({});
    ApplyToolkitLanguage();
  }

  static void StoreLanguage(const QString& Code) {
    QSettings(QSettings::UserScope, QStringLiteral("Dunstrel"))
        .setValue(QStringLiteral("CurrentLanguage"), Code);
  }

  static QVariant StoredLanguage() {
    return QSettings(QSettings::UserScope, QStringLiteral("Dunstrel"))
        .value(QStringLiteral("CurrentLanguage"));
  }

  // The folder of a program installed under Root in usr/bin, with the shipped translation file
  // copied to Relative under Root.
  static QString ProgramWithFile(const TTempDir& Root, const std::string& Relative) {
    Root.MakeDir("usr/bin");
    Root.MakeDir(Relative.substr(0, Relative.rfind('/')));
    EXPECT_TRUE(QFile::copy(QStringLiteral(DUNSTREL_TRANSLATION_FILE),
                            QString::fromStdString(Root / Relative)));
    return QString::fromStdString(Root / "usr/bin");
  }

  QList<QAction*> LanguageItems() const { return Find<QMenu>("mmLanguage")->actions(); }

  void ChooseLanguage(const QString& Name) const {
    for (QAction* Item : LanguageItems()) {
      if (Item->text() == Name) {
        Item->trigger();
        return;
      }
    }
    ADD_FAILURE() << "no language " << Name.toStdString();
  }

  QStringList CheckedLanguages() const {
    QStringList Checked;
    for (QAction* Item : LanguageItems()) {
      if (Item->isChecked()) {
        Checked.append(Item->text());
      }
    }
    return Checked;
  }

  QString HeaderTitle(const char* List, int Column) const {
    return Find<QTreeView>(List)->model()->headerData(Column, Qt::Horizontal).toString();
  }

  // Every fixed text of the window, by where it is shown.
  std::map<QString, QString> Captions() const {
    std::map<QString, QString> Texts;
    for (QMenu* Menu : Window->menuBar()->findChildren<QMenu*>()) {
      Texts[Menu->objectName()] = WithoutMnemonic(Menu->title());
      for (QAction* Item : Menu->actions()) {
        if (!Item->objectName().isEmpty()) {
          Texts[Item->objectName()] = WithoutMnemonic(Item->text());
        }
      }
    }
    for (QAbstractButton* Button : Window->findChildren<QAbstractButton*>()) {
      Texts[Button->objectName() + ".text"] = Button->text();
      Texts[Button->objectName() + ".tip"] = Button->toolTip();
    }
    for (QGroupBox* Box : Window->findChildren<QGroupBox*>()) {
      Texts[Box->objectName()] = Box->title();
    }
    auto* Pages = Find<QTabWidget>("PageControl1");
    for (int I = 0; I < Pages->count(); ++I) {
      Texts[QStringLiteral("tab%1").arg(I)] = Pages->tabText(I);
    }
    auto* Units = Find<QComboBox>("cbSizeUnits");
    for (int I = 0; I < Units->count(); ++I) {
      Texts[QStringLiteral("unit%1").arg(I)] = Units->itemText(I);
    }
    for (QTreeView* List : Window->findChildren<QTreeView*>()) {
      for (int I = 0; I < List->model()->columnCount(); ++I) {
        Texts[List->objectName() + QString::number(I)] =
            List->model()->headerData(I, Qt::Horizontal).toString();
      }
    }
    return Texts;
  }

  // Every text the result tabs' lists and trees show, three levels deep.
  QStringList ShownTexts() const {
    QStringList Texts;
    for (QAbstractItemView* List :
         Find<QTabWidget>("PageControl1")->findChildren<QAbstractItemView*>()) {
      QAbstractItemModel* Model = List->model();
      const std::function<void(const QModelIndex&, int)> Walk = [&](const QModelIndex& Parent,
                                                                    int Depth) {
        if (Model->canFetchMore(Parent)) {
          Model->fetchMore(Parent);
        }
        for (int Row = 0; Row < Model->rowCount(Parent); ++Row) {
          for (int Column = 0; Column < Model->columnCount(Parent); ++Column) {
            Texts.append(Model->index(Row, Column, Parent).data().toString());
          }
          if (Depth < 3) {
            Walk(Model->index(Row, 0, Parent), Depth + 1);
          }
        }
      };
      Walk({}, 0);
    }
    return Texts;
  }

  QImage Placeholder() const { return Find<TTreemapSurface>("PaintBox3")->grab().toImage(); }

  TTempDir FSettings;
  TTempDir FTree;
};

TEST_F(LanguageTest, SwitchingFromTheMenuTranslatesTheWindowAndIsRemembered) {
  StoreLanguage(QStringLiteral("en"));
  const TTempDir Root;
  const QString Program = ProgramWithFile(Root, "usr/bin/transl.dt");
  LoadTranslations(Program);
  OpenWindow();
  const std::map<QString, QString> English = Captions();
  EXPECT_EQ(English.at(QStringLiteral("File1")), "File");
  EXPECT_EQ(English.at(QStringLiteral("RemovetoRecycleBin1")), "Move to Trash");
  QStringList Names;
  for (QAction* Item : LanguageItems()) {
    Names.append(Item->text());
  }
  EXPECT_EQ(Names,
            (QStringList{"English", "Deutsch", "Français", "Español", "Italiano", "Português"}));
  EXPECT_EQ(CheckedLanguages(), QStringList{"English"});
  auto* Units = Find<QComboBox>("cbSizeUnits");
  Units->setCurrentIndex(2);
  const QImage EnglishPlaceholder = Placeholder();

  // French names the size units differently, and the chosen one stays chosen.
  ChooseLanguage(QStringLiteral("Français"));
  EXPECT_EQ(Units->currentIndex(), 2);
  EXPECT_EQ(Units->currentText(), "Mo");
  EXPECT_EQ(Units->itemText(0), "Octets");
  EXPECT_EQ(StoredLanguage(), "fr");
  SaveScreenshot("language-fr");

  ChooseLanguage(QStringLiteral("Deutsch"));
  EXPECT_EQ(CheckedLanguages(), QStringList{"Deutsch"});
  EXPECT_EQ(LanguageCode(), "de");
  EXPECT_EQ(StoredLanguage(), "de");
  EXPECT_EQ(Find<QMenu>("File1")->title(), "&Datei");
  EXPECT_EQ(WithoutMnemonic(Find<QMenu>("mmLanguage")->title()), "Sprache");
  EXPECT_EQ(WithoutMnemonic(Find<QAction>("RemoveCompletely1")->text()), "Endgültig löschen");
  EXPECT_EQ(WithoutMnemonic(Find<QAction>("RemovetoRecycleBin1")->text()),
            "In den Papierkorb verschieben");
  EXPECT_EQ(WithoutMnemonic(Find<QAction>("OpeninExplorer1")->text()), "Im Ordner anzeigen");
  EXPECT_EQ(Find<QToolButton>("btnCopyPath")->toolTip(), "Pfad(e) in die Zwischenablage kopieren");
  EXPECT_EQ(Find<QTabWidget>("PageControl1")->tabText(1), "Nur Dateien");
  EXPECT_EQ(Find<QGroupBox>("gbFilters")->title(), "Dateien ausschließen");
  EXPECT_EQ(Find<QCheckBox>("chModifiedBefore")->text(), "Geändert vor:");
  EXPECT_EQ(Units->itemText(0), "Bytes");
  EXPECT_EQ(Units->currentIndex(), 2);
  EXPECT_EQ(HeaderTitle("lvFiles", 2), "Größe");
  EXPECT_EQ(HeaderTitle("lvFiles", 5), "Vollständiger Pfad") << "hidden, yet translated";
  EXPECT_EQ(HeaderTitle("lvExt", 3), "Anteil");
  EXPECT_EQ(HeaderTitle("tvFileExtensions", 0), "Erweiterung");
  EXPECT_EQ(HeaderTitle("lvFilesOfSelectedFolder", 3), "%");
  EXPECT_EQ(HeaderTitle("lvDuplicateGroupsColors", 0), "Gruppe");
  EXPECT_NE(Placeholder(), EnglishPlaceholder) << "the surfaces are drawn again in German";

  // The status line keeps its text until the next status, which comes in German.
  EXPECT_EQ(Status(), "Ready");
  ChoosePath(QString::fromStdString(FTree.Path()));
  Click("btnScan");
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(Status(), "Fertig. Dateien insgesamt: 2   Gesamtgröße: 3.0 KB");
  SaveScreenshot("language-de");

  // The next start is in German.
  Window.reset();
  LoadTranslations(Program);
  OpenWindow();
  EXPECT_EQ(Find<QMenu>("File1")->title(), "&Datei");
  EXPECT_EQ(CheckedLanguages(), QStringList{"Deutsch"});

  // English again restores every caption exactly.
  ChooseLanguage(QStringLiteral("English"));
  EXPECT_EQ(LanguageIndex(), 0);
  EXPECT_EQ(StoredLanguage(), "en");
  EXPECT_EQ(Captions(), English);
  EXPECT_EQ(Placeholder(), EnglishPlaceholder);
}

TEST_F(LanguageTest, QtsOwnTextsAndEveryFigureShownFollowTheSwitch) {
  FTree.MakeFile("big.iso", 3 * 1024 * 1024);
  FTree.MakeFile("one/twin.txt", 1500);
  FTree.MakeFile("two/twin.txt", 1500);
  StoreLanguage(QStringLiteral("en"));
  const TTempDir Root;
  LoadTranslations(ProgramWithFile(Root, "usr/bin/transl.dt"));
  OpenWindow();
  ChoosePath(QString::fromStdString(FTree.Path()));
  Click("btnScan");
  ASSERT_TRUE(WaitUntilIdle());
  const QRegularExpression EnglishUnit(QStringLiteral("\\d (B|KB|MB|GB|TB)\\b"));
  const QRegularExpression FrenchUnit(QStringLiteral("\\d (o|Ko|Mo|Go|To)\\b"));
  const auto Count = [](const QStringList& Texts, const QRegularExpression& Unit) {
    return std::count_if(Texts.begin(), Texts.end(),
                         [&](const QString& Text) { return Text.contains(Unit); });
  };
  const QStringList English = ShownTexts();
  EXPECT_GE(Count(English, EnglishUnit), 8);

  ChooseLanguage(QStringLiteral("Français"));
  const QStringList French = ShownTexts();
  EXPECT_EQ(Count(French, EnglishUnit), 0) << French.join('|').toStdString();
  EXPECT_EQ(Count(French, FrenchUnit), Count(English, EnglishUnit));

  // Qt's own buttons, in message boxes and in the properties dialog, switch with the menu.
  const auto Buttons = [] {
    QMessageBox Box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No);
    return QStringList{WithoutMnemonic(Box.button(QMessageBox::Yes)->text()),
                       WithoutMnemonic(Box.button(QMessageBox::No)->text())};
  };
  EXPECT_EQ(Buttons(), (QStringList{"Oui", "Non"}));
  ChooseLanguage(QStringLiteral("Deutsch"));
  EXPECT_EQ(Buttons(), (QStringList{"Ja", "Nein"}));
  const QPointer<QWidget> Properties =
      ShowPropertiesDialog(FTree / "big.iso", Window.get(), TFormatSettings{});
  const QStringList Captions = [&] {
    QStringList Texts;
    for (const QLabel* Label : Properties->findChildren<QLabel*>()) {
      Texts.append(Label->text());
    }
    for (const QAbstractButton* Button : Properties->findChildren<QAbstractButton*>()) {
      Texts.append(WithoutMnemonic(Button->text()));
    }
    return Texts;
  }();
  EXPECT_TRUE(Captions.contains(QStringLiteral("Größe:"))) << Captions.join('|').toStdString();
  EXPECT_TRUE(Captions.contains(QStringLiteral("3.0 MB"))) << Captions.join('|').toStdString();
  EXPECT_TRUE(Captions.contains(QStringLiteral("Schließen"))) << Captions.join('|').toStdString();
  delete Properties;
  ChooseLanguage(QStringLiteral("English"));
  EXPECT_EQ(Buttons(), (QStringList{"Yes", "No"}));
}

TEST_F(LanguageTest, StartsInTheStoredOrTheSystemLanguageWhereverTheFileLies) {
  const std::string System = GetSystemLanguageCode();
  const QStringList Columns = {"en", "de", "fr", "es", "it", "pt"};
  const int SystemColumn =
      static_cast<int>(std::max<qsizetype>(0, Columns.indexOf(QString::fromStdString(System))));
  const struct TCase {
    const char* Name;
    std::optional<QString> Stored;
    const char* FileAt;  // under the program's root; the program is in usr/bin
    std::string Code;
    int Column;
    bool Loaded;
  } Cases[] = {
      {"stored in capitals", QStringLiteral("DE"), "usr/bin/transl.dt", "DE", 1, true},
      {"nothing stored", std::nullopt, "usr/share/dunstrel/transl.dt", System, SystemColumn, true},
      {"stored code without a column", QStringLiteral("xx"), "usr/bin/transl.dt", "xx", 0, true},
      {"no file where it is looked for", QStringLiteral("de"), "usr/lib/transl.dt", "de", 0, false},
  };
  for (const TCase& Case : Cases) {
    QSettings(QSettings::UserScope, QStringLiteral("Dunstrel")).clear();
    if (Case.Stored) {
      StoreLanguage(*Case.Stored);
    }
    const TTempDir Root;
    LoadTranslations(ProgramWithFile(Root, Case.FileAt));
    EXPECT_EQ(LanguageCode(), Case.Code) << Case.Name;
    EXPECT_EQ(LanguageIndex(), Case.Column) << Case.Name;
    EXPECT_EQ(Translations().size(), Case.Loaded ? 6u : 0u) << Case.Name;
    EXPECT_EQ(StoredLanguage(), Case.Stored ? QVariant(*Case.Stored) : QVariant())
        << Case.Name << ": loading stores nothing";
  }

  // Without a file the Language menu is empty and the window English.
  OpenWindow();
  EXPECT_TRUE(LanguageItems().empty());
  EXPECT_EQ(Find<QMenu>("File1")->title(), "&File");
}

TEST_F(LanguageTest, TheFileBesideTheProgramComesBeforeTheInstalledOne) {
  StoreLanguage(QStringLiteral("de"));
  const TTempDir Root;
  const QString Folder = ProgramWithFile(Root, "usr/share/dunstrel/transl.dt");
  QFile Beside(Folder + QStringLiteral("/transl.dt"));
  ASSERT_TRUE(Beside.open(QIODevice::WriteOnly));
  Beside.write("2\nEnglish\nBeside\nen\nde\nFile\nNebenan\n");
  Beside.close();
  EXPECT_EQ(TranslationFilePath(Folder), Beside.fileName());
  LoadTranslations(Folder);
  EXPECT_EQ(Translate("File"), "Nebenan");
}

}  // namespace
}  // namespace dunstrel::testing
