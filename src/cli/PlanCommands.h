// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The runner's plans: the listing `plan` prints (with --explain, the reason under each line),
// the plan file `plan --save` writes, and `apply`, which carries such a file out.

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "engine/ClonePlan.h"
#include "engine/CloneSettings.h"

namespace duvanto {

struct ApplyArgs {
    std::string file;
    std::vector<int64_t> strike;
    std::string name = "Saved Plan";
    bool quiet = false;
    bool allowMassDelete = false;
};

// One line per operation as the confirmation shows it; with explain, each followed by an
// indented "because: ..." line.
std::string PlanListing(const ClonePlan& plan, bool explain);

// Writes the plan file; false after saying why on err.
bool SavePlanFile(IFileSystem& fs, const std::string& file, const ClonePlan& plan,
                  const CloneSettings& settings, std::ostream& err);

CLI::App* AddApplyCommand(CLI::App& app, ApplyArgs& args);
int RunApply(const std::string& home, const ApplyArgs& args, CliStreams streams);

}  // namespace duvanto
