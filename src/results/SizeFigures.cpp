#include "results/SizeFigures.h"

#include "localisation/translation.h"
#include "results/ValueFormat.h"

namespace dunstrel {

std::string FileFigureText(const TFileLeaf& File, TSizeCount Count,
                           const TFormatSettings& Settings) {
  std::string Text = FormatSize(File.SizeIn(Count), Settings);
  if (CountedElsewhere(File, Count)) {
    Text += ' ';
    Text += Translate("(hard link)");
  }
  return Text;
}

std::string ReadProblemText(const TDirNode& Folder) {
  switch (Folder.ReadProblem) {
    case platform::TListProblem::None:
      return {};
    case platform::TListProblem::AccessDenied:
      return Translate("cannot be read: permission denied");
    case platform::TListProblem::TooManyOpen:
      return Translate("cannot be read: too many open files");
    case platform::TListProblem::Other:
      break;
  }
  return Translate("cannot be read");
}

}  // namespace dunstrel
