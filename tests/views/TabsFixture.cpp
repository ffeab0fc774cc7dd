#include "views/TabsFixture.h"

#include <QAction>
#include <QDir>
#include <QPixmap>

#include "results/ResultsBuilder.h"

namespace dunstrel::testing {

void TRecordingHost::SelectionChanged(const TResultTab& Tab) {
  if (Pages != nullptr && Pages->currentWidget() == &Tab) {
    Status = Tab.SelectionStatus();
  }
}

QIcon TRecordingHost::SmallIcon(const std::string& Path, bool) {
  IconsAsked.push_back(Path);
  if (FIcon.isNull()) {
    QPixmap Blank(16, 16);
    Blank.fill(Qt::transparent);
    FIcon = QIcon(Blank);
  }
  return FIcon;
}

QList<QAction*> TRecordingHost::ItemCommands() {
  if (FCommands.empty()) {
    for (const char* Name : {"Open", "Copy Path", "Zoom In", "Zoom Out"}) {
      auto* Command = FCommands.emplace_back(new QAction(QString::fromLatin1(Name))).get();
      QObject::connect(Command, &QAction::triggered, Command, [this, Command] {
        LastCommand = Command->text();
        auto* Tab = dynamic_cast<TResultTab*>(Pages->currentWidget());
        if (LastCommand == QLatin1String("Zoom In")) {
          Tab->ZoomIn();
        } else if (LastCommand == QLatin1String("Zoom Out")) {
          Tab->ZoomOut();
        }
        ActedOn = dynamic_cast<const TResultTab*>(Pages->currentWidget())->GetSelectedPaths();
      });
    }
  }
  return {FCommands[0].get(), nullptr, FCommands[1].get()};
}

QList<QAction*> TRecordingHost::ZoomCommands() {
  ItemCommands();
  return {FCommands[2].get(), FCommands[3].get()};
}

void TabsTest::SetUp() {
  Pages = std::make_unique<QTabWidget>();
  Host.Pages = Pages.get();
  for (TResultTab* Tab :
       std::initializer_list<TResultTab*>{new TFilesInFoldersView(Host), new TFilesView(Host),
                                          new TFoldersView(Host), new TDuplicatesView(Host)}) {
    Pages->addTab(Tab, Tab->objectName());
  }
  Pages->resize(1333, 620);
  Pages->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Pages.get()));
}

void TabsTest::ScanFixture() {
  MakeFixtureFiles(Tree);
  ShowScan();
}

void TabsTest::ShowScan() {
  Results = BuildScanResults(Tree.Take(), TSizeCount::ApparentSize, TScanContext{}, {});
  ASSERT_NE(Results, nullptr);
  int Filled = 0;
  for (int I = 0; I < Pages->count(); ++I) {
    auto* Tab = dynamic_cast<TResultTab*>(Pages->widget(I));
    QObject::connect(Tab, &TResultTab::Filled, Pages.get(), [&Filled] { ++Filled; });
    Tab->Show(Results);
  }
  ASSERT_TRUE(QTest::qWaitFor([&] { return Filled == Pages->count(); }, 10000));
  for (int I = 0; I < Pages->count(); ++I) {
    QObject::disconnect(Pages->widget(I), nullptr, Pages.get(), nullptr);
  }
}

void TabsTest::ShowTab(const char* Page) const {
  Pages->setCurrentWidget(Find<QWidget>(Page));
  QTest::qWait(10);
}

void TabsTest::SaveScreenshotOfTab(const char* Page) const {
  ShowTab(Page);
  QDir().mkpath(QStringLiteral(DUNSTREL_SCREENSHOT_DIR));
  Pages->grab().save(QStringLiteral(DUNSTREL_SCREENSHOT_DIR "/%1.png").arg(QLatin1String(Page)));
}

}  // namespace dunstrel::testing
