#include "app/logic/AppInfo.h"

namespace duvanto {

std::string ProgramVersion() {
    return DUVANTO_VERSION;
}

}  // namespace duvanto
