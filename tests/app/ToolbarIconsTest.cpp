#include <QFile>
#include <QMenu>
#include <QToolButton>

#include "app/ToolbarIcons.h"
#include "app/WindowFixture.h"

namespace dunstrel::testing {
namespace {

// A desktop icon theme of a few icons, in force for the test's lifetime.
class ToolbarIconsTest : public WindowTest {
 protected:
  void SetUp() override {
    FThemes.MakeDir("test-theme/scalable/actions");
    WriteFile("test-theme/index.theme",
              "[Icon Theme]\nName=Test\nDirectories=scalable/actions\n\n[scalable/actions]\n"
              "Size=48\nType=Scalable\nMinSize=8\nMaxSize=512\nContext=Actions\n");
    for (const char* Name : {"process-stop", "edit-copy", "application-exit"}) {
      WriteFile(std::string("test-theme/scalable/actions/") + Name + ".svg",
                "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"48\" height=\"48\">"
                "<rect width=\"48\" height=\"48\" fill=\"#3465a4\"/></svg>");
    }
    QIcon::setThemeSearchPaths({QString::fromStdString(FThemes.Path())});
    QIcon::setThemeName(QStringLiteral("test-theme"));
  }

  void TearDown() override {
    WindowTest::TearDown();
    QIcon::setThemeSearchPaths(FSearchPaths);
    QIcon::setThemeName(FThemeName);
  }

  void WriteFile(const std::string& Relative, const char* Content) const {
    QFile File(QString::fromStdString(FThemes / Relative));
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(Content);
  }

  const QStringList FSearchPaths = QIcon::themeSearchPaths();
  const QString FThemeName = QIcon::themeName();
  TTempDir FThemes;
};

TEST_F(ToolbarIconsTest, TheDesktopThemesIconsComeFirstAndTheProgramsOwnFillIn) {
  const struct TCase {
    const char* Name;
    const char* FromTheme;  // empty: the program's own
  } Cases[] = {{"stop", "process-stop"}, {"clipboard", "edit-copy"}, {"scan", ""}, {"info", ""}};
  for (const TCase& Case : Cases) {
    const QIcon Icon = ToolbarIcon(QLatin1String(Case.Name));
    EXPECT_EQ(Icon.name(), Case.FromTheme) << Case.Name;
    EXPECT_FALSE(Icon.pixmap(35, 35).isNull()) << Case.Name;
  }

  OpenWindow();
  EXPECT_EQ(Find<QToolButton>("btnStop")->icon().name(), "process-stop");
  EXPECT_EQ(Find<QAction>("Stop1")->icon().name(), "process-stop") << "the menu shows it too";
  EXPECT_FALSE(Find<QToolButton>("btnScan")->icon().pixmap(35, 35).isNull());
  EXPECT_EQ(Find<QAction>("Exit1")->icon().name(), "application-exit");
  EXPECT_TRUE(Find<QAction>("SaveScanAs1")->icon().isNull()) << "the theme has none";
}

}  // namespace
}  // namespace dunstrel::testing
