#include "views/RowOrder.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cstring>
#include <string>

namespace dunstrel {

namespace {

bool IsDigit(unsigned char C) {
  return C >= '0' && C <= '9';
}

// Appends the key whose byte order is the natural order of Name: letters lower-cased, each run
// of digits as '0', the count of its digits without leading zeros in two bytes, and those
// digits. No other byte is '0', so a run meets a run wherever two keys differ there.
void AppendNaturalKey(std::string_view Name, std::string& Out) {
  for (size_t I = 0; I < Name.size();) {
    const auto C = static_cast<unsigned char>(Name[I]);
    if (!IsDigit(C)) {
      Out.push_back(C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : static_cast<char>(C));
      ++I;
      continue;
    }
    size_t End = I;
    while (End < Name.size() && IsDigit(static_cast<unsigned char>(Name[End]))) {
      ++End;
    }
    size_t First = I;
    while (First < End && Name[First] == '0') {
      ++First;
    }
    const size_t Digits = std::min<size_t>(End - First, 0xFFFF);
    Out.push_back('0');
    Out.push_back(static_cast<char>(Digits >> 8));
    Out.push_back(static_cast<char>(Digits & 0xFF));
    Out.append(Name.substr(First, Digits));
    I = End;
  }
}

int CompareBytes(std::string_view A, std::string_view B) {
  const int Common = std::memcmp(A.data(), B.data(), std::min(A.size(), B.size()));
  if (Common != 0) {
    return Common;
  }
  return A.size() < B.size() ? -1 : (A.size() > B.size() ? 1 : 0);
}

// The first eight bytes of a key as one number that orders as they do.
uint64_t PrefixOf(std::string_view Key) {
  uint64_t Prefix = 0;
  for (size_t I = 0; I < 8; ++I) {
    Prefix = (Prefix << 8) | (I < Key.size() ? static_cast<unsigned char>(Key[I]) : 0u);
  }
  return Prefix;
}

enum class TKind : uint8_t { Number, Text, None };

// One row's key, made once: a sort compares each many times.
struct TKey {
  TKind Kind = TKind::None;
  bool Real = false;
  int64_t Integer = 0;
  double Value = 0;
  uint64_t Prefix = 0;
  uint32_t KeyAt = 0;
  uint32_t KeyLength = 0;
  uint32_t RawAt = 0;
  uint32_t RawLength = 0;
};

class TKeys {
 public:
  explicit TKeys(size_t Count) { FKeys.resize(Count); }

  void Set(size_t Row, const QVariant& Value) {
    TKey& Key = FKeys[Row];
    switch (Value.typeId()) {
      case QMetaType::Int:
      case QMetaType::UInt:
      case QMetaType::Long:
      case QMetaType::LongLong:
        Key.Kind = TKind::Number;
        Key.Integer = Value.toLongLong();
        Key.Value = static_cast<double>(Key.Integer);
        break;
      case QMetaType::ULong:
      case QMetaType::ULongLong:
        Key.Kind = TKind::Number;
        Key.Integer = static_cast<int64_t>(
            std::min<qulonglong>(Value.toULongLong(), static_cast<qulonglong>(INT64_MAX)));
        Key.Value = static_cast<double>(Key.Integer);
        break;
      case QMetaType::Float:
      case QMetaType::Double:
        Key.Kind = TKind::Number;
        Key.Real = true;
        Key.Value = Value.toDouble();
        FAnyReal = true;
        break;
      case QMetaType::QByteArray:
        SetText(Key, Value.toByteArray());
        break;
      case QMetaType::QString:
        SetText(Key, Value.toString().toUtf8());
        break;
      default:
        break;
    }
  }

  // Negative when row A's key goes before row B's, up or down; zero when they are equal.
  int Sign(uint32_t A, uint32_t B, bool Up) const {
    const TKey& KeyA = FKeys[A];
    const TKey& KeyB = FKeys[B];
    if (KeyA.Kind != KeyB.Kind) {
      // Rows without a key stay last whichever way the column is sorted.
      if (KeyA.Kind == TKind::None || KeyB.Kind == TKind::None) {
        return KeyA.Kind == TKind::None ? 1 : -1;
      }
      return (KeyA.Kind < KeyB.Kind) == Up ? -1 : 1;
    }
    const int Compared = Compare(KeyA, KeyB);
    return Up ? Compared : -Compared;
  }

 private:
  void SetText(TKey& Key, const QByteArray& Raw) {
    const std::string_view Name(Raw.constData(), static_cast<size_t>(Raw.size()));
    Key.Kind = TKind::Text;
    Key.RawAt = static_cast<uint32_t>(FText.size());
    Key.RawLength = static_cast<uint32_t>(Name.size());
    FText.append(Name);
    Key.KeyAt = static_cast<uint32_t>(FText.size());
    AppendNaturalKey(Name, FText);
    Key.KeyLength = static_cast<uint32_t>(FText.size() - Key.KeyAt);
    Key.Prefix = PrefixOf(std::string_view(FText).substr(Key.KeyAt, Key.KeyLength));
  }

  std::string_view Text(uint32_t At, uint32_t Length) const {
    return std::string_view(FText).substr(At, Length);
  }

  int Compare(const TKey& A, const TKey& B) const {
    if (A.Kind == TKind::Number) {
      if (FAnyReal && (A.Real || B.Real)) {
        return A.Value < B.Value ? -1 : (B.Value < A.Value ? 1 : 0);
      }
      return A.Integer < B.Integer ? -1 : (A.Integer > B.Integer ? 1 : 0);
    }
    if (A.Kind == TKind::None) {
      return 0;
    }
    if (A.Prefix != B.Prefix) {
      return A.Prefix < B.Prefix ? -1 : 1;
    }
    if (const int Natural = CompareBytes(Text(A.KeyAt, A.KeyLength), Text(B.KeyAt, B.KeyLength))) {
      return Natural;
    }
    return CompareBytes(Text(A.RawAt, A.RawLength), Text(B.RawAt, B.RawLength));
  }

  std::vector<TKey> FKeys;
  std::string FText;
  bool FAnyReal = false;
};

}  // namespace

std::vector<uint32_t> OrderByKeys(size_t Count, const std::function<QVariant(size_t)>& KeyOf,
                                  Qt::SortOrder Order) {
  TKeys Keys(Count);
  for (size_t Row = 0; Row < Count; ++Row) {
    Keys.Set(Row, KeyOf(Row));
  }
  std::vector<uint32_t> Rows(Count);
  for (size_t Row = 0; Row < Count; ++Row) {
    Rows[Row] = static_cast<uint32_t>(Row);
  }
  const bool Up = Order == Qt::AscendingOrder;
  // Equal keys keep their given order: the results' own, largest first.
  std::sort(Rows.begin(), Rows.end(), [&](uint32_t A, uint32_t B) {
    const int Sign = Keys.Sign(A, B, Up);
    return Sign != 0 ? Sign < 0 : A < B;
  });
  return Rows;
}

int CompareNames(std::string_view A, std::string_view B) {
  std::string KeyA;
  std::string KeyB;
  AppendNaturalKey(A, KeyA);
  AppendNaturalKey(B, KeyB);
  if (const int Natural = CompareBytes(KeyA, KeyB)) {
    return Natural < 0 ? -1 : 1;
  }
  const int Raw = CompareBytes(A, B);
  return Raw < 0 ? -1 : (Raw > 0 ? 1 : 0);
}

}  // namespace dunstrel
