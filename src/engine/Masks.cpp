// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Masks.h"

#include "util/PathStrings.h"
#include "util/Wildcard.h"

namespace duvanto {

bool MaskMatches(std::string_view name, std::string_view mask) {
    return WildcardMatches(name, mask, LetterCase::Ignored);
}

bool FileMatchesPatternInCollection(std::string_view fileName,
                                    const std::vector<std::string>& masks) {
    for (const std::string& mask : masks) {
        if (MaskMatches(fileName, mask)) {
            return true;
        }
    }
    return false;
}

void FillColWithParsedStringElems(std::vector<std::string>& collection, std::string_view text,
                                  std::string_view separator) {
    if (text.empty() || separator.empty()) {
        if (!text.empty()) {
            collection.push_back(Trim(text));
        }
        return;
    }
    std::size_t start = 0;
    while (true) {
        std::size_t at = text.find(separator, start);
        collection.push_back(
            Trim(text.substr(start, at == std::string_view::npos ? at : at - start)));
        if (at == std::string_view::npos) {
            break;
        }
        start = at + separator.size();
    }
}

}  // namespace duvanto
