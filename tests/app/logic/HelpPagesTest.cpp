// SPDX-License-Identifier: GPL-3.0-or-later
// The help pages against the program: every menu path they give ("File > Pause Scheduler"),
// every control they name in bold and every text they quote must be the program's own, so that
// a renamed item, button or message cannot leave a page telling of one that does not exist.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/mainwindow/MainCommands.h"

namespace duvanto {
namespace {

namespace fs = std::filesystem;

const fs::path kSourceTree = fs::path(DUVANTO_SOURCE_DIR);

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Each of `replacements` made everywhere in `text`, in turn.
std::string ReplaceAll(std::string text,
                       const std::vector<std::pair<std::string, std::string>>& replacements) {
    for (const auto& [from, to] : replacements) {
        for (std::size_t at = text.find(from); at != std::string::npos;
             at = text.find(from, at + to.size())) {
            text.replace(at, from.size(), to);
        }
    }
    return text;
}

// Every string literal of the program's sources, adjacent literals joined as the compiler joins
// them, escaped line ends as blanks, access-key marks dropped: one text to search.
std::string ProgramTexts() {
    static const std::regex literal(R"re("((?:[^"\\\n]|\\.)*)")re");
    std::string texts;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(kSourceTree / "src")) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".cpp" && extension != ".h") {
            continue;
        }
        const std::string source = ReadText(entry.path());
        std::string joined;
        std::size_t end = std::string::npos;
        for (auto it = std::sregex_iterator(source.begin(), source.end(), literal);
             it != std::sregex_iterator(); ++it) {
            const std::size_t start = static_cast<std::size_t>(it->position());
            const bool adjacent =
                end != std::string::npos && source.find_first_not_of(" \t\r\n", end) == start;
            if (!adjacent) {
                texts += joined + "\n";
                joined.clear();
            }
            joined += (*it)[1].str();
            end = start + static_cast<std::size_t>(it->length());
        }
        texts += joined + "\n";
    }
    texts = ReplaceAll(texts, {{"\\r\\n", " "}, {"\\n", " "}, {"\\\"", "\""}, {"&", ""}});
    return std::regex_replace(texts, std::regex(R"([ \t]+)"), " ");
}

// A page's text as a reader sees it: examples (<pre>) left out, each tag a mark (\x01) that
// no quotation crosses, entities as their characters, blanks collapsed.
std::string PageText(const std::string& page) {
    std::string text = std::regex_replace(page, std::regex(R"(<pre>[\s\S]*?</pre>)"), "\x01");
    text = std::regex_replace(text, std::regex(R"(<[^>]*>)"), "\x01");
    text = ReplaceAll(
        text, {{"&nbsp;", " "}, {"&gt;", ">"}, {"&lt;", "<"}, {"&quot;", "\""}, {"&amp;", "&"}});
    return std::regex_replace(text, std::regex(R"(\s+)"), " ");
}

struct MenuNode {
    std::string caption;
    std::vector<MenuNode> children;
};

MenuNode NodeOf(const CommandEntry& entry) {
    MenuNode node{ReplaceAll(entry.caption, {{"&", ""}}), {}};
    for (const CommandEntry& child : entry.children) {
        if (child.kind != CommandKind::Separator) {
            node.children.push_back(NodeOf(child));
        }
    }
    return node;
}

// The caption among `items` that `text` begins with (the longest); prose may leave out an
// item's closing "...".
const MenuNode* ItemAtStart(const std::vector<MenuNode>& items, const std::string& text) {
    const MenuNode* found = nullptr;
    for (const MenuNode& item : items) {
        std::string caption = item.caption;
        const bool fits =
            text.starts_with(caption) ||
            (caption.ends_with("...") && text.starts_with(caption.substr(0, caption.size() - 3)));
        if (fits && (found == nullptr || caption.size() > found->caption.size())) {
            found = &item;
        }
    }
    return found;
}

std::vector<std::string> HelpPages() {
    std::vector<std::string> pages;
    for (const fs::directory_entry& entry : fs::directory_iterator(kSourceTree / "docs/help")) {
        if (entry.path().extension() == ".html") {
            pages.push_back(entry.path().string());
        }
    }
    return pages;
}

// "Menu > Item > ...": each step an item of the one before; a last step that is no submenu
// item names a control of the window the item opens ("Help > About... > System Info...").
std::vector<std::string> UnknownMenuPaths(const std::string& text, const MenuNode& bar,
                                          const std::string& programTexts) {
    std::vector<std::string> unknown;
    static const std::regex path(R"(\b(File|Options|Log|Help) > )");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), path);
         it != std::sregex_iterator(); ++it) {
        const std::string menuName = (*it)[1].str();
        const MenuNode* menu = ItemAtStart(bar.children, menuName);
        std::string rest = text.substr(static_cast<std::size_t>(it->position() + it->length()));
        const std::string shown = menuName + " > " + rest.substr(0, 60);
        const MenuNode* item = menu == nullptr ? nullptr : ItemAtStart(menu->children, rest);
        if (item == nullptr) {
            unknown.push_back(shown);
            continue;
        }
        rest = rest.substr(std::min(item->caption.size(), rest.size()));
        while (rest.starts_with("... ")) {
            rest = rest.substr(3);
        }
        if (!rest.starts_with(" > ")) {
            continue;
        }
        rest = rest.substr(3);
        if (ItemAtStart(item->children, rest) != nullptr) {
            continue;
        }
        const std::string control = rest.substr(0, rest.find_first_of("\x01,;:()"));
        if (item->children.empty() && !control.empty() &&
            programTexts.find(control) != std::string::npos) {
            continue;
        }
        unknown.push_back(shown);
    }
    return unknown;
}

