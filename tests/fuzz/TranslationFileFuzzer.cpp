// Feeds arbitrary bytes to the translation-file reader and installs what it accepts: it must
// refuse them or give a table every column of which has the names and codes rows, never crash,
// hang or read out of bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "localisation/TranslationFile.h"
#include "localisation/translation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string_view Content(reinterpret_cast<const char*>(Data), Size);
  const std::optional<dunstrel::TTranslationTable> Table = dunstrel::ParseTranslationFile(Content);
  if (Table) {
    if (static_cast<int64_t>(Table->size()) > dunstrel::kMaxTranslationLanguages) {
      std::abort();
    }
    for (const std::vector<std::string>& Column : *Table) {
      if (Column.size() < 2 || Column.size() != Table->front().size()) {
        std::abort();  // the Language menu reads rows 0 and 1 of every column
      }
    }
  }
  dunstrel::SetLanguageCode("de");
  dunstrel::InstallTranslationFile(Content);
  (void)dunstrel::Translate("Scan");
  return 0;
}
