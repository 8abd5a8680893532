// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Status.h"

#include <cerrno>
#include <cstring>

namespace duvanto {

Status Status::FromErrno(int errorCode) {
    return Status(errorCode, GetSystemErrorText(errorCode));
}

bool Status::IsNotFound() const {
    return m_code == ENOENT || m_code == ENOTDIR;
}

bool Status::IsAccessDenied() const {
    return m_code == EACCES || m_code == EPERM;
}

bool Status::IsAlreadyExists() const {
    return m_code == EEXIST;
}

bool Status::IsCancelled() const {
    return m_code == ECANCELED;
}

bool Status::IsDiskFull() const {
    return m_code == ENOSPC || m_code == EDQUOT;
}

bool Status::IsLinkInTheWay() const {
    return m_code == ELOOP;
}

bool Status::IsBusy() const {
    return m_code == EWOULDBLOCK;
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