TEST(HelpPagesTest, EveryMenuItemButtonAndMessageAPageNamesIsTheProgramsOwn) {
    const std::string programTexts = ProgramTexts();
    MenuNode bar;
    for (const CommandEntry& menu : MainMenuBar()) {
        bar.children.push_back(NodeOf(menu));
    }

    std::vector<std::string> findings;  // the page, and what it names
    const std::vector<std::string> pages = HelpPages();
    ASSERT_GT(pages.size(), 10u);
    for (const std::string& file : pages) {
        const std::string page = ReadText(file);
        const std::string name = fs::path(file).filename().string();
        const std::string text = PageText(page);

        for (const std::string& path : UnknownMenuPaths(text, bar, programTexts)) {
            findings.push_back(name + ": menu path: " + path);
        }
        // Bold names a control: a button, a check box, a window's caption. Emphasis is
        // <strong>.
        static const std::regex bold(R"(<b>([\s\S]*?)</b>)");
        for (auto it = std::sregex_iterator(page.begin(), page.end(), bold);
             it != std::sregex_iterator(); ++it) {
            std::string control = PageText((*it)[1].str());
            std::erase(control, '\x01');
            if (control.find(" > ") != std::string::npos) {
                continue;  // a menu path, judged above
            }
            if (programTexts.find(control) == std::string::npos) {
                findings.push_back(name + ": control: " + control);
            }
        }
        // A quoted text is a message or caption; UPPER-CASE words and "..." stand for what
        // the program fills in (a task's name, a file), so each piece between them is looked
        // for. A closing full stop may be the program's own piece.
        static const std::regex quoted("\"([^\"\x01]{2,300})\"");
        static const std::regex placeholder(R"(\b[A-Z]{3,}\b|\.\.\.)");
        for (auto it = std::sregex_iterator(text.begin(), text.end(), quoted);
             it != std::sregex_iterator(); ++it) {
            const std::string message = (*it)[1].str();
            std::sregex_token_iterator piece(message.begin(), message.end(), placeholder, -1);
            for (; piece != std::sregex_token_iterator(); ++piece) {
                std::string part = piece->str();
                while (!part.empty() && (part.back() == ' ' || part.back() == '.')) {
                    part.pop_back();
                }
                while (!part.empty() && part.front() == ' ') {
                    part.erase(0, 1);
                }
                if (part.size() >= 4 && programTexts.find(part) == std::string::npos) {
                    findings.push_back(name + ": message: \"" + message + "\"");
                    break;
                }
            }
        }
    }
    for (const std::string& finding : findings) {
        ADD_FAILURE() << "A page names what the program does not have: " << finding;
    }
}

}  // namespace
}  // namespace duvanto
