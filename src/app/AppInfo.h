#pragma once

namespace dunstrel {

inline constexpr const char* kApplicationTitle = "Dunstrel";
inline constexpr const char* kVersionText = "2.5";
// The product web site, without a trailing delimiter; set when the program is configured.
inline constexpr const char* kSiteUrl = DUNSTREL_SITE_URL;

}  // namespace dunstrel
