#pragma once

#include <windows.h>

#include <string>

#include "platform/Problem.h"

namespace dunstrel::platform::win32 {

// The system's text for an error code, in English where the system has it, without the final
// full stop and line break.
std::string SystemMessage(DWORD Code);

// The kind of an error code, with the system's text for it.
TProblem ProblemOfCode(DWORD Code);

}  // namespace dunstrel::platform::win32
