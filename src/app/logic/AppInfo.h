#pragma once
// The program's title and version as the windows show them.

#include <string>

namespace duvanto {

inline constexpr char kApplicationTitle[] = "Duvanto";

// The version the build was made from, "X.Y.Z".
std::string ProgramVersion();

}  // namespace duvanto
