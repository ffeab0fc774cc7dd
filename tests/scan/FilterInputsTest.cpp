#include <gtest/gtest.h>

#include "common/Calendar.h"
#include "scan/ScanContext.h"

namespace dunstrel {
namespace {

enum EUnit { Bytes, KB, MB, GB, TB };

TEST(FilterInputsTest, ParseLessThanBytes) {
  struct TCase {
    const char* Text;
    int Unit;
    const char* Separator;
    bool Valid;
    int64_t Value;
  } Cases[] = {
      {"1,5", KB, ",", true, 1536},
      {"1,5", KB, ".", false, 0},
      {"1.5", KB, ",", true, 1536},  // the second read accepts the point
      {"1.000,5", KB, ",", false, 0},
      {"1.000,5", KB, ".", false, 0},
      {"0.5", Bytes, ".", true, 0},  // halves to even
      {"1.5", Bytes, ".", true, 2},
      {"2.5", Bytes, ".", true, 2},
      {"3.5", Bytes, ".", true, 4},
      {"-1", Bytes, ".", false, 0},
      {"-0", Bytes, ".", true, 0},
      {"", Bytes, ".", false, 0},
      {"   ", Bytes, ".", false, 0},
      {" 12 ", MB, ".", true, 12 * 1048576LL},
      {"+2", GB, ".", true, 2 * 1073741824LL},
      {"8388608", TB, ".", true, INT64_MAX},  // exactly 2^63 bytes
      {"8388607.99", TB, ".", true, 9223372025859659776LL},
      {"1e3", Bytes, ".", true, 1000},
      {"1E+3", KB, ".", true, 1024000},
      {"1e", Bytes, ".", false, 0},
      {"1e400", Bytes, ".", false, 0},  // beyond the double range
      {"1e-400", Bytes, ".", true, 0},
      {".5", Bytes, ".", true, 0},
      {"5.", Bytes, ".", true, 5},
      {".", Bytes, ".", false, 0},
      {"1 000", Bytes, ".", false, 0},
      {"0x10", Bytes, ".", false, 0},
      {"inf", Bytes, ".", false, 0},
      {"nan", Bytes, ".", false, 0},
      {"7", 9, ".", true, 7},  // an unknown unit counts bytes
  };
  for (const TCase& Case : Cases) {
    int64_t Value = -1;
    EXPECT_EQ(ParseLessThanBytes(Case.Text, Case.Unit, Case.Separator, Value), Case.Valid)
        << "'" << Case.Text << "'";
    EXPECT_EQ(Value, Case.Value) << "'" << Case.Text << "'";
  }
}

TEST(FilterInputsTest, SplitPatternMasks) {
  EXPECT_EQ(SplitPatternMasks("  *.tmp ; ;*.LOG;"), (std::vector<std::string>{"*.tmp", "*.LOG"}));
  EXPECT_EQ(SplitPatternMasks("*.sys;*somefilename*"),
            (std::vector<std::string>{"*.sys", "*somefilename*"}));
  EXPECT_TRUE(SplitPatternMasks(" ;; ").empty());
  EXPECT_TRUE(SplitPatternMasks("").empty());
}

TEST(FilterInputsTest, ApplyFiltersToContext) {
  const double Threshold = EncodeDateTime({2026, 1, 14, 0, 4, 41, 0});
  TFilterInputs Inputs;
  Inputs.ModifiedBefore = Threshold;
  Inputs.LessThanChecked = true;
  Inputs.LessThanText = "2,5";
  Inputs.SizeUnitIndex = KB;
  Inputs.PatternChecked = true;
  Inputs.PatternText = "  *.tmp; *.LOG  ";

  TScanContext Context;
  ApplyFiltersToContext(Inputs, ",", Context);
  EXPECT_FALSE(Context.ExcludeModifiedBefore);
  EXPECT_EQ(Context.ModifiedBefore, Threshold);  // set even when unchecked
  EXPECT_TRUE(Context.ExcludeLessThan);
  EXPECT_EQ(Context.LessThanBytes, 2560);
  EXPECT_TRUE(Context.ExcludePattern);
  EXPECT_EQ(Context.Pattern, "*.tmp; *.LOG");
  EXPECT_EQ(Context.PatternMasks, (std::vector<std::string>{"*.tmp", "*.LOG"}));

  Inputs.LessThanText = "many";
  Inputs.PatternChecked = false;
  ApplyFiltersToContext(Inputs, ",", Context);
  EXPECT_EQ(Context.LessThanBytes, 0);  // a failed read turns the size filter off
  EXPECT_FALSE(Context.ExcludePattern);
  EXPECT_EQ(Context.Pattern, "*.tmp; *.LOG");  // the text is kept
  EXPECT_TRUE(Context.PatternMasks.empty());   // but nothing is matched
}

TEST(FilterInputsTest, CancelIsStickyAndSeenEverywhere) {
  TScanContext Context;
  EXPECT_FALSE(Context.IsCancelled());
  Context.Cancel();
  Context.Cancel();
  EXPECT_TRUE(Context.IsCancelled());
}

}  // namespace
}  // namespace dunstrel
