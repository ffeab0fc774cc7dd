#include "results/JsonReader.h"

#include <limits>
#include <utility>

namespace dunstrel {

namespace {

constexpr size_t kBufferBytes = 1 << 20;

}  // namespace

TJsonReader::TJsonReader(IByteSource& Source, std::function<void(int64_t)> OnProgress)
    : FSource(Source), FOnProgress(std::move(OnProgress)), FBuffer(kBufferBytes) {}

void TJsonReader::Fail(const std::string& What) const {
  throw EJsonError(What + " (at byte " + std::to_string(Offset()) + ").");
}

void TJsonReader::Unexpected(int Char, const char* Wanted) const {
  if (Char < 0) {
    Fail(std::string("The file ends early: ") + Wanted + " expected");
  }
  Fail(std::string("Not a scan file of this format: ") + Wanted + " expected");
}

bool TJsonReader::Fill() {
  if (FEnd) {
    return false;
  }
  FConsumed += static_cast<int64_t>(FLen);
  FPos = 0;
  FLen = FSource.Read(FBuffer.data(), FBuffer.size());
  if (FLen == 0) {
    FEnd = true;
    return false;
  }
  if (FOnProgress) {
    FOnProgress(FConsumed);
  }
  return true;
}

int TJsonReader::NextToken() {
  for (;;) {
    const int Char = Get();
    if (Char != ' ' && Char != '\t' && Char != '\n' && Char != '\r') {
      return Char;
    }
  }
}

void TJsonReader::Expect(int Wanted, const char* What) {
  const int Char = NextToken();
  if (Char != Wanted) {
    Unexpected(Char, What);
  }
}

void TJsonReader::ReadText(std::string& Out, size_t MaxBytes) {
  Out.clear();
  for (;;) {
    if (FPos == FLen && !Fill()) {
      Fail("The file ends inside a text");
    }
    // Plain bytes are copied in runs; bytes that are not UTF-8 are names' own bytes and kept.
    size_t Run = FPos;
    while (Run < FLen) {
      const auto Byte = static_cast<unsigned char>(FBuffer[Run]);
      if (Byte == '"' || Byte == '\\' || Byte < 0x20) {
        break;
      }
      ++Run;
    }
    if (Out.size() + (Run - FPos) > MaxBytes) {
      Fail("A text longer than " + std::to_string(MaxBytes) + " bytes");
    }
    Out.append(FBuffer.data() + FPos, Run - FPos);
    FPos = Run;
    if (FPos == FLen) {
      continue;
    }
    const int Char = Get();
    if (Char == '"') {
      return;
    }
    if (Char != '\\') {
      Fail("A control character inside a text");
    }
    ReadEscape(Out);
    if (Out.size() > MaxBytes) {
      Fail("A text longer than " + std::to_string(MaxBytes) + " bytes");
    }
  }
}

unsigned TJsonReader::ReadHex4() {
  unsigned Value = 0;
  for (int I = 0; I < 4; ++I) {
    const int Char = Get();
    unsigned Digit = 0;
    if (Char >= '0' && Char <= '9') {
      Digit = static_cast<unsigned>(Char - '0');
    } else if (Char >= 'a' && Char <= 'f') {
      Digit = static_cast<unsigned>(Char - 'a' + 10);
    } else if (Char >= 'A' && Char <= 'F') {
      Digit = static_cast<unsigned>(Char - 'A' + 10);
    } else {
      Fail("An invalid \\u escape");
    }
    Value = Value * 16 + Digit;
  }
  return Value;
}

void TJsonReader::ReadEscape(std::string& Out) {
  const int Char = Get();
  switch (Char) {
    case '"':
      Out.push_back('"');
      return;
    case '\\':
      Out.push_back('\\');
      return;
    case '/':
      Out.push_back('/');
      return;
    case 'b':
      Out.push_back('\b');
      return;
    case 'f':
      Out.push_back('\f');
      return;
    case 'n':
      Out.push_back('\n');
      return;
    case 'r':
      Out.push_back('\r');
      return;
    case 't':
      Out.push_back('\t');
      return;
    case 'u':
      break;
    default:
      Fail("An invalid escape in a text");
  }
  unsigned Code = ReadHex4();
  if (Code >= 0xDC00 && Code <= 0xDFFF) {
    Fail("An invalid \\u escape");
  }
  if (Code >= 0xD800 && Code <= 0xDBFF) {
    if (Get() != '\\' || Get() != 'u') {
      Fail("An invalid \\u escape");
    }
    const unsigned Low = ReadHex4();
    if (Low < 0xDC00 || Low > 0xDFFF) {
      Fail("An invalid \\u escape");
    }
    Code = 0x10000 + ((Code - 0xD800) << 10) + (Low - 0xDC00);
  }
  if (Code < 0x80) {
    Out.push_back(static_cast<char>(Code));
  } else if (Code < 0x800) {
    Out.push_back(static_cast<char>(0xC0 | (Code >> 6)));
    Out.push_back(static_cast<char>(0x80 | (Code & 0x3F)));
  } else if (Code < 0x10000) {
    Out.push_back(static_cast<char>(0xE0 | (Code >> 12)));
    Out.push_back(static_cast<char>(0x80 | ((Code >> 6) & 0x3F)));
    Out.push_back(static_cast<char>(0x80 | (Code & 0x3F)));
  } else {
    Out.push_back(static_cast<char>(0xF0 | (Code >> 18)));
    Out.push_back(static_cast<char>(0x80 | ((Code >> 12) & 0x3F)));
    Out.push_back(static_cast<char>(0x80 | ((Code >> 6) & 0x3F)));
    Out.push_back(static_cast<char>(0x80 | (Code & 0x3F)));
  }
}

TJsonNumber TJsonReader::ReadNumber(int First) {
  TJsonNumber Number;
  int Char = First;
  if (Char == '-') {
    Number.Negative = true;
    Char = Get();
  }
  if (Char < '0' || Char > '9') {
    Unexpected(Char, "a number");
  }
  size_t Digits = 0;
  for (;;) {
    const auto Digit = static_cast<uint64_t>(Char - '0');
    if (Number.Magnitude > (std::numeric_limits<uint64_t>::max() - Digit) / 10) {
      Number.Overflow = true;
    } else {
      Number.Magnitude = Number.Magnitude * 10 + Digit;
    }
    ++Digits;
    Char = Peek();
    if (Char < '0' || Char > '9') {
      break;
    }
    ++FPos;
    if (Digits > 400) {
      Fail("A number too long");
    }
  }
  if (Char == '.') {
    ++FPos;
    Number.Integer = false;
    while ((Char = Peek()) >= '0' && Char <= '9') {
      ++FPos;
    }
  }
  if (Char == 'e' || Char == 'E') {
    ++FPos;
    Number.Integer = false;
    Char = Peek();
    if (Char == '+' || Char == '-') {
      ++FPos;
    }
    if ((Char = Peek()) < '0' || Char > '9') {
      Fail("A malformed number");
    }
    while ((Char = Peek()) >= '0' && Char <= '9') {
      ++FPos;
    }
  }
  return Number;
}

void TJsonReader::ReadLiteral(int First) {
  const char* Rest = First == 't' ? "rue" : First == 'f' ? "alse" : First == 'n' ? "ull" : nullptr;
  if (Rest == nullptr) {
    Unexpected(First, "a value");
  }
  for (; *Rest != 0; ++Rest) {
    if (Get() != *Rest) {
      Fail("A malformed value");
    }
  }
}

// Passes over a value this program does not use, keeping its own count of open brackets.
void TJsonReader::SkipValue(int Char) {
  std::vector<char> Open;
  for (;;) {
    // Char starts a value.
    if (Char == '[' || Char == '{') {
      if (Open.size() == kMaxSkippedDepth) {
        Fail("Values nested too deeply");
      }
      Open.push_back(Char == '[' ? ']' : '}');
      Char = NextToken();
      if (Char != Open.back()) {
        if (Open.back() == '}') {
          Char = ReadKey(Char, FSkipped);
        }
        continue;  // Char starts the first element
      }
      Open.pop_back();  // an empty array or object
    } else if (Char == '"') {
      ReadText(FSkipped, kMaxOtherTextBytes);
    } else if (Char == '-' || (Char >= '0' && Char <= '9')) {
      ReadNumber(Char);
    } else {
      ReadLiteral(Char);
    }
    // A value is complete: close what ends here, then go on to the next element.
    for (;;) {
      if (Open.empty()) {
        return;
      }
      Char = NextToken();
      if (Char == Open.back()) {
        Open.pop_back();
        continue;
      }
      if (Char != ',') {
        Unexpected(Char, "',' or a closing bracket");
      }
      Char = NextToken();
      if (Open.back() == '}') {
        Char = ReadKey(Char, FSkipped);
      }
      break;
    }
  }
}

int TJsonReader::ReadKey(int Char, std::string& Key) {
  if (Char != '"') {
    Unexpected(Char, "a key");
  }
  ReadText(Key, kMaxOtherTextBytes);
  Expect(':', "':'");
  return NextToken();
}

}  // namespace dunstrel
