// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/EngineOptions.h"

#include <type_traits>

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

// Calls `use` with the option's member of `settings` (a bool, a method or a number).
template <typename Settings, typename Use>
auto WithField(Settings& settings, EngineOptionId id, Use use) {
    switch (id) {
        case EngineOptionId::CompareMethod:
            return use(settings.CompareMethod);
        case EngineOptionId::IgnoreTwoSecDiff:
            return use(settings.IgnoreFAT_NTFS_TwoSecDiff);
        case EngineOptionId::IgnoreDaylightSavings:
            return use(settings.IgnoreFAT_NTFS_DaylightSavings);
        case EngineOptionId::IgnoreHiddenFolders:
            return use(settings.IgnoreHiddenFolders);
        case EngineOptionId::IgnoreSystemFolders:
            return use(settings.IgnoreSystemFolders);
        case EngineOptionId::DeleteMethod:
            return use(settings.DeleteMethod);
        case EngineOptionId::CopyMethod:
            return use(settings.CopyMethod);
        case EngineOptionId::CopyOnlyIfNewer:
            return use(settings.CopyOnlyIfNewer);
        case EngineOptionId::ConfirmSyncActions:
            return use(settings.ConfirmSyncActions);
        case EngineOptionId::MaxDeletePercent:
            break;
    }
    return use(settings.MaxDeletePercent);
}

}  // namespace

int32_t EngineOptionValue(const CloneSettings& settings, EngineOptionId id) {
    return WithField(settings, id, [](const auto& field) { return static_cast<int32_t>(field); });
}

void SetEngineOptionValue(CloneSettings& settings, EngineOptionId id, int32_t value) {
    WithField(settings, id, [value](auto& field) {
        field = static_cast<std::remove_reference_t<decltype(field)>>(value);
    });
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
