#include "results/ScanFileStreams.h"

#include <algorithm>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#ifdef DUNSTREL_HAVE_ZLIB
#include <zlib.h>
#endif
#ifdef DUNSTREL_HAVE_ZSTD
#include <zstd.h>
#include <zstd_errors.h>
#endif

namespace dunstrel {

namespace {

constexpr size_t kChunkBytes = 256 * 1024;
// No saved scan packs better than this; a file that unpacks to more is built to exhaust.
constexpr int64_t kMostUnpackedPerPacked = 1000;
constexpr int64_t kUnpackedAllowance = 16 * 1024 * 1024;

#if !defined(DUNSTREL_HAVE_ZLIB) || !defined(DUNSTREL_HAVE_ZSTD)
[[noreturn]] void NotBuiltIn(const char* Packing) {
  throw EScanFileError(std::string("This build cannot read or write ") + Packing +
                       "-compressed scan files.");
}
#endif

[[noreturn]] void WriteFailed() {
  throw EScanFileError("The scan file could not be written.");
}

class TPlainSink final : public IByteSink {
 public:
  explicit TPlainSink(std::ostream& Out) : FOut(Out) {}
  void Write(const char* Data, size_t Size) override {
    FOut.write(Data, static_cast<std::streamsize>(Size));
    if (!FOut) {
      WriteFailed();
    }
  }
  void Finish() override {
    FOut.flush();
    if (!FOut) {
      WriteFailed();
    }
  }

 private:
  std::ostream& FOut;
};

// Reads Raw's bytes as they are.
class TRawSource final : public IByteSource {
 public:
  explicit TRawSource(std::istream& Raw) : FRaw(Raw) {}

  size_t Read(char* Buffer, size_t Size) override {
    size_t Got = 0;
    if (FAhead < FPeeked.size()) {
      Got = std::min(Size, FPeeked.size() - FAhead);
      std::copy_n(FPeeked.data() + FAhead, Got, Buffer);
      FAhead += Got;
      return Got;
    }
    FRaw.read(Buffer, static_cast<std::streamsize>(Size));
    Got = static_cast<size_t>(FRaw.gcount());
    if (Got == 0 && FRaw.bad()) {
      throw EScanFileError("The file could not be read.");
    }
    FBytes += static_cast<int64_t>(Got);
    return Got;
  }

  // The first bytes, which are read again by Read.
  const std::string& Peek(size_t Count) {
    FPeeked.resize(Count);
    FRaw.read(FPeeked.data(), static_cast<std::streamsize>(Count));
    FPeeked.resize(static_cast<size_t>(FRaw.gcount()));
    FBytes += static_cast<int64_t>(FPeeked.size());
    FRaw.clear(FRaw.rdstate() & ~std::ios::failbit & ~std::ios::eofbit);
    return FPeeked;
  }
  int64_t Bytes() const { return FBytes; }

 private:
  std::istream& FRaw;
  std::string FPeeked;
  size_t FAhead = 0;
  int64_t FBytes = 0;
};

// The frame of an unpacking source: packed bytes in, unpacked bytes out, within the bound.
class TUnpackingSource : public IByteSource {
 public:
  explicit TUnpackingSource(std::unique_ptr<TRawSource> Raw)
      : FRaw(std::move(Raw)), FIn(kChunkBytes) {}

 protected:
  // Unpacked bytes handed out: refused past the bound of the packed bytes read.
  void Count(size_t Unpacked) {
    FUnpacked += static_cast<int64_t>(Unpacked);
    if (FUnpacked > FRaw->Bytes() * kMostUnpackedPerPacked + kUnpackedAllowance) {
      throw EScanFileError(
          "The compressed file unpacks to far more than any saved scan, and is refused.");
    }
  }
  // More packed bytes when all were used; false at the end.
  bool Refill(size_t& Left) {
    if (Left > 0) {
      return true;
    }
    Left = FRaw->Read(FIn.data(), FIn.size());
    FNext = FIn.data();
    return Left > 0;
  }

