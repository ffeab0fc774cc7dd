#pragma once

#include "common/ProductVersion.h"

namespace dunstrel {

inline constexpr const char* kApplicationTitle = "Dunstrel";
// The product web site, without a trailing delimiter; set when the program is configured.
inline constexpr const char* kSiteUrl = DUNSTREL_SITE_URL;

}  // namespace dunstrel
