#pragma once

#include <windows.h>

#include <string>

namespace dunstrel::platform::win32 {

// The system's text for an error code, in English where the system has it, without the final
// full stop and line break.
std::string SystemMessage(DWORD Code);

}  // namespace dunstrel::platform::win32
