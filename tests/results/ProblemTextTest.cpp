#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "localisation/TranslationFile.h"
#include "localisation/translation.h"
#include "platform/FileRemoval.h"
#include "results/FileOperations.h"
#include "results/ProblemText.h"

namespace dunstrel {
namespace {

using platform::TProblem;
using platform::TProblemKind;

// The shipped table with German chosen; English again afterwards.
class ProblemTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ifstream In(DUNSTREL_TRANSLATION_FILE, std::ios::binary);
    const std::string Content{std::istreambuf_iterator<char>(In), {}};
    ASSERT_TRUE(InstallTranslationFile(Content));
    const int German = LanguageColumnOf(Translations(), "de");
    ASSERT_GT(German, 0);
    SetLanguageIndex(German);
  }
  void TearDown() override {
    SetTranslations({});
    SetLanguageIndex(0);
  }
};

// Each kind in the user's language; the program's own reasons too, the system's words as they
// are, and where the problem was met when that is another path.
TEST_F(ProblemTextTest, TellsEachKindInTheUsersLanguage) {
  const struct {
    TProblem Problem;
    const char* Expected;
  } Cases[] = {
      {{TProblemKind::PermissionDenied, "Permission denied"}, "Zugriff verweigert"},
      {{TProblemKind::NotFound, "No such file or directory"}, "nicht gefunden"},
      {{TProblemKind::NoSpace, "No space left on device"}, "kein Platz mehr auf dem Datenträger"},
      {{TProblemKind::ReadOnly, "Read-only file system", "/media/cd"},
       "/media/cd: das Dateisystem ist schreibgeschützt"},
      {{TProblemKind::RefusedPath, "its path is not absolute"}, "sein Pfad ist nicht absolut"},
      {{TProblemKind::Other, "Input/output error"}, "Input/output error"},
  };
  for (const auto& Case : Cases) {
    EXPECT_EQ(ProblemText(Case.Problem), Case.Expected);
  }
}

// A removal's failure reaches the user's box in German, from the platform's answer.
TEST_F(ProblemTextTest, ARemovalFailureIsToldInTheUsersLanguage) {
  TProblem Missing;
  EXPECT_FALSE(platform::DeletePermanently("/nonexistent-dunstrel-test/x", &Missing));
  TProblem Relative;
  EXPECT_FALSE(platform::MoveToTrash("relative/x", &Relative));
  EXPECT_EQ(Relative.Kind, TProblemKind::RefusedPath);
  const std::string Text = RemovalFailureText(
      false, {{"/nonexistent-dunstrel-test/x", Missing}, {"relative/x", Relative}}, {});
  EXPECT_EQ(Text,
            "Löschen fehlgeschlagen.\n\n/nonexistent-dunstrel-test/x: nicht gefunden\n"
            "relative/x: sein Pfad ist nicht absolut");
}

}  // namespace
}  // namespace dunstrel
