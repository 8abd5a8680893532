// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the windows that edit a task need from the program, handed in by whoever opens them:
// the main window builds one of these from its application object.

#include "app/common/AppPrompt.h"
#include "app/common/FileTypes.h"
#include "app/help/HelpTopics.h"
#include "app/mainwindow/ErrorBoundary.h"
#include "platform/FileSystem.h"
#include "util/Clock.h"
#include "util/ErrorReporter.h"
#include "util/FileUtilities.h"

namespace duvanto {

struct TaskEditServices {
    IAppPrompt& Prompt;
    IHelpViewer* Help;  // may be null: the Help buttons then do nothing
    ErrorReporter& Reporter;
    // Lists folders for the path completion and the selection tree, on the GUI thread and on
    // the selection window's reading threads. A run sets roots on its own instance: this one
    // should be another.
    IFileSystem& FileSystem;
    const IClock& Clock;
    MountTables PathTables;  // for the shared folder check
    IFileTypes& FileTypes;
};

// Runs one labelled procedure of a window: an unexpected failure is reported under the label,
// as every boundary reports (ErrorBoundary.h), and the procedure then gives `failed`.
template <typename Procedure>
void Labelled(ErrorReporter& reporter, const char* label, Procedure procedure) {
    Guarded(reporter, label, procedure);
}
template <typename Result, typename Procedure>
Result Labelled(ErrorReporter& reporter, const char* label, Result failed, Procedure procedure) {
    Result result = failed;
    Guarded(reporter, label, [&] { result = procedure(); });
    return result;
}

}  // namespace duvanto
