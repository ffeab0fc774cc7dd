#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>

#include "scan/ScanTree.h"

namespace dunstrel {

// A scan file that cannot be written or read: the message says what and, for a read, where.
class EScanFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The limits a scan file must keep to be read. They refuse hostile files long before they cost
// much memory, and are far beyond what any file system produces.
inline constexpr size_t kScanFileMaxNameBytes = 32768;
inline constexpr size_t kScanFileMaxPathBytes = 65536;
inline constexpr size_t kScanFileMaxDepth = 4096;

// Writes a scan tree in the disk-usage export format shared with other disk analysers (a JSON
// array: major version 1, minor version, metadata, the root folder), as it walks the tree.
// Names are written with their own bytes; only quotes, backslashes and control characters are
// escaped. Throws EScanFileError when the stream fails.
void WriteScanExport(const TDirNode& Root, std::ostream& Out);

// Writes the file through a new file beside it that replaces Path only once complete, so a failed
// save leaves an existing file as it was; a link at Path is replaced, never written through.
// Throws EScanFileError naming Path and the reason.
void SaveScanFile(const TDirNode& Root, const std::string& Path);

// Called now and then while a file is read, with the bytes read so far.
using TScanFileProgress = std::function<void(int64_t BytesRead)>;

// Reads a file of that format, from this program or another tool, into a scan tree with the
// totals and extension statistics a scan computes. Streams the input and builds the tree with an
// explicit stack; throws EScanFileError for anything malformed, out of range or beyond the limits
// above, and then returns nothing.
std::unique_ptr<TDirNode> ReadScanExport(std::istream& In,
                                         const TScanFileProgress& OnProgress = {});
std::unique_ptr<TDirNode> LoadScanFile(const std::string& Path,
                                       const TScanFileProgress& OnProgress = {});

}  // namespace dunstrel
