// The maker's web site: the one place that names its host. Every web link,
// the help address and the update folder are formed from it.
#pragma once

#include <string>

namespace sh {

// Scheme and host, without a trailing slash.
inline constexpr char kMakerSite[] = "http://www.lumivale.example";

// The address of `path` on the maker's site. `path` starts with "/" (or is
// empty for the bare host); MakerUrl("/") is the site root.
inline std::string MakerUrl(const std::string& path) { return std::string(kMakerSite) + path; }

}  // namespace sh
