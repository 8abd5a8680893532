// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/common/QtFileTypes.h"

#include <QMimeDatabase>
#include <set>

#include "app/common/QtAppPrompt.h"

namespace duvanto {

std::string QtFileTypes::GetFileType(const std::string& nameOrMask) {
    const QMimeType type =
        QMimeDatabase().mimeTypeForFile(ToQt(nameOrMask), QMimeDatabase::MatchExtension);
    // The default type is what the database says of a name it does not know.
    if (!type.isValid() || type.isDefault()) {
        return "";
    }
    return FromQt(type.comment());
}

std::vector<FileTypeEntry> QtFileTypes::LoadFileTypes() {
    if (!m_all) {
        m_all.emplace();
        std::set<QString> seen;
        const QList<QMimeType> types = QMimeDatabase().allMimeTypes();
        for (const QMimeType& type : types) {
            for (const QString& suffix : type.suffixes()) {
                const QString extension = QStringLiteral(".") + suffix;
                if (!seen.insert(extension).second) {
                    continue;
                }
                // Several types may claim one extension; the list names the one the masks
                // list will show for it.
                std::string name = GetFileType(FromQt(QStringLiteral("*") + extension));
                if (!name.empty()) {
                    m_all->push_back({FromQt(extension), std::move(name)});
                }
            }
        }
    }
    return *m_all;
}

}  // namespace duvanto
