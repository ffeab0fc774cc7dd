#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string_view>

#include "results/JsonReader.h"
#include "results/ScanFileError.h"

namespace dunstrel {

// How a saved scan's bytes are packed: plain JSON, gzip (zlib) or zstd.
enum class TCompression { None, Gzip, Zstd };

// The packing a file name asks for by its suffix: ".gz" or ".zst"; else none.
TCompression CompressionOfName(std::string_view Path);

// Where the bytes of a saved scan go.
class IByteSink {
 public:
  virtual ~IByteSink() = default;
  virtual void Write(const char* Data, size_t Size) = 0;
  // Writes what is still held (the end of a compressed stream) and flushes.
  virtual void Finish() = 0;
};

// Writes to Out, packed as asked. Throws EScanFileError when Out fails or the packing is not
// built into this program.
std::unique_ptr<IByteSink> NewScanFileSink(std::ostream& Out, TCompression Packing);

// Reads Raw, unpacking gzip or zstd data, which are known by their first bytes (so any name, and
// standard input, will do). Data that unpacks to more than a saved scan ever does (1000 times
// its packed size) is refused as a hostile file.
std::unique_ptr<IByteSource> NewScanFileSource(std::istream& Raw);

}  // namespace dunstrel
