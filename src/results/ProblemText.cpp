#include "results/ProblemText.h"

#include "localisation/translation.h"

namespace dunstrel {

namespace {

std::string KindText(const platform::TProblem& Problem) {
  using platform::TProblemKind;
  switch (Problem.Kind) {
    case TProblemKind::PermissionDenied:
      return Translate("permission denied");
    case TProblemKind::NotFound:
      return Translate("not found");
    case TProblemKind::Busy:
      return Translate("in use or a mount point");
    case TProblemKind::NoSpace:
      return Translate("no space left on the disk");
    case TProblemKind::ReadOnly:
      return Translate("the file system is read-only");
    case TProblemKind::TooManyOpen:
      return Translate("too many open files");
    case TProblemKind::NotAFile:
      return Translate("not a file");
    case TProblemKind::NotAFolder:
      return Translate("not a folder");
    case TProblemKind::RefusedPath:
    case TProblemKind::Replaced:
      // The program's own reasons, each with its row in the translation table.
      return Translate(Problem.Text);
    case TProblemKind::Other:
      break;
  }
  return Problem.Text;
}

}  // namespace

std::string ProblemText(const platform::TProblem& Problem) {
  std::string Text = KindText(Problem);
  return Problem.Path.empty() ? Text : Problem.Path + ": " + Text;
}

}  // namespace dunstrel
