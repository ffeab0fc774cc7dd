#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeView>

#include "app/WindowFixture.h"
#include "app/WindowSettings.h"

namespace dunstrel::testing {
namespace {

class WindowSettingsTest : public WindowTest {
 protected:
  void SetUp() override {
    FFirst.MakeFile("a.txt", 1024);
    FSecond.MakeFile("b.txt", 2048);
    Volumes.Roots = {FDrive.Path()};
  }

  void ScanPath(const TTempDir& Folder) {
    ChoosePath(QString::fromStdString(Folder.Path()));
    Click("btnScan");
    ASSERT_TRUE(WaitUntilIdle());
  }

  QStringList PathBoxItems() const {
    QStringList Items;
    auto* Box = Find<QComboBox>("cmbCustomPath");
    for (int I = 0; I < Box->count(); ++I) {
      Items.append(Box->itemText(I));
    }
    return Items;
  }

  void WriteStoreFile(const QByteArray& Content) const {
    QFile File(StoreFile());
    ASSERT_TRUE(File.open(QIODevice::WriteOnly | QIODevice::Truncate));
    File.write(Content);
  }

  // A list's order as its header shows it: column and way, or none.
  QString SortOf(const char* List) const {
    const QHeaderView* Header = Find<QTreeView>(List)->header();
    if (Header->sortIndicatorSection() < 0) {
      return QStringLiteral("none");
    }
    return QString::number(Header->sortIndicatorSection()) +
           (Header->sortIndicatorOrder() == Qt::DescendingOrder ? "v" : "^");
  }

  // What a first start shows, by control.
  std::map<std::string, QVariant> StartState() const {
    return {{"page", Find<QTabWidget>("PageControl1")->currentIndex()},
            {"path chosen", Find<QRadioButton>("rbCustomPath")->isChecked()},
            {"path box", QVariant(PathBoxItems())},
            {"toolbar", Find<QAction>("ShowToolbar1")->isChecked()},
            {"modified before", Find<QCheckBox>("chModifiedBefore")->isChecked()},
            {"date", Find<QDateEdit>("dtpDate")->date()},
            {"less than", Find<QCheckBox>("chLessThan")->isChecked()},
            {"less than text", Find<QLineEdit>("edtLessThan")->text()},
            {"unit", Find<QComboBox>("cbSizeUnits")->currentIndex()},
            {"pattern", Find<QCheckBox>("chPattern")->isChecked()},
            {"pattern text", Find<QLineEdit>("edtPattern")->text()},
            {"name column", Find<QTreeView>("lvFiles")->columnWidth(0)},
            {"files sorted by", SortOf("lvFiles")},
            {"extensions sorted by", SortOf("tvFileExtensions")},
            {"duplicates sorted by", SortOf("tvDuplicateFiles")},
            {"size column of the duplicates", Find<QTreeView>("tvDuplicateFiles")->columnWidth(1)},
            {"bottom panel", Find<QSplitter>("Splitter6")->sizes().value(1)}};
  }

