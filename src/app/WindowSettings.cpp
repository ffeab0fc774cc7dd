#include "app/WindowSettings.h"

#include <QSettings>
#include <QStringList>
#include <algorithm>

#include "app/AppInfo.h"

namespace dunstrel {

namespace {

// Far beyond what the values ever need, and small enough that a hostile store costs nothing.
constexpr qsizetype kMaxStateBytes = 4096;
constexpr qsizetype kMaxPathBytes = 4096;
constexpr qsizetype kMaxFilterText = 4096;
constexpr qsizetype kMaxColumns = 64;
constexpr int kMaxColumnWidth = 100000;
constexpr int kSizeUnits = 5;

const QString kGeometry = QStringLiteral("Window/Geometry");
const QString kToolbar = QStringLiteral("Window/ToolbarShown");
const QString kPage = QStringLiteral("Window/Page");
const QString kSplitters = QStringLiteral("Splitters");
const QString kPathChosen = QStringLiteral("Source/PathChosen");
const QString kHistory = QStringLiteral("Source/History");
const QString kHistoryPath = QStringLiteral("Path");
const QString kFilters = QStringLiteral("Filters");
const QString kColumns = QStringLiteral("Columns");
const QString kCount = QStringLiteral("View/SizeCount");
const QString kDiskUsage = QStringLiteral("DiskUsage");
const QString kApparentSize = QStringLiteral("ApparentSize");
const QString kSortOrders = QStringLiteral("SortOrders");
const QString kDescending = QStringLiteral("down");
const QString kAscending = QStringLiteral("up");

std::optional<bool> ReadBool(const QVariant& Value) {
  if (Value.typeId() == QMetaType::Bool) {
    return Value.toBool();
  }
  const QString Text = Value.toString();
  if (Text == QLatin1String("true")) {
    return true;
  }
  if (Text == QLatin1String("false")) {
    return false;
  }
  return std::nullopt;
}

std::optional<int> ReadInt(const QVariant& Value, int Least, int Most) {
  if (Value.typeId() == QMetaType::Bool) {
    return std::nullopt;
  }
  bool Ok = false;
  const int Number = Value.toString().toInt(&Ok);
  if (!Ok || Number < Least || Number > Most) {
    return std::nullopt;
  }
  return Number;
}

// A column and a way, as "2,down".
std::optional<TRememberedSort> ReadSort(const QVariant& Value) {
  const QStringList Parts = Value.toString().split(QLatin1Char(','));
  if (Value.typeId() == QMetaType::Bool || Parts.size() != 2 ||
      (Parts[1] != kDescending && Parts[1] != kAscending)) {
    return std::nullopt;
  }
  const std::optional<int> Column = ReadInt(Parts[0], 0, static_cast<int>(kMaxColumns) - 1);
  if (!Column) {
    return std::nullopt;
  }
  return TRememberedSort{*Column, Parts[1] == kDescending};
}

std::optional<QByteArray> ReadBytes(const QVariant& Value, qsizetype Most) {
  if (Value.typeId() != QMetaType::QByteArray) {
    return std::nullopt;
  }
  QByteArray Bytes = Value.toByteArray();
  if (Bytes.isEmpty() || Bytes.size() > Most) {
    return std::nullopt;
  }
  return Bytes;
}

std::optional<QString> ReadText(const QVariant& Value, qsizetype Most) {
  if (Value.typeId() != QMetaType::QString) {
    return std::nullopt;
  }
  QString Text = Value.toString();
  if (Text.size() > Most) {
    return std::nullopt;
  }
  return Text;
}

std::optional<TRememberedFilters> ReadFilters(const QSettings& Store) {
  const auto Get = [&Store](const char* Key) {
    return Store.value(kFilters + QLatin1Char('/') + QLatin1String(Key));
  };
  const std::optional<bool> ModifiedBefore = ReadBool(Get("ModifiedBefore"));
  const std::optional<QString> DateText = ReadText(Get("Date"), 10);
  const std::optional<bool> LessThan = ReadBool(Get("LessThan"));
  const std::optional<QString> LessThanText = ReadText(Get("LessThanText"), kMaxFilterText);
  const std::optional<int> SizeUnit = ReadInt(Get("SizeUnit"), 0, kSizeUnits - 1);
  const std::optional<bool> Pattern = ReadBool(Get("Pattern"));
  const std::optional<QString> PatternText = ReadText(Get("PatternText"), kMaxFilterText);
  if (!ModifiedBefore || !DateText || !LessThan || !LessThanText || !SizeUnit || !Pattern ||
      !PatternText) {
    return std::nullopt;  // the filters go together: half of them would make another filter
  }
  const QDate Date = QDate::fromString(*DateText, Qt::ISODate);
  if (!Date.isValid()) {
    return std::nullopt;
  }
  return TRememberedFilters{*ModifiedBefore, Date,     *LessThan,   *LessThanText,
                            *SizeUnit,       *Pattern, *PatternText};
}

std::vector<std::string> ReadHistory(QSettings& Store) {
  std::vector<std::string> Paths;
  // Only the places the history can fill are looked at, whatever size the store claims.
  const int Count = std::min(Store.beginReadArray(kHistory), static_cast<int>(kPathHistoryLength));
  for (int I = 0; I < Count; ++I) {
    Store.setArrayIndex(I);
    const std::optional<QByteArray> Path = ReadBytes(Store.value(kHistoryPath), kMaxPathBytes);
    if (!Path || Path->contains('\0')) {
      continue;
    }
    std::string Bytes = Path->toStdString();
    if (std::find(Paths.begin(), Paths.end(), Bytes) == Paths.end()) {
      Paths.push_back(std::move(Bytes));
    }
  }
  Store.endArray();
  return Paths;
}

std::optional<std::vector<int>> ReadWidths(const QVariant& Value) {
  const std::optional<QString> Text = ReadText(Value, kMaxColumns * 8);
  if (!Text) {
    return std::nullopt;
  }
  const QStringList Parts = Text->split(QLatin1Char(','));
  if (Parts.size() > kMaxColumns) {
    return std::nullopt;
  }
  std::vector<int> Widths;
  for (const QString& Part : Parts) {
    const std::optional<int> Width = ReadInt(Part, 0, kMaxColumnWidth);
    if (!Width) {
      return std::nullopt;
    }
    Widths.push_back(*Width);
  }
  return Widths;
}

std::optional<TSizeCount> ReadCount(const QVariant& Value) {
  const std::optional<QString> Text = ReadText(Value, 16);
  if (Text == kDiskUsage) {
    return TSizeCount::DiskUsage;
  }
  if (Text == kApparentSize) {
    return TSizeCount::ApparentSize;
  }
  return std::nullopt;
}

}  // namespace

std::unique_ptr<QSettings> OpenUserSettings() {
#ifdef Q_OS_WIN
  return std::make_unique<QSettings>(
      QStringLiteral("HKEY_CURRENT_USER\\Software\\") + QLatin1String(kApplicationTitle),
      QSettings::NativeFormat);
#else
  return std::make_unique<QSettings>(QSettings::UserScope, QLatin1String(kApplicationTitle));
#endif
}

TWindowMemory TWindowSettings::Read() const {
  TWindowMemory Memory;
  if (FStore.status() != QSettings::NoError) {
    return Memory;
  }
  Memory.Geometry = ReadBytes(FStore.value(kGeometry), kMaxStateBytes).value_or(QByteArray());
  Memory.ToolbarShown = ReadBool(FStore.value(kToolbar));
  Memory.Page = ReadInt(FStore.value(kPage), 0, INT32_MAX);
  FStore.beginGroup(kSplitters);
  for (const QString& Name : FStore.childKeys()) {
    if (const std::optional<QByteArray> State = ReadBytes(FStore.value(Name), kMaxStateBytes)) {
      Memory.Splitters.emplace(Name, *State);
    }
  }
  FStore.endGroup();
  Memory.PathChosen = ReadBool(FStore.value(kPathChosen));
  Memory.PathHistory = ReadHistory(FStore);
  Memory.Filters = ReadFilters(FStore);
  FStore.beginGroup(kColumns);
  for (const QString& Name : FStore.childKeys()) {
    if (std::optional<std::vector<int>> Widths = ReadWidths(FStore.value(Name))) {
      Memory.ColumnWidths.emplace(Name, std::move(*Widths));
    }
  }
  FStore.endGroup();
  Memory.Count = ReadCount(FStore.value(kCount));
  FStore.beginGroup(kSortOrders);
  for (const QString& Name : FStore.childKeys()) {
    if (const std::optional<TRememberedSort> Sort = ReadSort(FStore.value(Name))) {
      Memory.SortOrders.emplace(Name, *Sort);
    }
  }
  FStore.endGroup();
  return Memory;
}

void TWindowSettings::Write(const TWindowMemory& Memory) {
  // What a former run or another program left in these places goes first.
  for (const QString& Key : {kGeometry, kToolbar, kPage, kSplitters, kPathChosen, kHistory,
                             kFilters, kColumns, kCount, kSortOrders}) {
    FStore.remove(Key);
  }
  if (!Memory.Geometry.isEmpty()) {
    FStore.setValue(kGeometry, Memory.Geometry);
  }
  if (Memory.ToolbarShown) {
    FStore.setValue(kToolbar, *Memory.ToolbarShown);
  }
  if (Memory.Page) {
    FStore.setValue(kPage, *Memory.Page);
  }
  for (const auto& [Name, State] : Memory.Splitters) {
    FStore.setValue(kSplitters + QLatin1Char('/') + Name, State);
  }
  if (Memory.PathChosen) {
    FStore.setValue(kPathChosen, *Memory.PathChosen);
  }
  FStore.beginWriteArray(kHistory);
  for (size_t I = 0; I < Memory.PathHistory.size() && I < kPathHistoryLength; ++I) {
    FStore.setArrayIndex(static_cast<int>(I));
    FStore.setValue(kHistoryPath, QByteArray::fromStdString(Memory.PathHistory[I]));
  }
  FStore.endArray();
  if (const std::optional<TRememberedFilters>& Filters = Memory.Filters) {
    FStore.beginGroup(kFilters);
    FStore.setValue(QStringLiteral("ModifiedBefore"), Filters->ModifiedBefore);
    FStore.setValue(QStringLiteral("Date"), Filters->Date.toString(Qt::ISODate));
    FStore.setValue(QStringLiteral("LessThan"), Filters->LessThan);
    FStore.setValue(QStringLiteral("LessThanText"), Filters->LessThanText);
    FStore.setValue(QStringLiteral("SizeUnit"), Filters->SizeUnit);
    FStore.setValue(QStringLiteral("Pattern"), Filters->Pattern);
    FStore.setValue(QStringLiteral("PatternText"), Filters->PatternText);
    FStore.endGroup();
  }
  for (const auto& [Name, Widths] : Memory.ColumnWidths) {
    QStringList Parts;
    for (const int Width : Widths) {
      Parts.append(QString::number(Width));
    }
    FStore.setValue(kColumns + QLatin1Char('/') + Name, Parts.join(QLatin1Char(',')));
  }
  if (Memory.Count) {
    FStore.setValue(kCount, *Memory.Count == TSizeCount::DiskUsage ? kDiskUsage : kApparentSize);
  }
  for (const auto& [Name, Sort] : Memory.SortOrders) {
    FStore.setValue(kSortOrders + QLatin1Char('/') + Name,
                    QString::number(Sort.Column) + QLatin1Char(',') +
                        (Sort.Descending ? kDescending : kAscending));
  }
  FStore.sync();
}

}  // namespace dunstrel
