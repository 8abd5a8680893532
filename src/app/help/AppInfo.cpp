// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/help/AppInfo.h"

namespace duvanto {

std::string ProgramVersion() {
    return DUVANTO_VERSION;
}

std::string HomepageUrl() {
    return DUVANTO_HOMEPAGE_URL;
}

std::string ContactUrl() {
    return DUVANTO_CONTACT_URL;
}

}  // namespace duvanto