  std::unique_ptr<TRawSource> FRaw;
  std::vector<char> FIn;
  const char* FNext = nullptr;
  int64_t FUnpacked = 0;
};

[[noreturn]] void Corrupt(const char* Packing) {
  throw EScanFileError(std::string("The ") + Packing + " data of the file is damaged.");
}

#ifdef DUNSTREL_HAVE_ZLIB
class TGzipSink final : public IByteSink {
 public:
  explicit TGzipSink(std::ostream& Out) : FOut(Out), FBuffer(kChunkBytes) {
    // 15 window bits, plus 16: a gzip header and trailer.
    if (deflateInit2(&FStream, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
      throw std::bad_alloc();
    }
  }
  ~TGzipSink() override { deflateEnd(&FStream); }
  TGzipSink(const TGzipSink&) = delete;
  TGzipSink& operator=(const TGzipSink&) = delete;

  void Write(const char* Data, size_t Size) override { Pack(Data, Size, Z_NO_FLUSH); }
  void Finish() override {
    Pack(nullptr, 0, Z_FINISH);
    FOut.flush();
    if (!FOut) {
      WriteFailed();
    }
  }

 private:
  void Pack(const char* Data, size_t Size, int Flush) {
    FStream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Data));
    FStream.avail_in = static_cast<uInt>(Size);
    int Result = Z_OK;
    do {
      FStream.next_out = reinterpret_cast<Bytef*>(FBuffer.data());
      FStream.avail_out = static_cast<uInt>(FBuffer.size());
      Result = deflate(&FStream, Flush);
      FOut.write(FBuffer.data(), static_cast<std::streamsize>(FBuffer.size() - FStream.avail_out));
      if (!FOut) {
        WriteFailed();
      }
    } while (FStream.avail_out == 0 || (Flush == Z_FINISH && Result != Z_STREAM_END));
  }

  std::ostream& FOut;
  std::vector<char> FBuffer;
  z_stream FStream{};
};

class TGzipSource final : public TUnpackingSource {
 public:
  explicit TGzipSource(std::unique_ptr<TRawSource> Raw) : TUnpackingSource(std::move(Raw)) {
    if (inflateInit2(&FStream, 15 + 16) != Z_OK) {
      throw std::bad_alloc();
    }
  }
  ~TGzipSource() override { inflateEnd(&FStream); }
  TGzipSource(const TGzipSource&) = delete;
  TGzipSource& operator=(const TGzipSource&) = delete;

  size_t Read(char* Buffer, size_t Size) override {
    for (;;) {
      if (FEnded) {
        // Concatenated gzip members are one file, as gzip itself reads them.
        if (!Refill(FLeft)) {
          return 0;
        }
        inflateReset(&FStream);
        FEnded = false;
      }
      if (!Refill(FLeft)) {
        Corrupt("gzip");  // ends inside a member
      }
      FStream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(FNext));
      FStream.avail_in = static_cast<uInt>(FLeft);
      FStream.next_out = reinterpret_cast<Bytef*>(Buffer);
      FStream.avail_out = static_cast<uInt>(Size);
      const int Result = inflate(&FStream, Z_NO_FLUSH);
      FNext = reinterpret_cast<const char*>(FStream.next_in);
      FLeft = FStream.avail_in;
      if (Result == Z_MEM_ERROR) {
        throw std::bad_alloc();
      }
      if (Result != Z_OK && Result != Z_STREAM_END && Result != Z_BUF_ERROR) {
        Corrupt("gzip");
      }
      FEnded = Result == Z_STREAM_END;
      const size_t Got = Size - FStream.avail_out;
      if (Got > 0) {
        Count(Got);
        return Got;
      }
    }
  }

 private:
  z_stream FStream{};
  size_t FLeft = 0;
  bool FEnded = false;
};
#endif

#ifdef DUNSTREL_HAVE_ZSTD
class TZstdSink final : public IByteSink {
 public:
  explicit TZstdSink(std::ostream& Out)
      : FOut(Out), FContext(ZSTD_createCCtx()), FBuffer(ZSTD_CStreamOutSize()) {
    if (FContext == nullptr) {
      throw std::bad_alloc();
    }
    ZSTD_CCtx_setParameter(FContext, ZSTD_c_compressionLevel, 3);
    ZSTD_CCtx_setParameter(FContext, ZSTD_c_checksumFlag, 1);
  }
  ~TZstdSink() override { ZSTD_freeCCtx(FContext); }
  TZstdSink(const TZstdSink&) = delete;
  TZstdSink& operator=(const TZstdSink&) = delete;

  void Write(const char* Data, size_t Size) override { Pack(Data, Size, ZSTD_e_continue); }
  void Finish() override {
    Pack(nullptr, 0, ZSTD_e_end);
    FOut.flush();
    if (!FOut) {
      WriteFailed();
    }
  }

