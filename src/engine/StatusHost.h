#pragma once
// What the engine needs of the window that started a run: two status texts, a chance to let
// the front end breathe between items (and notice Escape), the animation switch, and the
// confirmation list of planned operations.

#include <atomic>
#include <string>
#include <vector>

namespace duvanto {

class IStatusHost {
public:
    virtual ~IStatusHost() = default;
    // Panels are numbered from 1; the engine writes panels 1 and 2.
    virtual void SetStatusText(int panel, const std::string& text) = 0;
    // Called once per item and between blocks of large files.
    virtual void Pump() = 0;
    virtual void SetAnimation(bool /*enabled*/) {}
    // Shows the description lines; returns one flag per line, true for a line struck out.
    // An empty result strikes out nothing.
    virtual std::vector<bool> ConfirmOperations(const std::vector<std::string>& /*lines*/) {
        return {};
    }
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
