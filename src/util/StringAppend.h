// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The string builder behind the log buffer, the task-list writer and the report: appending
// many short pieces without building a new string for each.

#include <cstddef>
#include <string>
#include <string_view>

namespace duvanto {

class clsStringAppend {
public:
    void Reset() { m_buffer.clear(); }
    const std::string& CurrentString() const { return m_buffer; }
    // A size hint: reserves room so the first appends do not reallocate.
    void InitialBufferSize(std::size_t hint) { m_buffer.reserve(hint); }
    // Two bytes per character, as the buffer was measured where this class comes from.
    std::size_t StringByteSize() const { return m_buffer.size() * 2; }
    void Append(std::string_view text) { m_buffer.append(text); }

private:
    std::string m_buffer;
};

}  // namespace duvanto
