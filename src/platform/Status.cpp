#include "platform/Status.h"

#include <cstring>

namespace duvanto {

Status Status::FromErrno(int errorCode) {
    return Status(errorCode, GetSystemErrorText(errorCode));
}

std::string GetSystemErrorText(int code) {
    // strerrordesc_np gives no text for unknown codes, unlike strerror's "Unknown error N",
    // which lets unknown codes get the program's own wording.
    const char* text = strerrordesc_np(code);
    if (text == nullptr) {
        return "Error (" + std::to_string(code) + ") not defined.";
    }
    return text;
}

}  // namespace duvanto
