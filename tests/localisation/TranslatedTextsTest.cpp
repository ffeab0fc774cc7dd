// Keeps the shipped translation file whole: every English text the program hands to the text
// lookup has a row, translated into every language with the English placeholders.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "localisation/TextFormat.h"
#include "localisation/TranslationFile.h"

namespace dunstrel {
namespace {

namespace fs = std::filesystem;

struct TToken {
  enum TKind { Identifier, Literal, Number, Punctuation } Kind;
  std::string Text;  // a literal's value, adjacent literals joined
  int Line;
};

std::string ReadFile(const fs::path& Path) {
  std::ifstream In(Path, std::ios::binary);
  std::ostringstream Buffer;
  Buffer << In.rdbuf();
  return Buffer.str();
}

char Unescaped(char C) {
  switch (C) {
    case 'n':
      return '\n';
    case 'r':
      return '\r';
    case 't':
      return '\t';
    default:
      return C;
  }
}

bool IsIdentifierChar(char C) {
  return std::isalnum(static_cast<unsigned char>(C)) != 0 || C == '_';
}

// The tokens of a C++ source, enough to find calls and their literal arguments: comments and
// preprocessor lines are skipped, escapes in literals decoded.
std::vector<TToken> Tokenise(const std::string& Source) {
  std::vector<TToken> Tokens;
  int Line = 1;
  bool LineStart = true;
  size_t I = 0;
  const auto Skip = [&](size_t Count) {
    for (size_t K = 0; K < Count && I < Source.size(); ++K, ++I) {
      Line += Source[I] == '\n' ? 1 : 0;
    }
  };
  while (I < Source.size()) {
    const char C = Source[I];
    if (C == '\n') {
      LineStart = true;
      Skip(1);
    } else if (std::isspace(static_cast<unsigned char>(C)) != 0) {
      Skip(1);
    } else if (LineStart && C == '#') {
      while (I < Source.size() && Source[I] != '\n') {
        Skip(Source[I] == '\\' ? 2 : 1);
      }
    } else if (Source.compare(I, 2, "//") == 0) {
      while (I < Source.size() && Source[I] != '\n') {
        Skip(1);
      }
    } else if (Source.compare(I, 2, "/*") == 0) {
      const size_t End = Source.find("*/", I + 2);
      Skip(End == std::string::npos ? Source.size() - I : End + 2 - I);
    } else if (C == '"' || C == '\'') {
      LineStart = false;
      const int StartLine = Line;
      std::string Value;
      Skip(1);
      while (I < Source.size() && Source[I] != C) {
        if (Source[I] == '\\' && I + 1 < Source.size()) {
          Value.push_back(Unescaped(Source[I + 1]));
          Skip(2);
        } else {
          Value.push_back(Source[I]);
          Skip(1);
        }
      }
      Skip(1);
      if (C == '\'') {
        Tokens.push_back({TToken::Number, Value, StartLine});
      } else if (!Tokens.empty() && Tokens.back().Kind == TToken::Literal) {
        Tokens.back().Text += Value;
      } else {
        Tokens.push_back({TToken::Literal, Value, StartLine});
      }
    } else if (IsIdentifierChar(C)) {
      LineStart = false;
      const size_t Start = I;
      while (I < Source.size() && IsIdentifierChar(Source[I])) {
        ++I;
      }
      const std::string Word = Source.substr(Start, I - Start);
      const bool Digit = std::isdigit(static_cast<unsigned char>(Word[0])) != 0;
      Tokens.push_back({Digit ? TToken::Number : TToken::Identifier, Word, Line});
    } else {
      LineStart = false;
      Tokens.push_back({TToken::Punctuation, std::string(1, C), Line});
      Skip(1);
    }
  }
  return Tokens;
}

// A token pattern: "$" stands for the literal collected, "#" for any number, "*" for any
// token; every other entry is a token's exact text.
using TPattern = std::vector<std::string>;

std::vector<std::string> LiteralsMatching(const std::vector<TToken>& Tokens,
                                          const TPattern& Pattern) {
  std::vector<std::string> Found;
  for (size_t Start = 0; Start + Pattern.size() <= Tokens.size(); ++Start) {
    std::string Literal;
    bool Match = true;
    for (size_t K = 0; K < Pattern.size() && Match; ++K) {
      const TToken& Token = Tokens[Start + K];
      if (Pattern[K] == "$") {
        Match = Token.Kind == TToken::Literal;
        Literal = Token.Text;
      } else if (Pattern[K] == "#") {
        Match = Token.Kind == TToken::Number;
      } else if (Pattern[K] != "*") {
        Match = Token.Kind != TToken::Literal && Token.Text == Pattern[K];
      }
    }
    if (Match) {
      Found.push_back(Literal);
    }
  }
  return Found;
}

// Where the texts come from that reach the lookup through a variable rather than as a literal:
// the argument as written, the file that holds the texts, and the shape each text sits in there.
struct TIndirectTexts {
  const char* Argument;
  const char* File;
  TPattern Shape;
};

const TIndirectTexts kIndirectTexts[] = {
    // Column tables: {"Title", width}; a third entry marks a title shown untranslated.
    {"Column.Title", "views/ListColumns.cpp", {"{", "$", ",", "#", "}"}},
    // The window's captions: tables of {control, "Text"} or {control, Test ? "Text" : "Text"},
    // and every literal of the tab captions.
    {"English", "app/MainMenu.cpp", {"{", "*", ",", "$", "}"}},
    {"English", "app/MainMenu.cpp", {"?", "$"}},
    {"English", "app/MainMenu.cpp", {":", "$"}},
    {"English", "app/Toolbar.cpp", {"{", "*", ",", "$", "}"}},
    {"English", "app/Toolbar.cpp", {"?", "$"}},
    {"English", "app/Toolbar.cpp", {":", "$"}},
    {"TabCaptions[I]", "app/MainFormCaptions.cpp", {"$"}},
    // The steps of building the results: Announce("Status text"), and the counted ones.
    {"Text", "results/ResultsBuilder.cpp", {"Announce", "(", "$"}},
    {"Format", "results/ResultsBuilder.cpp", {"Step", "(", "Report", ",", "$"}},
    // The properties dialog's field captions.
    {"Caption", "app/PropertiesDialog.cpp", {"AddField", "(", "$"}},
    // The platform's own reasons for refusing a path or giving up on a replaced one: named
    // constants, and the trash's reasons given with their kind.
    {"Problem.Text", "platform/RemovalTarget.cpp", {"const", "char", "*", "*", "=", "$"}},
    {"Problem.Text", "platform/posix/PosixFileRemoval.cpp", {"const", "char", "*", "*", "=", "$"}},
    {"Problem.Text", "platform/win32/Win32FileRemoval.cpp", {"const", "char", "*", "*", "=", "$"}},
    {"Problem.Text", "platform/posix/PosixTrash.cpp", {"RefusedPath", ",", "$"}},
    {"Problem.Text", "platform/posix/PosixTrash.cpp", {"Replaced", ",", "$"}},
};

struct TCollected {
  std::map<std::string, std::string> Texts;  // text -> where it was first seen
  std::vector<std::string> Unknown;          // calls whose texts this check cannot find
};

void CollectFile(const fs::path& Root, const fs::path& Path, TCollected& Out) {
  const std::string Relative = fs::relative(Path, Root).generic_string();
  const std::vector<TToken> Tokens = Tokenise(ReadFile(Path));
  for (size_t I = 0; I + 1 < Tokens.size(); ++I) {
    const TToken& Name = Tokens[I];
    if (Name.Kind != TToken::Identifier ||
        (Name.Text != "Translate" && Name.Text != "TranslatedText") || Tokens[I + 1].Text != "(") {
      continue;
    }
    // A declaration names its return type first; a call never follows a bare name but return.
    if (I > 0 && (Tokens[I - 1].Kind == TToken::Identifier && Tokens[I - 1].Text != "return")) {
      continue;
    }
    std::vector<TToken> Arguments;
    int Depth = 0;
    for (size_t K = I + 1; K < Tokens.size(); ++K) {
      Depth += Tokens[K].Text == "(" && Tokens[K].Kind == TToken::Punctuation ? 1 : 0;
      Depth -= Tokens[K].Text == ")" && Tokens[K].Kind == TToken::Punctuation ? 1 : 0;
      if (Depth == 0) {
        break;
      }
      if (K > I + 1) {
        Arguments.push_back(Tokens[K]);
      }
    }
    const std::string Where = Relative + ":" + std::to_string(Name.Line);
    std::string Expression;
    bool HasLiteral = false;
    for (const TToken& Token : Arguments) {
      if (Token.Kind == TToken::Literal) {
        HasLiteral = true;
        Out.Texts.emplace(Token.Text, Where);
      }
      Expression += Token.Text;
    }
    if (HasLiteral) {
      continue;
    }
    bool Known = false;
    for (const TIndirectTexts& Indirect : kIndirectTexts) {
      if (Expression != Indirect.Argument) {
        continue;
      }
      Known = true;
      const fs::path Source = Root / Indirect.File;
      for (const std::string& Text : LiteralsMatching(Tokenise(ReadFile(Source)), Indirect.Shape)) {
        Out.Texts.emplace(Text, Indirect.File);
      }
    }
    // A named constant of the same file: kName = "Text".
    for (const std::string& Text : LiteralsMatching(Tokens, {Expression, "=", "$"})) {
      Known = true;
      Out.Texts.emplace(Text, Where);
    }
    if (!Known) {
      Out.Unknown.push_back(Where + ": " + Expression);
    }
  }
}

TCollected CollectProgramTexts() {
  const fs::path Root = DUNSTREL_SOURCE_DIR;
  TCollected Collected;
  for (const fs::directory_entry& Entry : fs::recursive_directory_iterator(Root)) {
    const fs::path& Path = Entry.path();
    const bool Source = Path.extension() == ".cpp" || Path.extension() == ".h";
    // The lookup itself passes on what it is given.
    if (Entry.is_regular_file() && Source && Path.parent_path().filename() != "localisation") {
      CollectFile(Root, Path, Collected);
    }
  }
  return Collected;
}

TEST(TranslatedTextsTest, TheCollectionFindsTheTextsOfEveryKindOfCall) {
  const TCollected Collected = CollectProgramTexts();
  // One text of each way a text reaches the lookup, so that a change in the sources that hides
  // texts from this check shows here rather than as a silently shorter list.
  for (const char* Text : {"Ready", "Scanning: %s  (files: %d, dirs: %d)", "Name", "FullPath",
                           "Bytes", "Files in Folders", "Building folders/files tree...",
                           "Populating extensions...", "Abort", "Skip", "Exit",
                           "This version of the software is out of date. You must download "
                           "the current version %s to continue using the software."}) {
    EXPECT_TRUE(Collected.Texts.contains(Text)) << Text;
  }
  EXPECT_FALSE(Collected.Texts.contains("%")) << "the share column's title is not translated";
  EXPECT_FALSE(Collected.Texts.contains("app/MainForm.h")) << "includes are no texts";
  EXPECT_TRUE(Collected.Unknown.empty()) << "teach this check where these texts come from: "
                                         << ::testing::PrintToString(Collected.Unknown);
}

TEST(TranslatedTextsTest, TheShippedFileTranslatesEveryTextOfTheProgram) {
  const std::string Content = ReadFile(DUNSTREL_TRANSLATION_FILE);
  const std::optional<TTranslationTable> Table = ParseTranslationFile(Content);
  ASSERT_TRUE(Table.has_value());
  ASSERT_GE(Table->size(), 6u);
  const std::vector<std::string>& English = Table->front();
  EXPECT_EQ(Content.size(), Content.find_last_of('\n') + 1) << "no incomplete last line";
  // No line of an incomplete last row.
  size_t Lines = 0;
  for (const char C : Content) {
    Lines += C == '\n' ? 1 : 0;
  }
  EXPECT_EQ(Lines, 1 + Table->size() * English.size());

  std::set<std::string> Codes;
  for (const std::vector<std::string>& Column : *Table) {
    ASSERT_EQ(Column.size(), English.size());
    EXPECT_FALSE(Column[0].empty());
    EXPECT_TRUE(Codes.insert(Column[1]).second) << "code twice: " << Column[1];
    for (size_t Row = 2; Row < Column.size(); ++Row) {
      // The parser empties a translation whose placeholders differ from the English ones.
      EXPECT_FALSE(Column[Row].empty()) << Column[1] << " lacks a translation of \"" << English[Row]
                                        << "\" or its placeholders differ from the English ones ("
                                        << PlaceholderKinds(English[Row]) << ")";
    }
  }
  EXPECT_EQ(English[1], "en");
  for (const char* Code : {"de", "fr", "es", "it", "pt"}) {
    EXPECT_TRUE(Codes.contains(Code)) << Code;
  }

  std::set<std::string> Rows;
  for (size_t Row = 2; Row < English.size(); ++Row) {
    EXPECT_TRUE(Rows.insert(English[Row]).second) << "row twice: " << English[Row];
  }
  for (const auto& [Text, Where] : CollectProgramTexts().Texts) {
    EXPECT_EQ(Text.find_first_of("\r\n"), std::string::npos)
        << Where << ": a text with a line break can never be a row of the file: " << Text;
    EXPECT_TRUE(Rows.contains(Text)) << Where << ": no row for \"" << Text << "\"";
  }
}

}  // namespace
}  // namespace dunstrel
