// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A help viewer for tests: records the context numbers it was asked to show.

#include <vector>

#include "app/help/HelpTopics.h"

namespace duvanto::test {

struct RecordingHelpViewer : IHelpViewer {
    void ShowHelp(int context) override { shown.push_back(context); }
    std::vector<int> shown;
};

}  // namespace duvanto::test
