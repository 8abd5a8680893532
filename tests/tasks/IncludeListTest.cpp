// SPDX-License-Identifier: GPL-3.0-or-later
#include "tasks/IncludeList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tasks/Trees.h"

namespace duvanto {
namespace {

using Items = std::vector<std::string>;

// Each list is written as its text and read back as it was: names holding the separator, a
// comma, the escape, an empty name and blanks among them.
TEST(IncludeListTest, ListsRoundTripThroughTheirText) {
    const std::pair<Items, std::string> cases[] = {
        {{}, ""},
        {{"/s/a.txt"}, "/s/a.txt"},
        {{"/s/a", "/s/b/"}, "/s/a<:>/s/b/"},
        {{"/s/a,b"}, "/s/a,b<:>"},
        {{"/s/a,b/"}, "/s/a,b/<:>"},
        {{","}, ",<:>"},
        {{"/s/a,b", "/s/c"}, "/s/a,b<:>/s/c"},
        {{"/s/x<:>y"}, "/s/x<//:>y"},
        {{"/s/x<:>y", "/s/z"}, "/s/x<//:>y<:>/s/z"},
        {{"<:><:>"}, "<//:><//:>"},
        {{"a<", ":>b"}, "a<<:>:>b"},
        {{"a<:", ">b"}, "a<:<:>>b"},
        {{"/s/a<//b"}, "/s/a<///>b"},
        {{"/s/a<//:>b"}, "/s/a<///>:>b"},
        {{"<//>"}, "<///>>"},
        {{"<///>"}, "<///>/>"},
        {{""}, "<//>"},
        {{"", ""}, "<//><:><//>"},
        {{"/s/a", ""}, "/s/a<:><//>"},
        {{" "}, " "},
        {{" ", "  "}, " <:>  "},
        {{"/s/a\\b"}, "/s/a\\b"},
        {{"/s/line\r\nbreak"}, "/s/line\r\nbreak"},
    };
    for (const auto& [items, text] : cases) {
        EXPECT_EQ(EncodeIncludeList(items), text);
        EXPECT_EQ(DecodeIncludeList(text), items) << text;
    }
}

// Every list of up to two names of up to three characters from the ones that matter, paths or
// not: the table above by exhaustion.
TEST(IncludeListTest, EveryShortListRoundTrips) {
    const std::string alphabet = "<:>/,a";
    std::vector<std::string> names = {""};
    for (std::size_t begin = 0, length = 1; length <= 3; ++length) {
        const std::size_t end = names.size();
        for (std::size_t i = begin; i < end; ++i) {
            for (char c : alphabet) {
                names.push_back(names[i] + c);
            }
        }
        begin = end;
    }
    std::vector<Items> lists = {{}};
    for (const std::string& first : names) {
        lists.push_back({first});
        lists.push_back({"/s/" + first});
        for (const std::string& second : names) {
            lists.push_back({first, second});
        }
    }
    for (const Items& list : lists) {
        const std::string text = EncodeIncludeList(list);
        ASSERT_EQ(DecodeIncludeList(text), list) << text;
    }
}

// An older version splits at "<:>" when the text holds it, else at commas, and stops at the
// first empty item. What it takes from a new list is each item as chosen, or, for an item that
// holds an escape, a path with an empty step ("//"), which names nothing: never another file.
TEST(IncludeListTest, AnOlderVersionTakesNoItemThatWasNotChosen) {
    const auto olderRead = [](const std::string& text) {
        const std::string separator = text.find("<:>") != std::string::npos ? "<:>" : ",";
        Items taken;
        for (const std::string& piece : test::SplitLines(text, separator)) {
            if (piece.empty()) {
                break;
            }
            taken.push_back(piece);
        }
        return taken;
    };
    const std::vector<Items> lists = {
        {"/s/a,b"},        {"/s/a,b/"},          {"/s/x<:>y"},         {"/s/a,b", "/s/x<:>y"},
        {"/s/x<:>/s/a"},   {"/s/a<//b", "/s/c"}, {"/s/a", "", "/s/b"}, {"/s/a,/s/b"},
        {"/s/a", "/s/b/"},
    };
    for (const Items& list : lists) {
        const Items taken = olderRead(EncodeIncludeList(list));
        EXPECT_LE(taken.size(), list.size());
        for (const std::string& item : taken) {
            const bool chosen = std::find(list.begin(), list.end(), item) != list.end();
            EXPECT_TRUE(chosen || item.find("//") != std::string::npos)
                << item << " from " << EncodeIncludeList(list);
        }
    }
}

// What older versions wrote reads as they read it: joined by "<:>" (a comma then belongs to the
// name), or by commas, an empty piece at the end naming nothing. A single name with a comma,
// which an older version wrote as it stands, reads as that name again; only the pieces that
// were no full paths read differently.
TEST(IncludeListTest, ListsOfOlderVersionsReadAsBefore) {
    const std::pair<std::string, Items> cases[] = {
        {"/s/a<:>/s/b/", {"/s/a", "/s/b/"}},
        {"/s/one,two.doc<:>/s/three.doc", {"/s/one,two.doc", "/s/three.doc"}},
        {"/s/three.doc,/s/sub/c.TXT", {"/s/three.doc", "/s/sub/c.TXT"}},
        {"/s/a<:>", {"/s/a"}},
        {"/s/a,", {"/s/a"}},
        {"/s/a, /s/b", {"/s/a", " /s/b"}},
        {"/s/a,b", {"/s/a,b"}},
        {"/s/a,b,/s/c,,d", {"/s/a,b", "/s/c,,d"}},
        {"/s/a<//>b", {"/s/a<//>b"}},
        {"/s/a<//x>", {"/s/a<//x>"}},
        {"/s/x<:> ", {"/s/x", " "}},
    };
    for (const auto& [text, items] : cases) {
        EXPECT_EQ(DecodeIncludeList(text), items) << text;
    }
}

}  // namespace
}  // namespace duvanto
