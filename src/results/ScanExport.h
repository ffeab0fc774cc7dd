#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "results/ScanFileError.h"
#include "results/ScanFileStreams.h"
#include "scan/ScanTree.h"

namespace dunstrel {

// The limits a scan file must keep to be read. They refuse hostile files long before they cost
// much memory, and are far beyond what any file system produces.
inline constexpr size_t kScanFileMaxNameBytes = 32768;
inline constexpr size_t kScanFileMaxPathBytes = 65536;
inline constexpr size_t kScanFileMaxDepth = 4096;
// The memory the tree of a scan file may take: 64 bytes for every byte of its JSON text read,
// beyond a first 64 MiB that any file may use, and 8 GiB at most whatever its size.
inline constexpr int64_t kScanFileTreeBytesPerByte = 64;
inline constexpr int64_t kScanFileTreeAllowance = int64_t{64} << 20;
inline constexpr int64_t kScanFileTreeCeiling = int64_t{8} << 30;

// Writes a scan tree in the disk-usage export format shared with other disk analysers (a JSON
// array: major version 1, minor version, metadata, the root folder), as it walks the tree:
// apparent and allocated sizes, times, the identities of hard-linked files, folders that could
// not be read. Names are written with their own bytes; only quotes, backslashes and control
// characters are escaped. Throws EScanFileError when the output fails.
void WriteScanExport(const TDirNode& Root, IByteSink& Out);
void WriteScanExport(const TDirNode& Root, std::ostream& Out,
                     TCompression Packing = TCompression::None);

// Writes the file, packed as its suffix asks (".gz", ".zst"), through a new file beside it that
// replaces Path only once complete, so a failed save leaves an existing file as it was; a link at
// Path is replaced, never written through. "-" is standard output. Throws EScanFileError naming
// Path and the reason.
void SaveScanFile(const TDirNode& Root, const std::string& Path);

// Called now and then while a file is read, with the bytes read so far.
using TScanFileProgress = std::function<void(int64_t BytesRead)>;

// Reads a file of that format, from this program or another tool, plain or packed with gzip or
// zstd, into a scan tree with the totals a scan computes: entries that
// are not regular files or folders, and excluded ones with all they hold, stay out, as a scan
// leaves them out. Streams the input and builds the tree with an explicit stack; throws
// EScanFileError for anything malformed, out of range, beyond the limits above or beyond the
// memory they allow, and then returns nothing.
std::unique_ptr<TDirNode> ReadScanExport(std::istream& In,
                                         const TScanFileProgress& OnProgress = {});
// "-" is standard input.
std::unique_ptr<TDirNode> LoadScanFile(const std::string& Path,
                                       const TScanFileProgress& OnProgress = {});

}  // namespace dunstrel
