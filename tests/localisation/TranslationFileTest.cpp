#include <gtest/gtest.h>

#include <string>

#include "localisation/TextFormat.h"
#include "localisation/TranslationFile.h"
#include "localisation/translation.h"

namespace dunstrel {
namespace {

using TTable = TTranslationTable;

TEST(TranslationFileTest, ReadsRowsColumnByColumn) {
  // Two languages: names, codes, then each text's English and German lines in turn.
  const std::string Body = "English\nDeutsch\nen\nde\nScan\nDurchsuchen\n\nLeer\nStop\n";
  const TTable Expected = {{"English", "en", "Scan", ""}, {"Deutsch", "de", "Durchsuchen", "Leer"}};
  struct TCase {
    const char* Name;
    std::string Content;
    TTable Expected;
  } Cases[] = {
      {"LF, incomplete last row ignored", "2\n" + Body, Expected},
      {"CR LF", "2\r\nEnglish\r\nDeutsch\r\nen\r\nde\r\nScan\r\nDurchsuchen\r\n\r\nLeer", Expected},
      {"CR", "2\rEnglish\rDeutsch\ren\rde\rScan\rDurchsuchen\r\rLeer\r", Expected},
      {"byte-order mark",
       "\xEF\xBB\xBF"
       "2\n" +
           Body,
       Expected},
      {"mixed breaks, blanks kept",
       "2\r\n English\rDeutsch \nen\r\nde",
       {{" English", "en"}, {"Deutsch ", "de"}}},
      {"count with blanks", " 1 \nEnglish\nen\nScan", {{"English", "en", "Scan"}}},
      {"no languages", "0\nEnglish\nen", {}},
      {"a break after the last line starts no line", "1\nEnglish\nen\n", {{"English", "en"}}},
      {"an empty last line before the break is a line",
       "1\nEnglish\nen\n\n",
       {{"English", "en", ""}}},
  };
  for (const TCase& Case : Cases) {
    const std::optional<TTable> Table = ParseTranslationFile(Case.Content);
    ASSERT_TRUE(Table.has_value()) << Case.Name;
    EXPECT_EQ(*Table, Case.Expected) << Case.Name;
  }
}

TEST(TranslationFileTest, RefusesWhatIsNotATranslationFile) {
  const struct TCase {
    const char* Name;
    std::string Content;
  } Cases[] = {
      {"empty", ""},
      {"only a break", "\n"},
      {"count not a number", "two\nEnglish\nDeutsch\nen\nde"},
      {"count with a tail", "2x\nEnglish\nDeutsch\nen\nde"},
      {"negative count", "-1\nEnglish\nen"},
      {"count past the lines", "3\nEnglish\nDeutsch\nen\nde"},
      {"count beyond any number", "99999999999999999999999\nEnglish\nen"},
      {"file ends inside the codes", "2\nEnglish\nDeutsch\nen"},
      {"invalid UTF-8",
       "1\nEnglish\nen\nGr\xFC\xDF"
       "e"},
      {"overlong UTF-8", "1\nEnglish\nen\n\xC0\xAF"},
      {"byte-order mark twice",
       "\xEF\xBB\xBF\xEF\xBB\xBF"
       "1\nEnglish\nen"},
      // Counts that are off by one: the code row holds a name, or an English text.
      {"a count one short",
       "2\nEnglish\nDeutsch\nFran\xC3\xA7"
       "ais\nen\nde\nfr\nFile\nDatei\nFichier"},
      {"a count one too many",
       "4\nEnglish\nDeutsch\nFran\xC3\xA7"
       "ais\nen\nde\nfr\nFile\nDatei\nFichier"},
      {"a code of one letter", "2\nEnglish\nDeutsch\nen\nd\nFile\nDatei"},
      {"a code with a digit", "2\nEnglish\nDeutsch\nen\nd1\nFile\nDatei"},
      {"a code of four letters", "2\nEnglish\nDeutsch\nen\ndeut\nFile\nDatei"},
      {"more languages than any menu holds", "1000000\n" + std::string(2'000'000, '\n')},
      {"one language more than the bound",
       [] {
         std::string Many = std::to_string(kMaxTranslationLanguages + 1) + "\n";
         for (int64_t I = 0; I <= kMaxTranslationLanguages; ++I) {
           Many += "Name\n";
         }
         for (int64_t I = 0; I <= kMaxTranslationLanguages; ++I) {
           Many += "xx\n";
         }
         return Many;
       }()},
  };
  for (const TCase& Case : Cases) {
    EXPECT_FALSE(ParseTranslationFile(Case.Content).has_value()) << Case.Name;
  }
}

TEST(TranslationFileTest, TranslationsWhosePlaceholdersDifferAreDropped) {
  const std::optional<TTable> Table = ParseTranslationFile(
      "3\nEnglish\nDeutsch\nFrançais\nen\nde\nfr\n"
      "Scanning: %s  (files: %d, dirs: %d)\n"
      "Durchsuche: %s  (Dateien: %d, Ordner: %d)\n"
      "Analyse : %d  (fichiers : %s, dossiers : %d)\n"  // order changed
      "%.1f KB\n%.1f KB\n%.2f Ko\n"                     // precision may differ, kind not
      "%d B\n%d B und %d\n%s o\n"                       // one too many; another kind
      "100%% of %d\n100 %% von %d\n%d 100%%\n");        // %% is no placeholder
  ASSERT_TRUE(Table.has_value());
  const TTable Expected = {
      {"English", "en", "Scanning: %s  (files: %d, dirs: %d)", "%.1f KB", "%d B", "100%% of %d"},
      {"Deutsch", "de", "Durchsuche: %s  (Dateien: %d, Ordner: %d)", "%.1f KB", "",
       "100 %% von %d"},
      {"Français", "fr", "", "%.2f Ko", "", "%d 100%%"}};
  EXPECT_EQ(*Table, Expected);
}

TEST(TranslationFileTest, LargeFilesAreRefusedBeforeTheyBecomeATable) {
  std::string Content = "1\nEnglish\nen\n";
  const std::string Row = std::string(99, 'x') + "\n";
  size_t Texts = 0;
  while (Content.size() + Row.size() <= kMaxTranslationFileBytes) {
    Content += Row;
    ++Texts;
  }
  const std::optional<TTable> AtTheLimit = ParseTranslationFile(Content);
  ASSERT_TRUE(AtTheLimit.has_value());
  EXPECT_EQ(AtTheLimit->front().size(), 2 + Texts);

  // Several megabytes, most of them empty lines, would be millions of rows.
  EXPECT_FALSE(ParseTranslationFile(Content + std::string(4 * 1024 * 1024, '\n')).has_value());
}

class LanguageChoiceTest : public ::testing::Test {
 protected:
  void TearDown() override {
    SetTranslations({});
    SetLanguageCode("");
  }
};

TEST_F(LanguageChoiceTest, TheCodeChoosesItsColumnIgnoringCase) {
  const std::string File =
      "4\nEnglish\nDeutsch\nDeutsch (Schweiz)\nKorean\nen\nde\nDE\nkr\n"
      "Scan\nDurchsuchen\nScannen\nScan-kr\n";
  const struct TCase {
    const char* Code;
    int Column;
    const char* Scan;
  } Cases[] = {
      {"de", 1, "Durchsuchen"},
      {"DE", 1, "Durchsuchen"},
      {"En", 0, "Scan"},
      {"fr", 0, "Scan"},
      {"", 0, "Scan"},
      {"d", 0, "Scan"},
      {"KR", 3, "Scan-kr"},
#ifndef _WIN32
      // The Kelvin sign, whose case folds to "k" by Unicode's folding; on Windows the system's
      // casing decides, and Wine's has no such mapping.
      {"\xE2\x84\xAA"
       "R",
       3, "Scan-kr"},
#endif
      {"\xFFkr", 0, "Scan"},  // not UTF-8: matches only itself
  };
  for (const TCase& Case : Cases) {
    SetLanguageCode(Case.Code);
    EXPECT_TRUE(InstallTranslationFile(File)) << Case.Code;
    EXPECT_EQ(LanguageIndex(), Case.Column) << Case.Code;
    EXPECT_EQ(Translate("Scan"), Case.Scan) << Case.Code;
    EXPECT_EQ(LanguageCode(), Case.Code) << "kept even when no column has it";
    EXPECT_EQ(Translations().size(), 4u);
  }
}

TEST_F(LanguageChoiceTest, ABadFileLeavesAnEmptyTableAndEnglish) {
  SetLanguageCode("de");
  ASSERT_TRUE(InstallTranslationFile("2\nEnglish\nDeutsch\nen\nde\nScan\nDurchsuchen"));
  ASSERT_EQ(Translate("Scan"), "Durchsuchen");

  for (const char* Bad : {"", "2\nEnglish\nDeutsch\nen", "x\n", "1\nEnglish\nen\n\xFF"}) {
    EXPECT_FALSE(InstallTranslationFile(Bad));
    EXPECT_TRUE(Translations().empty());
    EXPECT_EQ(LanguageIndex(), 0);
    EXPECT_EQ(Translate("Scan"), "Scan");
  }
  EXPECT_TRUE(InstallTranslationFile("0\n"));
  EXPECT_TRUE(Translations().empty());
  EXPECT_EQ(LanguageIndex(), 0);
}

TEST(LanguageCodeTest, SystemLanguagesMapToTheProgramsCodes) {
  const struct TCase {
    const char* Locale;
    const char* Code;
  } Cases[] = {
      {"de-DE", "de"},    {"de", "de"},      {"DE_at", "de"}, {"pt_BR.UTF-8", "pt"},
      {"ja-JP", "jp"},    {"ja", "jp"},      {"ko-KR", "kr"}, {"zh-Hans-CN", "cn"},
      {"zh_TW", "cn"},    {"ar-EG", "ar"},   {"cs", "cs"},    {"el-GR", "el"},
      {"es-419", "es"},   {"fr-CA", "fr"},   {"hu", "hu"},    {"it-CH", "it"},
      {"nl-BE", "nl"},    {"pl", "pl"},      {"tr-TR", "tr"}, {"en-GB", "en"},
      {"sv-SE", "en"},    {"C", "en"},       {"", "en"},      {"ptx", "en"},
      {"sr@latin", "en"}, {"de@euro", "de"},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(LanguageCodeOfLocaleName(Case.Locale), Case.Code) << Case.Locale;
  }
}

TEST(PlaceholderKindsTest, KindsInOrderAsTheFormatterFillsThem) {
  const struct TCase {
    const char* Format;
    const char* Kinds;
  } Cases[] = {
      {"Scanning: %s  (files: %d, dirs: %d)", "sdd"},
      {"%.1f KB", "f"},
      {"%-8s|%5d|%u", "sdd"},
      {"100%% done, 50% left %", ""},
      {"%x %", ""},
      {"", ""},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(PlaceholderKinds(Case.Format), Case.Kinds) << Case.Format;
  }
}

}  // namespace
}  // namespace dunstrel
