// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Hosts that record what a run shows, answer its confirmation list and can press Escape after a
// number of pumps: one for the engine alone, one for a whole task run.

#include <string>
#include <vector>

#include "engine/Clone.h"
#include "tasks/RunHost.h"

namespace duvanto::test {

class RecordingStatusHost : public IStatusHost {
public:
    RecordingStatusHost() = default;
    // Escape presses land in these flags.
    explicit RecordingStatusHost(RunFlags& flags) : m_flags(&flags) {}

    void SetStatusText(int panel, const std::string& text) override {
        (panel == 1 ? panel1 : panel2) = text;
        texts.push_back(std::to_string(panel) + ":" + text);
    }
    std::vector<bool> ConfirmOperations(const std::vector<FileOp>& operations) override {
        confirmed.clear();
        for (const FileOp& op : operations) {
            confirmed.push_back(cClone::DescribeFileOp(op));
        }
        return strikeOut;
    }
    // Each report with the panel 2 text shown beside it at that moment.
    void Progress(const RunProgress& progress) override {
        progresses.push_back({progress, panel2});
    }
    bool AllowMassDelete(const std::string& why) override {
        massDeleteAsked.push_back(why);
        return allowMassDelete;
    }
    void Pump() override {
        ++pumps;
        if (m_flags != nullptr && escapeAfterPumps >= 0 && pumps >= escapeAfterPumps) {
            m_flags->EscPressed = true;
        }
    }

    struct ShownProgress {
        RunProgress progress;
        std::string panel2;
    };

    std::string panel1, panel2;
    std::vector<std::string> texts;
    std::vector<ShownProgress> progresses;
    int pumps = 0;
    std::vector<std::string> confirmed;
    std::vector<bool> strikeOut;
    std::vector<std::string> massDeleteAsked;
    bool allowMassDelete = false;
    int escapeAfterPumps = -1;

private:
    RunFlags* m_flags = nullptr;
};

// The front end a run talks to, as a journal of what the run did to it.
class RecordingWindow : public IRunHost {
public:
    void SetStatusText(int panel, const std::string& text) override {
        Note("panel" + std::to_string(panel) + ":" + text);
    }
    void Pump() override {
        ++pumps;
        if (escapeAtPump > 0 && pumps >= escapeAtPump && flags != nullptr) {
            flags->EscPressed = true;
        }
    }
    void SetAnimation(bool enabled) override { Note(enabled ? "animation:on" : "animation:off"); }

    void Progress(const RunProgress& progress) override { progresses.push_back(progress); }
    std::vector<bool> ConfirmOperations(const std::vector<FileOp>& operations) override {
        confirmed = operations;
        return skip;
    }

    void RunStarted(const std::string& taskName) override { Note("started:" + taskName); }
    void RunEnded() override { Note("ended"); }
    // The last text of a status panel.
    std::string Panel(int panel) const {
        const std::string prefix = "panel" + std::to_string(panel) + ":";
        for (auto entry = journal.rbegin(); entry != journal.rend(); ++entry) {
            if (entry->starts_with(prefix)) {
                return entry->substr(prefix.size());
            }
        }
        return "(never set)";
    }

    std::vector<std::string> journal;
    std::vector<RunProgress> progresses;
    std::vector<FileOp> confirmed;
    std::vector<bool> skip;
    int pumps = 0;
    int escapeAtPump = 0;  // > 0: Escape is pressed at that pump
    RunFlags* flags = nullptr;

private:
    void Note(const std::string& entry) { journal.push_back(entry); }
};

}  // namespace duvanto::test
