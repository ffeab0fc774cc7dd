#include "app/Mnemonics.h"

#include <QSet>

namespace dunstrel {

namespace {

// The position of the caption's mnemonic, or -1: word starts first, then any letter.
qsizetype PickMnemonic(const QString& Caption, const QSet<QChar>& Taken) {
  const auto Free = [&](qsizetype I) {
    return Caption[I].isLetterOrNumber() && !Taken.contains(Caption[I].toLower());
  };
  for (qsizetype I = 0; I < Caption.size(); ++I) {
    const bool WordStart = I == 0 || !Caption[I - 1].isLetterOrNumber();
    if (WordStart && Free(I)) {
      return I;
    }
  }
  for (qsizetype I = 0; I < Caption.size(); ++I) {
    if (Free(I)) {
      return I;
    }
  }
  return -1;
}

}  // namespace

QStringList WithMnemonics(const QStringList& Captions) {
  QSet<QChar> Taken;
  QStringList Marked;
  for (const QString& Caption : Captions) {
    const qsizetype At = PickMnemonic(Caption, Taken);
    QString Text;
    for (qsizetype I = 0; I < Caption.size(); ++I) {
      if (I == At) {
        Text.append(QLatin1Char('&'));
        Taken.insert(Caption[I].toLower());
      }
      Text.append(Caption[I]);
      if (Caption[I] == QLatin1Char('&')) {
        Text.append(QLatin1Char('&'));
      }
    }
    Marked.append(Text);
  }
  return Marked;
}

}  // namespace dunstrel
