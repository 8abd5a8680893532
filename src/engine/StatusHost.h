// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the engine needs of the window that started a run: two status texts, a chance to let
// the front end breathe between items (and notice Escape), the animation switch, and the
// confirmation list of planned operations.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/FileOp.h"

namespace duvanto {

// How far a run is. The walk counts files scanned, their total unknown (-1); performing counts
// the file operations (copies and deletions) done of those planned, the bytes copied of those
// planned (the file being copied included, as far as it got), and every operation, folders too.
struct RunProgress {
    int64_t FilesDone = 0;
    int64_t FilesTotal = -1;
    int64_t BytesDone = 0;
    int64_t BytesTotal = -1;
    int64_t OperationsDone = 0;
    int64_t OperationsTotal = -1;

    bool operator==(const RunProgress&) const = default;
};

// The one measure of how far performing is, which the status text ("42%") and any bar show
// alike: the bytes where the copies have any, else the files (copies of empty files,
// deletions), else the operations (folders alone); 0 while nothing is planned. Rounded half
// to even, and 100 only once everything is done. -1 while the walk still counts.
int ProgressPercent(const RunProgress& progress);

class IStatusHost {
public:
    virtual ~IStatusHost() = default;
    // Panels are numbered from 1; the engine writes panels 1 and 2.
    virtual void SetStatusText(int panel, const std::string& text) = 0;
    // Called once per item and between blocks of large files.
    virtual void Pump() = 0;
    virtual void SetAnimation(bool /*enabled*/) {}
    // Beside the status texts, so that a progress bar parses nothing.
    virtual void Progress(const RunProgress& /*progress*/) {}
    // Shows the planned operations; returns one flag per operation, true for one to skip.
    // An empty result skips nothing.
    virtual std::vector<bool> ConfirmOperations(const std::vector<FileOp>& /*operations*/) {
        return {};
    }
    // The plan would delete a large share of the Target (why: the counts, as the log tells
    // them); true lets the run perform it all the same. A host that cannot ask refuses.
    virtual bool AllowMassDelete(const std::string& /*why*/) { return false; }
};

// A host for runs nobody watches.
class SilentStatusHost : public IStatusHost {
public:
    void SetStatusText(int, const std::string&) override {}
    void Pump() override {}
};

// Flags shared by a run's thread and the window.
struct RunFlags {
    std::atomic<bool> EscPressed{false};
    // The session is ending (the process was asked to terminate): the run stops as if
    // cancelled, and says why in the log. Never cleared: the process is on its way out.
    std::atomic<bool> SessionEnding{false};
    std::atomic<bool> CloneCancelled{false};
    std::atomic<bool> CloneInProgress{false};
};

}  // namespace duvanto
