#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "scan/ScanTree.h"

namespace dunstrel {

// The exclusion filters of one scan and its cancellation flag: the one object the scan task and
// the window share. The filters are written before the task starts and only read afterwards.
class TScanContext {
 public:
  // Any thread, any number of times; the flag never returns to 0.
  void Cancel() { FCancelled.exchange(1); }
  bool IsCancelled() const { return FCancelled.load(std::memory_order_seq_cst) != 0; }
  // The filters and threads of Other, not its cancellation: a folder walked again after a scan
  // is walked as the scan walked it, and can be stopped on its own.
  void CopySettingsFrom(const TScanContext& Other);

  bool ExcludeModifiedBefore = false;
  TDateTime ModifiedBefore = 0;
  bool ExcludeLessThan = false;
  int64_t LessThanBytes = 0;
  bool ExcludePattern = false;
  std::string Pattern;                    // as entered, trimmed; never matched
  std::vector<std::string> PatternMasks;  // matched, in the order typed
  // Threads that read folders at once. Chosen for the latency of a cold disk, not for the
  // processor count: each thread mostly waits for the disk, and many requests in flight let it
  // serve them in its own order. 1 walks depth-first in listing order on the calling thread.
  int WalkThreads = kDefaultWalkThreads;
  static constexpr int kDefaultWalkThreads = 16;

 private:
  std::atomic<int32_t> FCancelled{0};
};

// What the "Exclude Files" controls hold when Scan is pressed.
struct TFilterInputs {
  bool ModifiedBeforeChecked = false;
  TDateTime ModifiedBefore = 0;
  bool LessThanChecked = false;
  std::string LessThanText;
  int SizeUnitIndex = 0;  // Bytes, KB, MB, GB, TB
  bool PatternChecked = false;
  std::string PatternText;
};

// Reads the "Less than" text as a byte count. The number is read with the user's decimal
// separator first, then with "."; it is scaled by the unit and rounded half to even, and
// 2^63 bytes or more give the largest count. False for empty, malformed or negative text.
bool ParseLessThanBytes(std::string_view Text, int SizeUnitIndex, std::string_view DecimalSeparator,
                        int64_t& Value);

// The masks of a pattern text: split at ";", pieces trimmed, empty pieces left out.
std::vector<std::string> SplitPatternMasks(std::string_view Pattern);

// Text without leading and trailing blanks and control characters.
std::string_view TrimBlanks(std::string_view Text);

// Copies the filter inputs into a scan's context.
void ApplyFiltersToContext(const TFilterInputs& Inputs, std::string_view DecimalSeparator,
                           TScanContext& Context);

}  // namespace dunstrel
