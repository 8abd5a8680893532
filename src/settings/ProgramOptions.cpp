// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ProgramOptions.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <optional>
#include <utility>

#include "engine/EngineOptions.h"
#include "settings/ValueText.h"

namespace duvanto {

namespace {

using Options = ProgramOptions;

struct OptionRow {
    const char* section;
    const char* key;
    const char* defaultValue;
    bool defaultInAppPath;  // the default is AppPath followed by defaultValue
    int writeSlot;          // position among the keys when saving
    void (*read)(Options&, const std::string& value, const IniDocument& document);
    // The written form; nothing leaves the key as the file has it.
    std::optional<std::string> (*written)(const Options&);
};

bool IsTrue(const std::string& value) {
    return value == "True";
}

// A menu item index of a control array: a whole number naming an item, or the runtime's
// error for a missing element, raised before anything is set.
int32_t MenuIndex(const std::string& value, int32_t itemCount) {
    const double number = NumberFromText(value);
    if (!(number >= 0 && number < itemCount) || number != std::floor(number)) {
        throw RuntimeError(340, "Control array element '" + value + "' doesn't exist");
    }
    return static_cast<int32_t>(number);
}

template <std::size_t Column>
void ReadColumn(Options& o, const std::string& value, const IniDocument&) {
    // A list view column is never narrower than nothing; a negative width would not survive
    // the zero padding of the next save.
    o.ColumnWidths[Column] = std::max(0, LongFromText(value));
}

template <std::size_t Column>
std::optional<std::string> WrittenColumn(const Options& o) {
    return ZeroPadded(o.ColumnWidths[Column]);
}

// A flag of the options' own, "True" or not.
template <bool Options::*Flag>
void ReadFlag(Options& o, const std::string& value, const IniDocument&) {
    o.*Flag = IsTrue(value);
}

template <bool Options::*Flag>
std::optional<std::string> WrittenFlag(const Options& o) {
    return BooleanText(o.*Flag);
}

// An option of the runs (engine/EngineOptions.h), read by its kind.
template <EngineOptionId Id>
void ReadEngineOption(Options& o, const std::string& value, const IniDocument&) {
    const EngineOption& option = EngineOptionOf(Id);
    int32_t number = 0;
    switch (option.kind) {
        case EngineOptionKind::Switch:
            number = IsTrue(value) ? 1 : 0;
            break;
        case EngineOptionKind::Choice:
            if (option.choices.front().iniWord == nullptr) {
                number = MenuIndex(value, static_cast<int32_t>(option.choices.size()));
            } else {
                // A word the file does not know is the first choice.
                const auto named = std::find_if(
                    option.choices.begin(), option.choices.end(),
                    [&value](const EngineOptionChoice& choice) { return value == choice.iniWord; });
                number =
                    named == option.choices.end() ? option.choices.front().value : named->value;
            }
            break;
        case EngineOptionKind::Percent: {
            const double percent = NumberFromText(value);
            // A share the guard cannot mean is refused, never taken for "no guard".
            if (!IsNumericText(value) || !(percent >= 0 && percent <= 100) ||
                percent != std::floor(percent)) {
                throw RuntimeError(380, "Invalid property value");
            }
            number = static_cast<int32_t>(percent);
            break;
        }
    }
    SetEngineOptionValue(o.Targets().settings, Id, number);
}

template <EngineOptionId Id>
std::optional<std::string> WrittenEngineOption(const Options& o) {
    const EngineOption& option = EngineOptionOf(Id);
    const int32_t number = EngineOptionValue(o.Targets().settings, Id);
    if (option.kind == EngineOptionKind::Switch) {
        return BooleanText(number != 0);
    }
    if (option.kind == EngineOptionKind::Choice && option.choices.front().iniWord != nullptr) {
        const EngineOptionChoice* choice = ChoiceOfValue(option, number);
        return (choice != nullptr ? choice : &option.choices.front())->iniWord;
    }
    return std::to_string(number);
}

template <EngineOptionId Id>
constexpr OptionRow EngineRow(int writeSlot) {
    const EngineOption& option = EngineOptionOf(Id);
    return {option.ini.section, option.ini.key,       option.ini.defaultValue, false,
            writeSlot,          ReadEngineOption<Id>, WrittenEngineOption<Id>};
}

// In the order of reading; writeSlot gives the order of saving.
constexpr OptionRow kRows[] = {
    {"Log", "MaxSize", "500", false, 0,
     [](Options& o, const std::string& value, const IniDocument&) {
         const double number = LeadingNumber(value);
         const auto* named =
             std::find_if(std::begin(kLogSizes), std::end(kLogSizes),
                          [number](const LogSizeChoice& size) { return number == size.kib; });
         o.LogSize = named == std::end(kLogSizes) ? LogSizeItem::None : named->item;
         const int64_t bytes = int64_t{LongFromNumber(number)} * 1024;
         o.Targets().log.MaxLogFileSize(LongFromNumber(static_cast<double>(bytes)));
     },
     [](const Options& o) -> std::optional<std::string> {
         for (const LogSizeChoice& size : kLogSizes) {
             if (size.item == o.LogSize) {
                 return std::to_string(size.kib);
             }
         }
         return std::nullopt;
     }},
    {"Log", "LogOnlyErrors", "False", false, 1,
     [](Options& o, const std::string& value, const IniDocument&) {
         o.Targets().log.LogOnlyErrors(value != "False");
     },
     [](const Options& o) -> std::optional<std::string> {
         return BooleanText(o.Targets().log.LogOnlyErrors());
     }},
    EngineRow<EngineOptionId::CompareMethod>(2),
    EngineRow<EngineOptionId::IgnoreTwoSecDiff>(3),
    EngineRow<EngineOptionId::IgnoreDaylightSavings>(4),
    EngineRow<EngineOptionId::IgnoreSystemFolders>(5),
    EngineRow<EngineOptionId::IgnoreHiddenFolders>(6),
    // Written with its PriorityRule<i> keys by WritePriorityRules.
    {kPriorityRulesSection, "NumRules", "0", false, 7,
     [](Options& o, const std::string& value, const IniDocument& document) {
         ReadPriorityRules(o.Targets().rules, value, document);
     },
     nullptr},
    {"Reminders", "SysTray", "True", false, 8, ReadFlag<&Options::SysTrayReminder>,
     WrittenFlag<&Options::SysTrayReminder>},
    {"Reminders", "ScheduledSyncsMsg", "True", false, 9, ReadFlag<&Options::ScheduledSyncsMsg>,
     WrittenFlag<&Options::ScheduledSyncsMsg>},
    {"Reminders", "SendToRecycleBinMsg", "True", false, 10, ReadFlag<&Options::SendToRecycleBinMsg>,
     WrittenFlag<&Options::SendToRecycleBinMsg>},
    {"TaskList", "TaskListFileSpec", "Default Task List.dvt", true, 11,
     [](Options& o, const std::string& value, const IniDocument&) { o.TaskListFileSpec = value; },
     [](const Options& o) -> std::optional<std::string> { return o.TaskListFileSpec; }},
    {"Form Dimensions", "Height", "5220", false, 12,
     [](Options& o, const std::string& value, const IniDocument&) {
         o.FormHeight = std::max(LongFromText(value), 5220);
     },
     [](const Options& o) -> std::optional<std::string> { return ZeroPadded(o.FormHeight); }},
    {"Form Dimensions", "Width", "9330", false, 13,
     [](Options& o, const std::string& value, const IniDocument&) {
         o.FormWidth = std::max(LongFromText(value), 9330);
     },
     [](const Options& o) -> std::optional<std::string> { return ZeroPadded(o.FormWidth); }},
    {"ColumnWidths", "ColumnOne", "150", false, 14, ReadColumn<0>, WrittenColumn<0>},
    {"ColumnWidths", "ColumnTwo", "100", false, 15, ReadColumn<1>, WrittenColumn<1>},
    {"ColumnWidths", "ColumnThree", "100", false, 16, ReadColumn<2>, WrittenColumn<2>},
    {"ColumnWidths", "ColumnFour", "125", false, 17, ReadColumn<3>, WrittenColumn<3>},
    {"ColumnWidths", "ColumnFive", "125", false, 18, ReadColumn<4>, WrittenColumn<4>},
    {"Miscellaneous", "RunOnWindowsStartup", "AllUsers", false, 19,
     [](Options& o, const std::string& value, const IniDocument&) {
         o.RunOnStartup = value == "AllUsers" || value == "True" ? RunOnStartupChoice::AllUsers
                          : value == "CurrentUser"               ? RunOnStartupChoice::CurrentUser
                          : value == "False"                     ? RunOnStartupChoice::NoRun
                                                                 : RunOnStartupChoice::None;
     },
     [](const Options& o) -> std::optional<std::string> {
         return o.RunOnStartup == RunOnStartupChoice::AllUsers      ? "AllUsers"
                : o.RunOnStartup == RunOnStartupChoice::CurrentUser ? "CurrentUser"
                                                                    : "False";
     }},
    {"Miscellaneous", "ShowToolbar", "Show", false, 21,
     [](Options& o, const std::string& value, const IniDocument&) {
         o.ShowToolbar = value != "Hide";
     },
     [](const Options& o) -> std::optional<std::string> {
         return o.ShowToolbar ? "Show" : "Hide";
     }},
    EngineRow<EngineOptionId::CopyMethod>(22),
    EngineRow<EngineOptionId::DeleteMethod>(23),
    {"Miscellaneous", "PromptToInsertRemovableDrive", "False", false, 20,
     [](Options& o, const std::string& value, const IniDocument&) {
         o.PromptToInsertRemovableDrive = IsTrue(value);
     },
     [](const Options& o) -> std::optional<std::string> {
         return BooleanText(o.PromptToInsertRemovableDrive);
     }},
    {"Miscellaneous", "DelayBeforeFirstTask", "0", false, 24,
     [](Options& o, const std::string& value, const IniDocument&) {
         if (IsNumericText(value)) {
             o.DelayBeforeFirstTask = LongFromText(value);
         }
     },
     [](const Options& o) -> std::optional<std::string> {
         return std::to_string(o.DelayBeforeFirstTask);
     }},
    EngineRow<EngineOptionId::CopyOnlyIfNewer>(25),
    EngineRow<EngineOptionId::ConfirmSyncActions>(26),
    {"Scheduler", "WaitForDrives", "True", false, 28,
     [](Options& o, const std::string& value, const IniDocument&) {
         o.WaitForDrives = IsTrue(value);
     },
     [](const Options& o) -> std::optional<std::string> { return BooleanText(o.WaitForDrives); }},
    // Read last: a value that stops the read leaves every other option read.
    EngineRow<EngineOptionId::MaxDeletePercent>(27),
};

constexpr std::size_t kRowCount = std::size(kRows);

// A slot given twice leaves another empty, and saving would then write no row there.
constexpr bool EachWriteSlotOnce() {
    std::array<bool, kRowCount> taken{};
    for (const OptionRow& row : kRows) {
        const auto slot = static_cast<std::size_t>(row.writeSlot);
        if (row.writeSlot < 0 || slot >= kRowCount || taken[slot]) {
            return false;
        }
        taken[slot] = true;
    }
    return true;
}
static_assert(EachWriteSlotOnce(), "every option row needs a write slot of its own");

}  // namespace

ProgramOptions::ProgramOptions(std::string appPath, OptionTargets targets, ErrorReporter& reporter,
                               IFileSystem& fileSystem)
    : TaskListFileSpec(appPath + "Default Task List.dvt"),
      PromptToInsertRemovableDrive(targets.removableDrivePrompt != nullptr
                                       ? *targets.removableDrivePrompt
                                       : m_ownRemovableDrivePrompt),
      WaitForDrives(targets.waitForDrives != nullptr ? *targets.waitForDrives : m_ownWaitForDrives),
      m_appPath(std::move(appPath)),
      m_targets(targets),
      m_reporter(reporter),
      m_fs(fileSystem) {}

void ProgramOptions::ReadProgramOptionsFromIniFile() {
    ReadFailure.reset();
    LoadedIni loaded;
    const OptionRow* reading = nullptr;
    try {
        loaded = LoadIniDocument(m_fs, IniFileSpec());
        FirstRun = !loaded.existed;
        for (const OptionRow& row : kRows) {
            reading = &row;
            const std::string defaultValue =
                row.defaultInAppPath ? m_appPath + row.defaultValue : row.defaultValue;
            row.read(*this, loaded.document.GetString(row.section, row.key, defaultValue),
                     loaded.document);
        }
    } catch (const IniValueError& error) {
        ReadStoppedAt(loaded.document, error.Section(), error.Key());
    } catch (...) {
        ReadStoppedAt(loaded.document, reading == nullptr ? "" : reading->section,
                      reading == nullptr ? "" : reading->key);
    }
}

void ProgramOptions::ReadStoppedAt(const IniDocument& document, const std::string& section,
                                   const std::string& key) {
    OptionsReadFailure failure;
    failure.Section = section;
    failure.Key = key;
    failure.Line = document.LineNumberOf(section, key);
    failure.Value = document.Get(section, key).value_or("");
    failure.Reason = UnexpectedError::FromException(std::current_exception()).description;
    ReadFailure = std::move(failure);
    m_reporter.ReportCurrentException("modIniFile.ReadProgramOptionsFromIniFile");
}

std::optional<IniDocument> ProgramOptions::BuildSavedDocument(Status& loadStatus) {
    std::optional<IniDocument> document;
    try {
        LoadedIni loaded = LoadIniDocument(m_fs, IniFileSpec());
        loadStatus = loaded.status;
        document = std::move(loaded.document);
        std::array<const OptionRow*, kRowCount> order{};
        for (const OptionRow& row : kRows) {
            order[static_cast<std::size_t>(row.writeSlot)] = &row;
        }
        for (const OptionRow* row : order) {
            if (row->written == nullptr) {
                WritePriorityRules(m_targets.rules, *document);
            } else if (std::optional<std::string> value = row->written(*this)) {
                document->Set(row->section, row->key, *value);
            }
        }
    } catch (...) {
        m_reporter.ReportCurrentException("modIniFile.SaveProgramOptionsToIniFile");
    }
    return document;
}

Status ProgramOptions::SaveProgramOptionsToIniFile() {
    Status loadStatus;
    const std::optional<IniDocument> document = BuildSavedDocument(loadStatus);
    if (!loadStatus.ok()) {
        return loadStatus;  // the user's file is kept when we could not read what it holds
    }
    if (!document) {
        return Status::Failure(EIO, "The options could not be prepared for saving.");
    }
    try {
        return SaveIniDocument(m_fs, IniFileSpec(), *document);
    } catch (...) {
        m_reporter.ReportCurrentException("modIniFile.SaveProgramOptionsToIniFile");
        return Status::Failure(EIO, "The options file could not be written.");
    }
}

std::string ProgramOptions::RenderSavedText() {
    Status loadStatus;
    const std::optional<IniDocument> document = BuildSavedDocument(loadStatus);
    return document ? document->Text() : std::string();
}

}  // namespace duvanto
