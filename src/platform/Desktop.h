#pragma once

namespace dunstrel::platform {

#ifdef _WIN32
// Windows calls its trash the Recycle Bin and its file manager Explorer.
inline constexpr bool kDesktopSaysRecycleBin = true;
// Text handed to other programs, the clipboard among them, ends its lines as Windows does.
inline constexpr const char* kLineBreak = "\r\n";
#else
// The freedesktop desktops have a trash and a file manager of the user's choice.
inline constexpr bool kDesktopSaysRecycleBin = false;
inline constexpr const char* kLineBreak = "\n";
#endif

}  // namespace dunstrel::platform
