// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An app prompt for tests: records every message and question, and answers from queues set in
// advance. With a queue empty, a message gets its first button's answer and a question is
// cancelled, so a test that forgot an answer sees it in what was asked, never a dialog.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/common/AppPrompt.h"
#include "platform/PosixFileSystem.h"
#include "support/TestSupport.h"
#include "util/ErrorReporter.h"

namespace duvanto::test {

struct AskedQuestion {
    std::string kind;  // "text", "open", "save" or "folder"
    std::string title;
    std::string prompt;    // the prompt (a folder chooser's too), or the filter
    std::string proposed;  // the default text, or where the dialog starts

    bool operator==(const AskedQuestion&) const = default;
};

class FakeAppPrompt : public IAppPrompt {
public:
    MessageAnswer ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                              MessageButtons buttons) override {
        return messages.ShowMessage(title, text, icon, buttons);
    }
    void Beep() override { messages.Beep(); }
    std::optional<std::string> AskText(const std::string& title, const std::string& prompt,
                                       const std::string& defaultText) override {
        return Answer({"text", title, prompt, defaultText});
    }
    std::optional<std::string> AskOpenFile(const std::string& title, const std::string& folder,
                                           const std::string& filter) override {
        return Answer({"open", title, filter, folder});
    }
    std::optional<std::string> AskSaveFile(const std::string& title, const std::string& folder,
                                           const std::string& filter) override {
        return Answer({"save", title, filter, folder});
    }
    std::optional<std::string> AskFolder(const std::string& title, const std::string& prompt,
                                         const std::string& startFolder) override {
        return Answer({"folder", title, prompt, startFolder});
    }

    // The titles of the messages shown, in order.
    std::vector<std::string> Titles() const {
        std::vector<std::string> titles;
        for (const ShownMessage& message : messages.shown) {
            titles.push_back(message.title);
        }
        return titles;
    }

    // Message answers, what was shown, and the beeps.
    RecordingPrompt messages;
    // Answers to the questions in order; nullopt cancels.
    std::deque<std::optional<std::string>> answers;
    std::vector<AskedQuestion> asked;

private:
    std::optional<std::string> Answer(AskedQuestion question) {
        asked.push_back(std::move(question));
        if (answers.empty()) {
            return std::nullopt;
        }
        std::optional<std::string> answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// A prompt and an error reporter that reports through it, for windows that need no folder.
struct PromptAndReporter {
    FakeAppPrompt prompt;
    FixedClock clock;
    PosixFileSystem fileSystem;
    ErrorReporter reporter{"/nonexistent/", prompt, clock, fileSystem};
};

}  // namespace duvanto::test
