#include "views/FigureMarks.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>

#include "results/SizeFigures.h"
#include "results/ValueFormat.h"
#include "views/ShownText.h"

namespace dunstrel {

QBrush MarkedTextBrush() {
  return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
}

QString HardLinkNote() {
  return TranslatedText("Hard link: its disk usage is counted at another of its names");
}

QIcon UnreadableFolderIcon() {
  return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
}

QString UnreadableNote(const TDirNode& Folder) {
  return ShownText(ReadProblemText(Folder));
}

QString FolderHint(const TDirNode& Folder, int64_t Figure, const TFormatSettings& Settings) {
  QString Hint =
      ShownText(Folder.FullPath()) + QLatin1Char('\n') + ShownText(FormatSize(Figure, Settings));
  if (const std::string Problem = ReadProblemText(Folder); !Problem.empty()) {
    Hint += QLatin1Char('\n') + ShownText(Problem);
  }
  return Hint;
}

QString FileHint(const TFileLeaf& File, TSizeCount Count, const TFormatSettings& Settings) {
  return ShownText(File.FullPath()) + QLatin1Char('\n') +
         ShownText(FileFigureText(File, Count, Settings));
}

}  // namespace dunstrel