  TTempDir FFirst;
  TTempDir FSecond;
  TTempDir FDrive;
};

TEST_F(WindowSettingsTest, WhatTheUserLeftComesBackAtTheNextStart) {
  OpenWindow();
  ScanPath(FFirst);
  ScanPath(FSecond);
  ScanPath(FFirst);
  Window->resize(900, 640);
  Find<QAction>("ShowToolbar1")->trigger();
  Find<QSplitter>("Splitter6")->setSizes({300, 200});
  Find<QAction>("OnlyFolders1")->trigger();
  Click("chModifiedBefore");
  Find<QDateEdit>("dtpDate")->setDate(QDate(2025, 3, 9));
  Click("chLessThan");
  Find<QLineEdit>("edtLessThan")->setText(QStringLiteral("2,5"));
  Find<QComboBox>("cbSizeUnits")->setCurrentIndex(2);
  Click("chPattern");
  Find<QLineEdit>("edtPattern")->setText(QStringLiteral("*.tmp"));
  Find<QTreeView>("lvFiles")->setColumnWidth(0, 333);
  Find<QTreeView>("lvFiles")->header()->setSortIndicator(0, Qt::AscendingOrder);
  Find<QTreeView>("tvFileExtensions")->header()->setSortIndicator(3, Qt::DescendingOrder);
  Find<QTreeView>("tvDuplicateFiles")->header()->setSortIndicator(2, Qt::AscendingOrder);
  Find<QTreeView>("tvDuplicateFiles")->setColumnWidth(1, 123);
  const std::map<std::string, QVariant> Left = StartState();
  const QRect Place = Window->geometry();
  Window->close();
  Window.reset();

  OpenWindow({}, true);
  EXPECT_EQ(StartState(), Left);
  EXPECT_EQ(Window->geometry().size(), Place.size());
  EXPECT_FALSE(Window->isMaximized());
  EXPECT_EQ(PathBoxItems(), (QStringList{QString::fromStdString(FFirst.Path()),
                                         QString::fromStdString(FSecond.Path()),
                                         QString::fromStdString(FDrive.Path())}))
      << "the folders scanned last, latest first and each once, then the drives";
  EXPECT_TRUE(Find<QComboBox>("cmbCustomPath")->isEnabled());
  EXPECT_FALSE(Find<QWidget>("pnlTop")->isVisible());
  EXPECT_TRUE(Find<QAction>("OnlyFolders1")->isChecked());
  EXPECT_FALSE(Find<QLineEdit>("edtPattern")->isEnabled());
  EXPECT_TRUE(Find<QComboBox>("cbSizeUnits")->isEnabled());
}

TEST_F(WindowSettingsTest, TheStoreKeepsTenPathsWithTheirOwnBytes) {
  TWindowMemory Memory;
  for (int I = 0; I < 12; ++I) {
    Memory.PathHistory.push_back("/scanned/\xFF" + std::to_string(I));
  }
  Memory.ColumnWidths[QStringLiteral("lvFiles")] = {220, 0, 95};
  Memory.Splitters[QStringLiteral("Splitter6")] = QByteArray("\x00\x01\xFF", 3);
  Memory.Page = 3;
  Memory.SortOrders[QStringLiteral("lvFiles")] = {4, true};
  Memory.SortOrders[QStringLiteral("lvExt")] = {0, false};
  TWindowSettings(Store()).Write(Memory);
  const TWindowMemory Read = TWindowSettings(Store()).Read();
  Memory.PathHistory.resize(kPathHistoryLength);
  EXPECT_EQ(Read, Memory);
}

TEST_F(WindowSettingsTest, ACorruptOrForeignStoreGivesTheFirstStart) {
  OpenWindow();
  const std::map<std::string, QVariant> FirstStart = StartState();
  Window.reset();

  static constexpr char kNotText[] = "\x00\xFF\xFE[[=\n\x01@Variant(\x7F\xFF\xFF\xFF)";
  const struct TCase {
    const char* Name;
    QByteArray Content;
  } Cases[] = {
      {"not text at all", QByteArray(kNotText, sizeof(kNotText) - 1)},
      {"a broken section and lines without values", "[Window\nGeometry\n[Filters]]\n=\n"},
      {"values of other kinds",
       "[Window]\nGeometry=just text\nPage=banana\nToolbarShown=maybe\n"
       "[Source]\nPathChosen=2\nHistory\\size=3\nHistory\\1\\Path=@ByteArray()\n"
       "History\\2\\Path=not bytes\n"
       "[Filters]\nModifiedBefore=true\nDate=2025-02-30\nLessThan=true\nLessThanText=5\n"
       "SizeUnit=3\nPattern=false\nPatternText=*.x\n"
       "[Columns]\nlvFiles=\"-5,99999999999,x\"\nlvExt=\"1,2\"\n"
       "[Splitters]\nSplitter6=@ByteArray(junk)\n"
       "[SortOrders]\nlvFiles=\"x,down\"\nlvExt=\"2,sideways\"\ntvFileExtensions=true\n"},
      {"values out of range",
       "[Window]\nPage=4\n[Source]\nHistory\\size=2147483647\n"
       "[Filters]\nModifiedBefore=false\nDate=2025-01-01\nLessThan=false\nLessThanText=1\n"
       "SizeUnit=5\nPattern=true\nPatternText=*.sys\n"
       "[SortOrders]\nlvFiles=\"5,up\"\ntvFileExtensions=\"99,down\"\nlvExt=\"-1,up\"\n"},
      {"another program's settings", "[General]\nCurrentLanguage=de\ntheme=dark\n[Plugins]\nx=1\n"},
  };
  for (const TCase& Case : Cases) {
    WriteStoreFile(Case.Content);
    EXPECT_EQ(TWindowSettings(Store()).Read().PathHistory.size(), 0u) << Case.Name;
    OpenWindow();
    EXPECT_EQ(StartState(), FirstStart) << Case.Name;
    Window.reset();
  }
}

}  // namespace
}  // namespace dunstrel::testing
