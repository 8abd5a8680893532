#pragma once
// A status host that records what a run shows, answers its confirmation list and can press
// Escape after a number of pumps.

#include <string>
#include <vector>

#include "engine/Clone.h"

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
    void Progress(const RunProgress& progress) override { progresses.push_back(progress); }
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

    std::string panel1, panel2;
    std::vector<std::string> texts;
    int pumps = 0;
    std::vector<std::string> confirmed;
    std::vector<RunProgress> progresses;
    std::vector<bool> strikeOut;
    std::vector<std::string> massDeleteAsked;
    bool allowMassDelete = false;
    int escapeAfterPumps = -1;

private:
    RunFlags* m_flags = nullptr;
};

}  // namespace duvanto::test
