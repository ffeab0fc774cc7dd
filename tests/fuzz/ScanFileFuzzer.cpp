// Feeds arbitrary bytes to the saved-scan reader: it must refuse them with EScanFileError or
// build a tree, never crash, hang, read out of bounds or throw anything else.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "results/ScanExport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  std::istringstream In(std::string(reinterpret_cast<const char*>(Data), Size));
  try {
    const std::unique_ptr<dunstrel::TDirNode> Root = dunstrel::ReadScanExport(In);
    // What was read must be a tree the program can walk and total.
    (void)Root->TotalSize;
  } catch (const dunstrel::EScanFileError&) {
    // A refusal is the expected answer to most inputs.
  }
  return 0;
}
