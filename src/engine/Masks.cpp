#include "engine/Masks.h"

#include "util/PathStrings.h"

namespace duvanto {

namespace {

unsigned char Fold(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

// Matches one "[...]" class at mask[pos]; sets end past the "]". An unclosed "[" is literal.
bool ClassMatches(std::string_view mask, std::size_t pos, char c, std::size_t& end) {
    std::size_t close = mask.find(']', pos + 1);
    if (close == std::string_view::npos) {
        end = pos + 1;
        return Fold(c) == '[';
    }
    std::size_t first = pos + 1;
    bool negate = first < close && mask[first] == '!';
    if (negate) {
        ++first;
    }
    bool found = false;
    for (std::size_t i = first; i < close; ++i) {
        // A range such as a-z.
        if (i + 2 < close && mask[i + 1] == '-') {
            unsigned char low = Fold(mask[i]), high = Fold(mask[i + 2]), v = Fold(c);
            found = found || (v >= low && v <= high);
            i += 2;
        } else {
            found = found || Fold(mask[i]) == Fold(c);
        }
    }
    end = close + 1;
    return found != negate;
}

}  // namespace

bool MaskMatches(std::string_view name, std::string_view mask) {
    // Iterative matching with one back-tracking point for the last "*": linear in practice and
    // never exponential, whatever the mask.
    std::size_t n = 0, m = 0;
    std::size_t starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
            continue;
        }
        if (m < mask.size()) {
            char p = mask[m];
            std::size_t next = m + 1;
            bool ok;
            if (p == '?') {
                ok = true;
            } else if (p == '#') {
                ok = name[n] >= '0' && name[n] <= '9';
            } else if (p == '[') {
                ok = ClassMatches(mask, m, name[n], next);
            } else {
                ok = Fold(p) == Fold(name[n]);
            }
            if (ok) {
                m = next;
                ++n;
                continue;
            }
        }
        if (starMask == std::string_view::npos) {
            return false;
        }
        m = starMask + 1;
        n = ++starName;
    }
    while (m < mask.size() && mask[m] == '*') {
        ++m;
    }
    return m == mask.size();
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
