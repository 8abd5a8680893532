// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The options a run works with (CloneSettings), each declared once: its key and default in the
// options file, its item in the Options menu, its flag for duvanto-cli and its name in a saved
// plan. The options file, the menu, the runner and the plan file take their words from here, so
// an option is never spelled two ways. Every word is a contract (README): extend, never rename.

#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/CloneSettings.h"

namespace duvanto {

// In the order of the table below.
enum class EngineOptionId {
    CompareMethod,
    IgnoreTwoSecDiff,
    IgnoreDaylightSavings,
    IgnoreHiddenFolders,
    IgnoreSystemFolders,
    DeleteMethod,
    CopyMethod,
    CopyOnlyIfNewer,
    ConfirmSyncActions,
    MaxDeletePercent,
};

enum class EngineOptionKind {
    Switch,   // on (1) or off (0)
    Choice,   // one of its choices
    Percent,  // a whole number from 0 to 100
};

// An item of the Options menu: its name and its text with the access key; no name: none.
struct OptionMenuItem {
    const char* name = nullptr;
    const char* text = nullptr;
};

// One choice of a method: its number (the enumeration's, the menu item's position), its word on
// the command line and in a saved plan, its word in the options file (none: the file holds the
// number) and its radio item in the option's submenu.
struct EngineOptionChoice {
    int32_t value;
    const char* word;
    const char* iniWord;
    OptionMenuItem menu;
};

// A key of the options file and its value when the file has none.
struct OptionIniKey {
    const char* section;
    const char* key;
    const char* defaultValue;
};

// A flag of duvanto-cli's plan and clone without its "--" (a switch has "--no-" + name as
// well) and its help; no name where the runner has no flag.
struct OptionFlag {
    const char* name = nullptr;
    const char* help = nullptr;
};

struct EngineOption {
    EngineOptionId id;
    EngineOptionKind kind;
    OptionIniKey ini;
    // A switch's check item, or the submenu of a choice's radio items.
    OptionMenuItem menu;
    OptionFlag flag;
    // The key in a saved plan's "settings"; none where a plan does not hold the option.
    const char* planName;
    std::span<const EngineOptionChoice> choices;
};

// clang-format off
inline constexpr EngineOptionChoice kCompareChoices[] = {
    {0, "datetime", "DateTime", {"mnuOptionsCompMethodDateTime", "&Date/Time"}},
    {1, "size", "Size", {"mnuOptionsCompMethodSize", "&Size"}},
    {2, "contents", "Contents", {"mnuOptionsCompMethodContents", "&Contents"}},
    {3, "crc32", "CRC32", {"mnuOptionsCompMethodCRC32", "C&RC32"}},
};
inline constexpr EngineOptionChoice kDeleteChoices[] = {
    {0, "regular", nullptr, {"mnuOptionsDeleteMethod_0", "Regular Delete"}},
    {1, "trash", nullptr, {"mnuOptionsDeleteMethod_1", "Send To Trash"}},
    {2, "none", nullptr, {"mnuOptionsDeleteMethod_2", "Do Not Delete"}},
    {3, "secure", nullptr, {"mnuOptionsDeleteMethod_3", "Secure Delete"}},
};
inline constexpr EngineOptionChoice kCopyChoices[] = {
    {0, "regular", nullptr, {"mnuOptionsCopyMethod_0", "Regular Copy"}},
    {1, "safe", nullptr, {"mnuOptionsCopyMethod_1", "Safe Copy"}},
    {2, "keep-created", nullptr,
     {"mnuOptionsCopyMethod_2", "Retain Source Files Create Timestamp"}},
};

// In the order of the runner's flags and of a saved plan's settings. A row an option: its id
// and kind, its key in the options file, its menu item, its flag, its name in a plan, its choices.
inline constexpr EngineOption kEngineOptions[] = {
    {EngineOptionId::CompareMethod, EngineOptionKind::Choice,
     {"Comparison", "CompareType", "DateTime"},
     {"mnuOptionsCompMethod", "File &Comparison Method"},
     {"compare", "how files are compared"},
     "compare", kCompareChoices},
    {EngineOptionId::IgnoreTwoSecDiff, EngineOptionKind::Switch,
     {"Comparison", "Ignore2SecDiff", "True"},
     {"mnuOptionsFATIgnore2SecDiff", "Ignore up to 2 Seconds Diff"},
     {"ignore-2s", "ignore time differences of 1-2 s"},
     "ignore2SecDiff", {}},
    {EngineOptionId::IgnoreDaylightSavings, EngineOptionKind::Switch,
     {"Comparison", "IgnoreDaylightSavings", "False"},
     {"mnuOptionsFATIgnoreDST", "Ignore Daylight Savings Time Diff"},
     {"ignore-dst", "ignore time differences of exactly one hour"},
     "ignoreDaylightSavings", {}},
    {EngineOptionId::IgnoreHiddenFolders, EngineOptionKind::Switch,
     {"Comparison", "IgnoreHiddenFolders", "True"},
     {"mnuOptionsIgnoreHiddenFolders", "Ignore Hidden Folders"},
     {"ignore-hidden-folders", "skip folders whose name begins with '.'"},
     "ignoreHiddenFolders", {}},
    {EngineOptionId::IgnoreSystemFolders, EngineOptionKind::Switch,
     {"Comparison", "IgnoreSystemFolders", "True"},
     {"mnuOptionsIgnoreSystemFolders", "Ignore System Folders"},
     {"ignore-system-folders", "skip system folders (kept for scripts: on Linux no folder is a "
                               "system folder, so it changes nothing)"},
     "ignoreSystemFolders", {}},
    {EngineOptionId::DeleteMethod, EngineOptionKind::Choice,
     {"Miscellaneous", "DeleteMethod", "1"},
     {"mnuOptionsDeleteMethods", "Delete Methods"},
     {"delete", "what happens to orphans in the Target"},
     "delete", kDeleteChoices},
    {EngineOptionId::CopyMethod, EngineOptionKind::Choice,
     {"Miscellaneous", "CopyMethod", "0"},
     {"mnuOptionsCopyMethods", "Copy Methods"},
     {"copy", "how files are copied"},
     "copy", kCopyChoices},
    {EngineOptionId::CopyOnlyIfNewer, EngineOptionKind::Switch,
     {"Miscellaneous", "CopyOnlyIfNewer", "False"},
     {"mnuOptionsCopyOnlyIfNewer", "Copy Only if Source is Newer than Target"},
     {"newer-only", "replace a Target file only when the Source is newer"},
     "copyOnlyIfNewer", {}},
    // The runner asks with `clone --confirm`, a flag of that command alone.
    {EngineOptionId::ConfirmSyncActions, EngineOptionKind::Switch,
     {"Miscellaneous", "ConfirmSyncActions", "False"},
     {"mnuOptionsConfirmSyncActions", "Confirm Synchronization Actions"},
     {},
     nullptr, {}},
    {EngineOptionId::MaxDeletePercent, EngineOptionKind::Percent,
     {"Safety", "MaxDeletePercent", "50"},
     {},
     {},
     "maxDeletePercent", {}},
};
// clang-format on

constexpr const EngineOption& EngineOptionOf(EngineOptionId id) {
    return kEngineOptions[static_cast<std::size_t>(id)];
}

// The option's value as a number: a switch's 0 or 1, a choice's number, the percentage.
int32_t EngineOptionValue(const CloneSettings& settings, EngineOptionId id);
// Sets it from such a number; the caller gives one the option can take.
void SetEngineOptionValue(CloneSettings& settings, EngineOptionId id, int32_t value);

// The choice of that number; nullptr when the option has none such.
const EngineOptionChoice* ChoiceOfValue(const EngineOption& option, int32_t value);

}  // namespace duvanto
