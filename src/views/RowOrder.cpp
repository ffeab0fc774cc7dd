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
// of digits as '0', the count of its digits without leading zeros in one byte (at most 255 of
// them count), and those digits. A run meets a run wherever two keys differ there; the count
// comes early, so the first eight bytes mostly tell two names apart.
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
    const size_t Digits = std::min<size_t>(End - First, 0xFF);
    Out.push_back('0');
    Out.push_back(static_cast<char>(Digits));
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

  // The names of a folder often begin alike ("IMG_", "file"): the first bytes of each name's key
  // are taken after what all of them share, where they tell the names apart.
  void SkipCommonStart() {
    size_t Common = SIZE_MAX;
    std::string_view First;
    for (const TKey& Key : FKeys) {
      if (Key.Kind != TKind::Text) {
        continue;
      }
      const std::string_view Natural = Text(Key.KeyAt, Key.KeyLength);
      if (Common == SIZE_MAX) {
        First = Natural;
        Common = Natural.size();
        continue;
      }
      Common = std::min(Common, Natural.size());
      Common = static_cast<size_t>(std::mismatch(First.begin(),
                                                 First.begin() + static_cast<ptrdiff_t>(Common),
                                                 Natural.begin())
                                       .first -
                                   First.begin());
    }
    if (Common == SIZE_MAX || Common == 0) {
      return;
    }
    for (TKey& Key : FKeys) {
      if (Key.Kind == TKind::Text) {
        Key.Prefix = PrefixOf(Text(Key.KeyAt, Key.KeyLength).substr(Common));
      }
    }
  }

  // A number for each row that orders as the keys do where two differ, when every key is of one
  // kind that has one: whole numbers, or names by their first bytes.
  bool HasPrefixes() const {
    if (FKeys.empty() || FAnyReal) {
      return false;
    }
    const TKind Kind = FKeys.front().Kind;
    return Kind != TKind::None && std::all_of(FKeys.begin(), FKeys.end(),
                                              [Kind](const TKey& Key) { return Key.Kind == Kind; });
  }
  uint64_t RowPrefix(uint32_t Row) const {
    const TKey& Key = FKeys[Row];
    return Key.Kind == TKind::Text ? Key.Prefix
                                   : static_cast<uint64_t>(Key.Integer) ^ (uint64_t{1} << 63);
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

  void SetName(size_t Row, std::string_view Name) { SetText(FKeys[Row], Name); }

 private:
  void SetText(TKey& Key, const QByteArray& Raw) {
    SetText(Key, std::string_view(Raw.constData(), static_cast<size_t>(Raw.size())));
  }

  void SetText(TKey& Key, std::string_view Name) {
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

namespace {

std::vector<uint32_t> Ordered(TKeys& Keys, size_t Count, Qt::SortOrder Order) {
  std::vector<uint32_t> Rows(Count);
  const bool Up = Order == Qt::AscendingOrder;
  if (Keys.HasPrefixes()) {
    Keys.SkipCommonStart();
    // Rows and their first bytes side by side: most comparisons read nothing else.
    struct TEntry {
      uint64_t Prefix;
      uint32_t Row;
    };
    std::vector<TEntry> Entries(Count);
    for (size_t Row = 0; Row < Count; ++Row) {
      const uint64_t Prefix = Keys.RowPrefix(static_cast<uint32_t>(Row));
      Entries[Row] = {Up ? Prefix : ~Prefix, static_cast<uint32_t>(Row)};
    }
    std::sort(Entries.begin(), Entries.end(), [&](const TEntry& A, const TEntry& B) {
      if (A.Prefix != B.Prefix) {
        return A.Prefix < B.Prefix;
      }
      const int Sign = Keys.Sign(A.Row, B.Row, Up);
      return Sign != 0 ? Sign < 0 : A.Row < B.Row;
    });
    for (size_t I = 0; I < Count; ++I) {
      Rows[I] = Entries[I].Row;
    }
    return Rows;
  }
  for (size_t Row = 0; Row < Count; ++Row) {
    Rows[Row] = static_cast<uint32_t>(Row);
  }
  // Equal keys keep their given order: the results' own, largest first.
  std::sort(Rows.begin(), Rows.end(), [&](uint32_t A, uint32_t B) {
    const int Sign = Keys.Sign(A, B, Up);
    return Sign != 0 ? Sign < 0 : A < B;
  });
  return Rows;
}

}  // namespace

std::vector<uint32_t> OrderByKeys(size_t Count, const std::function<QVariant(size_t)>& KeyOf,
                                  Qt::SortOrder Order) {
  TKeys Keys(Count);
  for (size_t Row = 0; Row < Count; ++Row) {
    Keys.Set(Row, KeyOf(Row));
  }
  return Ordered(Keys, Count, Order);
}

std::vector<uint32_t> OrderByNames(size_t Count,
                                   const std::function<std::string_view(size_t)>& NameOf,
                                   Qt::SortOrder Order) {
  TKeys Keys(Count);
  for (size_t Row = 0; Row < Count; ++Row) {
    Keys.SetName(Row, NameOf(Row));
  }
  return Ordered(Keys, Count, Order);
}

}  // namespace dunstrel
