#include <gtest/gtest.h>

#include <string>

#include "localisation/translation.h"
#include "update/uNewVersionCheck.h"

namespace dunstrel {
namespace {

const std::string kChanges = "Faster scans\r\nNew duplicate view\r\n";
const std::string kWhatsNew = "\r\n\r\nWhat's new:\r\nFaster scans\r\nNew duplicate view\r\n";
const std::string kRequired =
    "This version of the software is out of date. You must download the current version %s to "
    "continue using the software.";

std::string Required(const std::string& Shown) {
  std::string Headline = kRequired;
  Headline.replace(Headline.find("%s"), 2, Shown);
  return Headline + kWhatsNew;
}

std::string Optional(const std::string& Shown) {
  return "The new version " + Shown + " is available" + kWhatsNew;
}

TEST(UpdateCheckTest, VersionLinesAgainstTheRunningVersion) {
  ASSERT_EQ(kRunningVersion, 25);
  struct TCase {
    const char* VersionDocument;
    bool Offered;
    bool Required;
    std::string Message;
  } Cases[] = {
      {"25/20", false, false, ""},
      {"24/10\r\n", false, false, ""},
      {"26/20", true, false, Optional("2.6")},
      {"26/26", true, true, Required("2.6")},
      {"25/26", true, true, Required("2.5")},  // required although nothing newer is named
      {"100/20", true, false, Optional("10.0")},
      {"26/20\r\n99/99\r\n", true, false, Optional("2.6")},  // only the first line counts
      {"26/20\n", true, false, Optional("2.6")},
      {"\xEF\xBB\xBF"
       "26/20",
       true, false, Optional("2.6")},
      {" 26 / 20 ", true, false, Optional("2.6")},
      {"2147483647/0", true, false, Optional("214748364.7")},
      // Unreadable lines are no update.
      {"", false, false, ""},
      {"26", false, false, ""},
      {"\r\n26/20", false, false, ""},
      {"26-20", false, false, ""},
      {"2.6/2.0", false, false, ""},
      {"26/x", false, false, ""},
      {"/20", false, false, ""},
      {"26/", false, false, ""},
      {"26/20/10", false, false, ""},
      {"+26/20", false, false, ""},
      {"-26/30", false, false, ""},
      {"0x1A/20", false, false, ""},
      {"99999999999/1", false, false, ""},
      {"26/2147483648", false, false, ""},
      {"<html>26/20</html>", false, false, ""},
  };
  for (const TCase& Case : Cases) {
    const std::optional<TUpdateOffer> Offer = EvaluateUpdate(Case.VersionDocument, kChanges);
    ASSERT_EQ(Offer.has_value(), Case.Offered) << Case.VersionDocument;
    if (Offer) {
      EXPECT_EQ(Offer->UpdateRequired, Case.Required) << Case.VersionDocument;
      EXPECT_EQ(Offer->UpdateMessage, Case.Message) << Case.VersionDocument;
    }
  }
}

TEST(UpdateCheckTest, ShownVersionPutsAPointBeforeTheLastDigit) {
  EXPECT_EQ(ShownVersion("26"), "2.6");
  EXPECT_EQ(ShownVersion("100"), "10.0");
  EXPECT_EQ(ShownVersion("7"), ".7");
}

TEST(UpdateCheckTest, ChangesKeepEveryNonEmptyLineUnchangedAndInOrder) {
  struct TCase {
    std::string Document;
    std::vector<std::string> Lines;
  } Cases[] = {
      {"", {}},
      {"\r\n\r\n\n\r", {}},
      {"One\r\n\r\nTwo\n\nThree\rFour", {"One", "Two", "Three", "Four"}},
      {"  indented  \r\n\t\r\nlast", {"  indented  ", "\t", "last"}},
      {"\xEF\xBB\xBF"
       "First\r\n",
       {"First"}},
      {"Caf\xC3\xA9 \xE2\x80\x94 fixed", {"Caf\xC3\xA9 \xE2\x80\x94 fixed"}},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(ChangeLines(Case.Document), Case.Lines) << Case.Document;
  }
  const std::optional<TUpdateOffer> Offer = EvaluateUpdate("26/20", "\r\nA\r\n\r\n\r\nB");
  ASSERT_TRUE(Offer);
  EXPECT_EQ(Offer->UpdateMessage,
            "The new version 2.6 is available\r\n\r\nWhat's new:\r\nA\r\nB\r\n");
  const std::optional<TUpdateOffer> NoChanges = EvaluateUpdate("26/20", "");
  ASSERT_TRUE(NoChanges);
  EXPECT_EQ(NoChanges->UpdateMessage, "The new version 2.6 is available\r\n\r\nWhat's new:\r\n");
}

TEST(UpdateCheckTest, OversizedOrNonUtf8DocumentsAreNoUpdate) {
  const std::string Padding(kMaxUpdateDocumentBytes, 'x');
  EXPECT_TRUE(EvaluateUpdate("26/20\r\n" + Padding.substr(7), kChanges));
  EXPECT_FALSE(EvaluateUpdate("26/20\r\n" + Padding.substr(6), kChanges));
  EXPECT_TRUE(EvaluateUpdate("26/20", Padding));
  EXPECT_FALSE(EvaluateUpdate("26/20", Padding + "x"));
  // A document that is not UTF-8 is no document of the server's: the check failed.
  EXPECT_TRUE(EvaluateUpdate("26/20",
                             "Neu: Gr\xC3\xB6\xC3\x9F"
                             "e"));
  EXPECT_FALSE(EvaluateUpdate("26/20",
                              "Neu: Gr\xF6\xDF"
                              "e"));
  EXPECT_FALSE(EvaluateUpdate("26/20\n\xFF", kChanges));
}

TEST(UpdateCheckTest, HeadlinesPassThroughTheTranslation) {
  SetTranslations({{"English", "en", "The new version %s is available", "What's new:"},
                   {"Deutsch", "de", "Die neue Version %s ist verf\xC3\xBCgbar", "Neu:"}});
  SetLanguageIndex(1);
  const std::optional<TUpdateOffer> Offer = EvaluateUpdate("26/20", "A");
  SetTranslations({});
  ASSERT_TRUE(Offer);
  EXPECT_EQ(Offer->UpdateMessage, "Die neue Version 2.6 ist verf\xC3\xBCgbar\r\n\r\nNeu:\r\nA\r\n");
}

}  // namespace
}  // namespace dunstrel
