#include "results/ScanSummary.h"

#include <gtest/gtest.h>

namespace dunstrel {
namespace {

TEST(ScanSummaryTest, SaysHowManyFoldersCouldNotBeRead) {
  const struct {
    int64_t Unreadable;
    const char* Line;
  } Cases[] = {
      {0, "Done. Total files: 3   Total size: 1.5 KB"},
      {1, "Done. Total files: 3   Total size: 1.5 KB   (1 folder could not be read)"},
      {3, "Done. Total files: 3   Total size: 1.5 KB   (3 folders could not be read)"},
  };
  for (const auto& Case : Cases) {
    EXPECT_EQ(ScanSummaryLine(3, 1536, Case.Unreadable, {}), Case.Line);
  }
}

}  // namespace
}  // namespace dunstrel
