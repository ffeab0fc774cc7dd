#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace dunstrel {

// A JSON text that cannot be read: the message says what and at which byte.
class EJsonError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Where the bytes of a JSON text come from.
class IByteSource {
 public:
  virtual ~IByteSource() = default;
  // Up to Size bytes into Buffer; 0 at the end. Throws what it cannot read.
  virtual size_t Read(char* Buffer, size_t Size) = 0;
};

struct TJsonNumber {
  bool Negative = false;
  bool Integer = true;
  bool Overflow = false;  // an integer whose magnitude does not fit 64 bits
  uint64_t Magnitude = 0;
};

// Reads a JSON text token by token from a source, in bounded memory: texts longer than asked for
// and values nested deeper than asked for are refused, so any input costs little. Texts keep
// their own bytes: bytes that are not UTF-8 are passed through as they are (file names may hold
// such bytes), only escapes are decoded.
class TJsonReader {
 public:
  // OnProgress is called after each buffer is read, with the bytes read so far.
  TJsonReader(IByteSource& Source, std::function<void(int64_t)> OnProgress = {});

  // The next character that is not white space; -1 at the end.
  int NextToken();
  // Fails unless the next token is Wanted (What names it in the message).
  void Expect(int Wanted, const char* What);
  // The text whose opening quote was just read, into Out; at most MaxBytes bytes.
  void ReadText(std::string& Out, size_t MaxBytes);
  // The number whose first character was just read.
  TJsonNumber ReadNumber(int First);
  // Passes over the value whose first character was just read.
  void SkipValue(int First);
  // With First the opening quote of a key: reads the key into Key and its colon, and returns
  // the first character of its value.
  int ReadKey(int First, std::string& Key);

  // Bytes of the text read so far: where the last token ended.
  int64_t Offset() const { return FConsumed + static_cast<int64_t>(FPos); }
  // Throws EJsonError with What and the offset.
  [[noreturn]] void Fail(const std::string& What) const;
  // Fails with "... expected", or "ends early" at the end.
  [[noreturn]] void Unexpected(int Char, const char* Wanted) const;

  // Bounds of what SkipValue and ReadKey accept.
  static constexpr size_t kMaxOtherTextBytes = 65536;
  static constexpr size_t kMaxSkippedDepth = 64;

 private:
  bool Fill();
  int Peek() {
    if (FPos == FLen && !Fill()) {
      return -1;
    }
    return static_cast<unsigned char>(FBuffer[FPos]);
  }
  int Get() {
    const int Char = Peek();
    if (Char >= 0) {
      ++FPos;
    }
    return Char;
  }
  void ReadEscape(std::string& Out);
  unsigned ReadHex4();
  void ReadLiteral(int First);

  IByteSource& FSource;
  std::function<void(int64_t)> FOnProgress;
  std::vector<char> FBuffer;
  size_t FPos = 0;
  size_t FLen = 0;
  int64_t FConsumed = 0;
  bool FEnd = false;
  std::string FSkipped;
};

}  // namespace dunstrel
