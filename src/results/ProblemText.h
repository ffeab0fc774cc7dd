#pragma once

#include <string>

#include "platform/Problem.h"

namespace dunstrel {

// Why an operation failed, in the user's language: the kind's own words ("permission denied"),
// the program's reason for a refusal or a replacement, or the system's words for any other
// problem; preceded by where it was met when that is another path than the one acted on.
std::string ProblemText(const platform::TProblem& Problem);

}  // namespace dunstrel
