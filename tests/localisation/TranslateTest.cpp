#include <gtest/gtest.h>

#include "localisation/TextFormat.h"
#include "localisation/translation.h"

namespace dunstrel {
namespace {

class TranslateTest : public ::testing::Test {
 protected:
  void TearDown() override { SetTranslations({}); }
};

TEST_F(TranslateTest, LooksUpTheCurrentLanguage) {
  EXPECT_EQ(Translate("Scan"), "Scan");  // nothing loaded yet

  SetTranslations({
      {"English", "en", "Scan", "Stop", "Scan", "Move %d item(s) to Recycle Bin?"},
      {"Deutsch", "de", "Durchsuchen", "", "Zweite", "%d Element(e) in den Papierkorb?"},
      {"Français", "fr", "Analyser"},  // a short column
  });
  EXPECT_EQ(Translate("Scan"), "Scan");  // language 0 is English
  SetLanguageIndex(1);
  struct TCase {
    const char* Text;
    const char* Expected;
  } Cases[] = {
      {"Scan", "Durchsuchen"},                          // the first of two equal rows wins
      {"Stop", "Stop"},                                 // an empty cell shows English
      {"scan", "scan"},                                 // letter case matters
      {"Unknown", "Unknown"},  {"English", "Deutsch"},  // row 0 is searched as well
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(Translate(Case.Text), Case.Expected) << Case.Text;
  }
  EXPECT_EQ(FormatText(Translate("Move %d item(s) to Recycle Bin?"), {3}),
            "3 Element(e) in den Papierkorb?");

  SetLanguageIndex(2);
  EXPECT_EQ(Translate("Stop"), "Stop");
  SetLanguageIndex(7);  // a column that does not exist
  EXPECT_EQ(Translate("Scan"), "Scan");
}

}  // namespace
}  // namespace dunstrel
