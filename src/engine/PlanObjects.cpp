// SPDX-License-Identifier: GPL-3.0-or-later
// Each object of a plan file on its own, to JSON and back.
#include "engine/PlanObjects.h"

#include <algorithm>

#include "engine/EngineOptions.h"
#include "engine/PlanText.h"
#include "engine/TargetNames.h"
#include "platform/FilePrimitives.h"

namespace duvanto::planjson {

namespace {

constexpr Word<StampKind> kStamps[] = {
    {StampKind::NotRead, "not-read"}, {StampKind::Absent, "absent"},
    {StampKind::File, "file"},        {StampKind::Link, "link"},
    {StampKind::Folder, "folder"},    {StampKind::Special, "special"},
};

bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

void ReadStamp(const json& value, StampKind& kind, uint64_t& size, int64_t& modified) {
    kind = ValueOf(kStamps, Field(value, "kind"), "entry kind");
    if (kind == StampKind::File || kind == StampKind::Link) {
        size = UnsignedField(value, "size");
        modified = IntField(value, "modified", INT64_MIN, INT64_MAX);
    }
}

}  // namespace

json StampValue(StampKind kind, uint64_t size, int64_t modified) {
    json stamp{{"kind", WordOf(kStamps, kind)}};
    if (kind == StampKind::File || kind == StampKind::Link) {
        stamp["size"] = size;
        stamp["modified"] = modified;
    }
    return stamp;
}

// An operation as the file states it; where its folders lie is checked once the roots are
// known (PlaceOperation).
FileOp ReadOperation(const json& value, std::size_t number) {
    // --strike and a person reading the file go by this number.
    if (const json& stated = Field(value, "number"); stated != number) {
        throw Damaged("\"number\" is " + Brief(stated) + " where " + std::to_string(number) +
                      " belongs");
    }
    FileOp op;
    op.Operation = ValueOf(kOperations, Field(value, "kind"), "operation kind");
    op.TargetFolder = PathFrom(Field(value, "targetFolder"), "targetFolder");
    const bool named = op.Operation == RenameEntry || op.Operation == RefuseName;
    if (op.Operation == CopyFile || op.Operation == CreateFolder || named) {
        op.SourceFolder = PathFrom(Field(value, "sourceFolder"), "sourceFolder");
    }
    if (op.Operation == CopyFile || op.Operation == DeleteFile || named) {
        op.FileName = PathFrom(Field(value, "name"), "name");
        if (!IsPlainName(op.FileName)) {
            throw Damaged("the name is no plain file name");
        }
    }
    op.AfterFolderRemoval = op.Operation == CopyFile && BoolField(value, "afterFolderRemoval");
    const json& reason = Field(value, "reason");
    if (!reason.is_string() || !OpReasonFromCode(reason.get<std::string>(), op.Reason)) {
        throw Damaged("unknown reason " + Brief(reason));
    }
    op.Detail = UnsignedField(value, "detail");
    ReadStamp(Field(value, "source"), op.SourceKind, op.Bytes, op.SourceTime);
    ReadStamp(Field(value, "target"), op.TargetKind, op.TargetSize, op.TargetTime);
    if (op.Operation == RenameEntry ||
        (op.Operation == RefuseName && op.Reason == OpReason::CaseCollision)) {
        op.OtherName = PathFrom(Field(value, "otherName"), "otherName");
        if (!IsPlainName(op.OtherName) || op.OtherName == op.FileName ||
            FoldCase(op.OtherName) != FoldCase(op.FileName)) {
            throw Damaged("\"otherName\" is no other letter case of the name");
        }
    }
    if ((op.Operation == RenameEntry) != (op.Reason == OpReason::CaseOnlyRename)) {
        throw Damaged("the reason does not fit the operation");
    }
    return op;
}

std::pair<std::string, std::string> ReadStray(const json& value) {
    std::string folder = PathFrom(Field(value, "folder"), "folder");
    std::string name = PathFrom(Field(value, "name"), "name");
    // Removed without a second look: only names of our own reserved form qualify.
    if (!IsPlainName(name) || !IsOwnTemporaryName(name)) {
        throw Damaged(Shown(name) + " is none of ours");
    }
    return {std::move(folder), std::move(name)};
}

json SettingsValue(const CloneSettings& settings) {
    json object = json::object();
    for (const EngineOption& option : kEngineOptions) {
        if (option.planName == nullptr) {
            continue;
        }
        const int32_t value = EngineOptionValue(settings, option.id);
        json& field = object[option.planName];
        if (option.kind == EngineOptionKind::Switch) {
            field = value != 0;
        } else if (option.kind == EngineOptionKind::Choice) {
            const EngineOptionChoice* choice = ChoiceOfValue(option, value);
            field = choice != nullptr ? choice->word : "";
        } else {
            field = value;
        }
    }
    return object;
}

// The options a plan holds, in the order of the table; the others keep their values.
void ReadSettings(const json& object, CloneSettings& settings) {
    for (const EngineOption& option : kEngineOptions) {
        if (option.planName == nullptr) {
            continue;
        }
        int32_t value = 0;
        if (option.kind == EngineOptionKind::Switch) {
            value = BoolField(object, option.planName) ? 1 : 0;
        } else if (option.kind == EngineOptionKind::Choice) {
            const json& word = Field(object, option.planName);
            const auto known = std::find_if(
                option.choices.begin(), option.choices.end(), [&](const EngineOptionChoice& c) {
                    return word.is_string() && word.get_ref<const std::string&>() == c.word;
                });
            if (known == option.choices.end()) {
                throw Damaged(std::string("unknown ") + option.planName + " method " + Brief(word));
            }
            value = known->value;
        } else {
            value = static_cast<int32_t>(IntField(object, option.planName, 0, 100));
        }
        SetEngineOptionValue(settings, option.id, value);
    }
}
}  // namespace duvanto::planjson
