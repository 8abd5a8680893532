// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings a run works with: taken as one value when the run starts, so that a change to
// the options (a menu, a restore) while a run lasts never reaches that run.

#include <cstdint>

namespace duvanto {

// The numbers are those of the options file and the menu items, in their order.
enum class CompareMethodType : int32_t { DateTime = 0, Size = 1, Contents = 2, CRC32 = 3 };
enum class DeleteMethodType : int32_t {
    RegularDelete = 0,
    SendToRecycleBin = 1,
    DoNotDelete = 2,
    SecureDelete = 3,
};
enum class CopyMethodType : int32_t {
    RegularCopy = 0,
    SafeCopyMethod = 1,
    RetainCreateTimestamp = 2
};

// The defaults are those of a first run without an options file.
struct CloneSettings {
    CompareMethodType CompareMethod = CompareMethodType::DateTime;
    bool IgnoreFAT_NTFS_TwoSecDiff = true;
    bool IgnoreFAT_NTFS_DaylightSavings = false;
    bool IgnoreSystemFolders = true;
    bool IgnoreHiddenFolders = true;
    DeleteMethodType DeleteMethod = DeleteMethodType::RegularDelete;
    CopyMethodType CopyMethod = CopyMethodType::RegularCopy;
    bool CopyOnlyIfNewer = false;
    bool ConfirmSyncActions = false;
    // The guard against mass deletion: a run that would delete more than this share (in %) of
    // the Target's files, and more than kMassDeleteFloor of them, asks first; 0: no guard.
    int32_t MaxDeletePercent = 50;

    bool operator==(const CloneSettings&) const = default;
};

}  // namespace duvanto
