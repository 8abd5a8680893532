// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's title and version as the windows show them, and the addresses the build
// was configured with.

#include <string>

namespace duvanto {

inline constexpr char kApplicationTitle[] = "Duvanto";

// The version the build was made from, "X.Y.Z".
std::string ProgramVersion();

// The web site and the contact address of the Help menu (DUVANTO_HOMEPAGE_URL and
// DUVANTO_CONTACT_URL at configure time); empty when the build set none.
std::string HomepageUrl();
std::string ContactUrl();

}  // namespace duvanto