 private:
  void Pack(const char* Data, size_t Size, ZSTD_EndDirective Mode) {
    ZSTD_inBuffer In{Data, Size, 0};
    size_t Remaining = 0;
    do {
      ZSTD_outBuffer Out{FBuffer.data(), FBuffer.size(), 0};
      Remaining = ZSTD_compressStream2(FContext, &Out, &In, Mode);
      if (ZSTD_isError(Remaining)) {
        throw std::bad_alloc();  // the only failure of a well-formed call
      }
      FOut.write(FBuffer.data(), static_cast<std::streamsize>(Out.pos));
      if (!FOut) {
        WriteFailed();
      }
    } while (Mode == ZSTD_e_end ? Remaining != 0 : In.pos < In.size);
  }

  std::ostream& FOut;
  ZSTD_CCtx* FContext;
  std::vector<char> FBuffer;
};

class TZstdSource final : public TUnpackingSource {
 public:
  explicit TZstdSource(std::unique_ptr<TRawSource> Raw)
      : TUnpackingSource(std::move(Raw)), FContext(ZSTD_createDCtx()) {
    if (FContext == nullptr) {
      throw std::bad_alloc();
    }
    // A frame may ask for a window of up to 2 GiB; a saved scan needs no more than 128 MiB.
    ZSTD_DCtx_setParameter(FContext, ZSTD_d_windowLogMax, 27);
  }
  ~TZstdSource() override { ZSTD_freeDCtx(FContext); }
  TZstdSource(const TZstdSource&) = delete;
  TZstdSource& operator=(const TZstdSource&) = delete;

  size_t Read(char* Buffer, size_t Size) override {
    for (;;) {
      if (!Refill(FLeft)) {
        if (!FFrameDone) {
          Corrupt("zstd");  // ends inside a frame
        }
        return 0;
      }
      ZSTD_inBuffer In{FNext, FLeft, 0};
      ZSTD_outBuffer Out{Buffer, Size, 0};
      const size_t Result = ZSTD_decompressStream(FContext, &Out, &In);
      if (ZSTD_isError(Result)) {
        if (ZSTD_getErrorCode(Result) == ZSTD_error_memory_allocation) {
          throw std::bad_alloc();
        }
        Corrupt("zstd");
      }
      FNext += In.pos;
      FLeft -= In.pos;
      FFrameDone = Result == 0;
      if (Out.pos > 0) {
        Count(Out.pos);
        return Out.pos;
      }
    }
  }

 private:
  ZSTD_DCtx* FContext;
  size_t FLeft = 0;
  bool FFrameDone = false;
};
#endif

}  // namespace

TCompression CompressionOfName(std::string_view Path) {
  if (Path.ends_with(".gz")) {
    return TCompression::Gzip;
  }
  if (Path.ends_with(".zst")) {
    return TCompression::Zstd;
  }
  return TCompression::None;
}

std::unique_ptr<IByteSink> NewScanFileSink(std::ostream& Out, TCompression Packing) {
  switch (Packing) {
    case TCompression::None:
      return std::make_unique<TPlainSink>(Out);
    case TCompression::Gzip:
#ifdef DUNSTREL_HAVE_ZLIB
      return std::make_unique<TGzipSink>(Out);
#else
      NotBuiltIn("gzip");
#endif
    case TCompression::Zstd:
#ifdef DUNSTREL_HAVE_ZSTD
      return std::make_unique<TZstdSink>(Out);
#else
      NotBuiltIn("zstd");
#endif
  }
  return std::make_unique<TPlainSink>(Out);
}

std::unique_ptr<IByteSource> NewScanFileSource(std::istream& Raw) {
  auto Source = std::make_unique<TRawSource>(Raw);
  const std::string& First = Source->Peek(4);
  if (First.size() >= 2 && First[0] == '\x1f' && First[1] == '\x8b') {
#ifdef DUNSTREL_HAVE_ZLIB
    return std::make_unique<TGzipSource>(std::move(Source));
#else
    NotBuiltIn("gzip");
#endif
  }
  if (First == std::string("\x28\xb5\x2f\xfd", 4)) {
#ifdef DUNSTREL_HAVE_ZSTD
    return std::make_unique<TZstdSource>(std::move(Source));
#else
    NotBuiltIn("zstd");
#endif
  }
  return Source;
}

}  // namespace dunstrel
