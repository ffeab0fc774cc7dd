#pragma once

#include <string>
#include <string_view>

namespace dunstrel::platform::win32 {

// Windows names are UTF-16 and may hold unpaired surrogates; the core keeps them as WTF-8
// (UTF-8 that also encodes lone surrogates), which converts back without loss.
std::wstring ToWide(std::string_view Text);
std::string FromWide(std::wstring_view Text);

}  // namespace dunstrel::platform::win32
