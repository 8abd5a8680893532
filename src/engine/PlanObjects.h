// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The objects of a saved plan's file that each stand for one thing of the plan: an operation, a
// stray temporary file, the settings, and an entry as the walk read it. What reading one checks
// needs nothing beyond the object; where its folders lie needs the roots (PlanFile.cpp).

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "engine/CloneSettings.h"
#include "engine/FileOp.h"
#include "engine/PlanJson.h"

namespace duvanto::planjson {

inline constexpr Word<int32_t> kOperations[] = {
    {CopyFile, "copy-file"},         {DeleteFile, "delete-file"}, {CreateFolder, "create-folder"},
    {DeleteFolder, "delete-folder"}, {RenameEntry, "rename"},     {RefuseName, "refuse-name"},
};

json StampValue(StampKind kind, uint64_t size, int64_t modified);
FileOp ReadOperation(const json& value, std::size_t number);
std::pair<std::string, std::string> ReadStray(const json& value);
json SettingsValue(const CloneSettings& settings);
void ReadSettings(const json& object, CloneSettings& settings);

}  // namespace duvanto::planjson
