#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ProductVersion.h"

namespace dunstrel {

// What the update server is asked, and how.
inline constexpr const char* kUpdateUserAgent = "Mozilla/4.0 (compatible; MyApp)";
inline constexpr const char* kVersionDocumentPath = "/download/version/dunstrel-version.html";
inline constexpr const char* kChangesDocumentPath = "/download/version/dunstrel-changes.html";
// Each document is a few lines; anything longer is not a document of the server's.
inline constexpr std::size_t kMaxUpdateDocumentBytes = 64 * 1024;

// The first line of the version document: "latest/minimum", both the version times ten.
struct TVersionLine {
  int32_t Latest = 0;
  int32_t Minimum = 0;
  // The latest version as the server wrote it, for showing.
  std::string LatestText;
};

// Nothing when the first line has no "/", or a part that is not a whole number that fits.
std::optional<TVersionLine> ParseVersionLine(std::string_view VersionDocument);

// The version as shown to the user: a point before the last digit ("26" gives "2.6").
std::string ShownVersion(std::string_view LatestText);

// The lines of the changes document in order, without the empty ones.
std::vector<std::string> ChangeLines(std::string_view ChangesDocument);

// What the update dialog offers.
struct TUpdateOffer {
  // The running version is older than the oldest one allowed: update or end the program.
  bool UpdateRequired = false;
  // Headline, a blank line, "What's new:" and the changes, every line ending in CR LF.
  std::string UpdateMessage;
};

// The offer the two documents make to a program of RunningVersion; nothing when there is no
// newer version, or when a document is unreadable, not UTF-8, or larger than
// kMaxUpdateDocumentBytes.
std::optional<TUpdateOffer> EvaluateUpdate(std::string_view VersionDocument,
                                           std::string_view ChangesDocument,
                                           int RunningVersion = kRunningVersion);

}  // namespace dunstrel
