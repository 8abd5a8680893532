#include "engine/EngineOptions.h"

namespace duvanto {

namespace {

constexpr bool InTheOrderOfTheirIds() {
    for (std::size_t i = 0; i < std::size(kEngineOptions); ++i) {
        if (static_cast<std::size_t>(kEngineOptions[i].id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(InTheOrderOfTheirIds(), "EngineOptionOf finds an option by its place");

// A menu item's position is its choice's number.
constexpr bool ChoicesNumberedByPlace() {
    for (const EngineOption& option : kEngineOptions) {
        for (std::size_t i = 0; i < option.choices.size(); ++i) {
            if (option.choices[i].value != static_cast<int32_t>(i)) {
                return false;
            }
        }
    }
    return true;
}
static_assert(ChoicesNumberedByPlace());

}  // namespace

int32_t EngineOptionValue(const CloneSettings& settings, EngineOptionId id) {
    switch (id) {
        case EngineOptionId::CompareMethod:
            return static_cast<int32_t>(settings.CompareMethod);
        case EngineOptionId::IgnoreTwoSecDiff:
            return settings.IgnoreFAT_NTFS_TwoSecDiff;
        case EngineOptionId::IgnoreDaylightSavings:
            return settings.IgnoreFAT_NTFS_DaylightSavings;
        case EngineOptionId::IgnoreHiddenFolders:
            return settings.IgnoreHiddenFolders;
        case EngineOptionId::IgnoreSystemFolders:
            return settings.IgnoreSystemFolders;
        case EngineOptionId::DeleteMethod:
            return static_cast<int32_t>(settings.DeleteMethod);
        case EngineOptionId::CopyMethod:
            return static_cast<int32_t>(settings.CopyMethod);
        case EngineOptionId::CopyOnlyIfNewer:
            return settings.CopyOnlyIfNewer;
        case EngineOptionId::ConfirmSyncActions:
            return settings.ConfirmSyncActions;
        case EngineOptionId::MaxDeletePercent:
            return settings.MaxDeletePercent;
    }
    return 0;
}

void SetEngineOptionValue(CloneSettings& settings, EngineOptionId id, int32_t value) {
    switch (id) {
        case EngineOptionId::CompareMethod:
            settings.CompareMethod = static_cast<CompareMethodType>(value);
            break;
        case EngineOptionId::IgnoreTwoSecDiff:
            settings.IgnoreFAT_NTFS_TwoSecDiff = value != 0;
            break;
        case EngineOptionId::IgnoreDaylightSavings:
            settings.IgnoreFAT_NTFS_DaylightSavings = value != 0;
            break;
        case EngineOptionId::IgnoreHiddenFolders:
            settings.IgnoreHiddenFolders = value != 0;
            break;
        case EngineOptionId::IgnoreSystemFolders:
            settings.IgnoreSystemFolders = value != 0;
            break;
        case EngineOptionId::DeleteMethod:
            settings.DeleteMethod = static_cast<DeleteMethodType>(value);
            break;
        case EngineOptionId::CopyMethod:
            settings.CopyMethod = static_cast<CopyMethodType>(value);
            break;
        case EngineOptionId::CopyOnlyIfNewer:
            settings.CopyOnlyIfNewer = value != 0;
            break;
        case EngineOptionId::ConfirmSyncActions:
            settings.ConfirmSyncActions = value != 0;
            break;
        case EngineOptionId::MaxDeletePercent:
            settings.MaxDeletePercent = value;
            break;
    }
}

const EngineOptionChoice* ChoiceOfValue(const EngineOption& option, int32_t value) {
    for (const EngineOptionChoice& choice : option.choices) {
        if (choice.value == value) {
            return &choice;
        }
    }
    return nullptr;
}

}  // namespace duvanto
