#include "update/uNewVersionCheck.h"

#include <charconv>
#include <limits>

#include "localisation/TextFormat.h"
#include "localisation/translation.h"
#include "platform/TextEncoding.h"

namespace dunstrel {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

std::string_view WithoutByteOrderMark(std::string_view Text) {
  if (Text.starts_with(kByteOrderMark)) {
    Text.remove_prefix(kByteOrderMark.size());
  }
  return Text;
}

std::string_view Trimmed(std::string_view Text) {
  constexpr std::string_view kBlanks = " \t";
  const std::size_t First = Text.find_first_not_of(kBlanks);
  if (First == std::string_view::npos) {
    return {};
  }
  return Text.substr(First, Text.find_last_not_of(kBlanks) - First + 1);
}

// Digits only: no sign, no other base, and the value must fit 32 bits.
std::optional<int32_t> WholeNumber(std::string_view Text) {
  if (Text.empty() || Text.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  int32_t Value = 0;
  const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
  if (Error != std::errc() || End != Text.data() + Text.size()) {
    return std::nullopt;
  }
  return Value;
}

// Calls Take with every line; a line ends at CR LF, LF or CR.
template <typename TTake>
void ForEachLine(std::string_view Text, TTake Take) {
  while (!Text.empty()) {
    const std::size_t End = Text.find_first_of("\r\n");
    if (End == std::string_view::npos) {
      Take(Text);
      return;
    }
    Take(Text.substr(0, End));
    const std::size_t Next = Text.compare(End, 2, kLineEnd) == 0 ? End + 2 : End + 1;
    Text.remove_prefix(Next);
  }
}

}  // namespace

std::optional<TVersionLine> ParseVersionLine(std::string_view VersionDocument) {
  const std::string_view Document = WithoutByteOrderMark(VersionDocument);
  const std::string_view FirstLine = Document.substr(0, Document.find_first_of("\r\n"));
  const std::size_t Slash = FirstLine.find('/');
  if (Slash == std::string_view::npos) {
    return std::nullopt;
  }
  const std::string_view LatestText = Trimmed(FirstLine.substr(0, Slash));
  const std::optional<int32_t> Latest = WholeNumber(LatestText);
  const std::optional<int32_t> Minimum = WholeNumber(Trimmed(FirstLine.substr(Slash + 1)));
  if (!Latest || !Minimum) {
    return std::nullopt;
  }
  return TVersionLine{*Latest, *Minimum, std::string(LatestText)};
}

std::string ShownVersion(std::string_view LatestText) {
  if (LatestText.empty()) {
    return {};
  }
  std::string Shown(LatestText.substr(0, LatestText.size() - 1));
  Shown += '.';
  Shown += LatestText.back();
  return Shown;
}

std::vector<std::string> ChangeLines(std::string_view ChangesDocument) {
  std::vector<std::string> Lines;
  ForEachLine(WithoutByteOrderMark(ChangesDocument), [&Lines](std::string_view Line) {
    if (!Line.empty()) {
      Lines.emplace_back(Line);
    }
  });
  return Lines;
}

std::optional<TUpdateOffer> EvaluateUpdate(std::string_view VersionDocument,
                                           std::string_view ChangesDocument, int RunningVersion) {
  if (VersionDocument.size() > kMaxUpdateDocumentBytes ||
      ChangesDocument.size() > kMaxUpdateDocumentBytes || !platform::IsValidUtf8(VersionDocument) ||
      !platform::IsValidUtf8(ChangesDocument)) {
    return std::nullopt;  // not a document of the server's: the check failed
  }
  const std::optional<TVersionLine> Versions = ParseVersionLine(VersionDocument);
  if (!Versions) {
    return std::nullopt;
  }
  const std::string Shown = ShownVersion(Versions->LatestText);
  TUpdateOffer Offer;
  std::string Headline;
  if (Versions->Minimum > RunningVersion) {
    Offer.UpdateRequired = true;
    Headline = FormatText(Translate("This version of the software is out of date. You must "
                                    "download the current version %s to continue using the "
                                    "software."),
                          {Shown});
  } else if (Versions->Latest > RunningVersion) {
    Headline = FormatText(Translate("The new version %s is available"), {Shown});
  } else {
    return std::nullopt;
  }
  Offer.UpdateMessage = Headline;
  Offer.UpdateMessage += kLineEnd;
  Offer.UpdateMessage += kLineEnd;
  Offer.UpdateMessage += Translate("What's new:");
  Offer.UpdateMessage += kLineEnd;
  for (const std::string& Line : ChangeLines(ChangesDocument)) {
    Offer.UpdateMessage += Line;
    Offer.UpdateMessage += kLineEnd;
  }
  return Offer;
}

}  // namespace dunstrel
