#include "app/RegionalSettings.h"

#include <QLocale>

namespace dunstrel {

namespace {

// The text between the hour and the minute fields of a time format such as "HH:mm" or "h.mm AP";
// quoted literals are taken without their quotes.
QString TimeSeparatorOf(const QString& Format) {
  qsizetype I = Format.indexOf(QLatin1Char('h'), 0, Qt::CaseInsensitive);
  if (I < 0) {
    return QStringLiteral(":");
  }
  while (I < Format.size() && Format[I].toLower() == QLatin1Char('h')) {
    ++I;
  }
  QString Separator;
  while (I < Format.size() && Format[I] != QLatin1Char('m')) {
    if (Format[I] != QLatin1Char('\'')) {
      Separator.append(Format[I]);
    }
    ++I;
  }
  return Separator.isEmpty() || I == Format.size() ? QStringLiteral(":") : Separator;
}

}  // namespace

TFormatSettings FormatSettingsOf(const QLocale& Locale) {
  TFormatSettings Settings;
  Settings.DecimalSeparator = Locale.decimalPoint().toStdString();
  Settings.TimeSeparator = TimeSeparatorOf(Locale.timeFormat(QLocale::ShortFormat)).toStdString();
  return Settings;
}

}  // namespace dunstrel
