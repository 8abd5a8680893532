// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/TargetNames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/NameRules.h"

namespace duvanto::test {
namespace {

TEST(TargetNamesTest, FoldCaseJoinsTheCasesOfEachScriptAndKeepsEverythingElse) {
    const std::vector<std::pair<std::string, std::string>> same = {
        {"Photo.JPG", "photo.jpg"}, {"ÄÖÜ ÀÉ Þ", "äöü àé þ"},     {"ĀĂĄ Ĺ Ž Ÿ", "āăą ĺ ž ÿ"},
        {"ΑΒΓ Ά Ώ", "αβγ ά ώ"},     {"ПРИВЕТ Ё Ѣ", "привет ё ѣ"}, {"ԱԲ", "աբ"},
        {"ＡＢ", "ａｂ"},
    };
    for (const auto& [upper, lower] : same) {
        EXPECT_EQ(FoldCase(upper), FoldCase(lower)) << upper;
        EXPECT_EQ(FoldCase(lower), lower) << lower;
    }
    // Apart stay: the multiplication sign and its neighbours, dotted capital I (whose small
    // form depends on the language), digits and marks, and bytes that are no UTF-8.
    for (const std::string name : {"×", "İ", "1-_.~", "\xC3", "a\xFF\xC3(b", "\xE0\x80\x80"}) {
        EXPECT_EQ(FoldCase(name), name) << name;
    }
    EXPECT_NE(FoldCase("×"), FoldCase("÷"));
    EXPECT_EQ(FoldCase("A\xFF"
                       "B"),
              "a\xFF"
              "b");
}

TEST(TargetNamesTest, EachRuleRefusesOnlyTheNamesItConcerns) {
    TargetNameRules plain;
    TargetNameRules fat = RulesOfType("vfat");
    TargetNameRules exfat = RulesOfType("exfat");
    TargetNameRules share = RulesOfType("cifs");
    struct Case {
        std::string name;
        NameRefusal onFat, onExfat, onShare;
    };
    const std::string long255(255, 'x');
    const std::string utf16Of255 = std::string(254, 'y') + "é";  // 256 bytes, 255 units
    const std::vector<Case> cases = {
        {"plain name.txt", NameRefusal::None, NameRefusal::None, NameRefusal::None},
        {"bad:name?.txt", NameRefusal::Character, NameRefusal::Character, NameRefusal::Character},
        {"back\\slash", NameRefusal::Character, NameRefusal::Character, NameRefusal::Character},
        {"tab\there", NameRefusal::Character, NameRefusal::Character, NameRefusal::Character},
        {"pipe|<>\"*", NameRefusal::Character, NameRefusal::Character, NameRefusal::Character},
        {"ends with dot.", NameRefusal::TrailingDotOrBlank, NameRefusal::None,
         NameRefusal::TrailingDotOrBlank},
        {"ends with blank ", NameRefusal::TrailingDotOrBlank, NameRefusal::None,
         NameRefusal::TrailingDotOrBlank},
        {"con.txt", NameRefusal::None, NameRefusal::None, NameRefusal::DeviceName},
        {"LPT9", NameRefusal::None, NameRefusal::None, NameRefusal::DeviceName},
        {"COM0", NameRefusal::None, NameRefusal::None, NameRefusal::None},
        {"console", NameRefusal::None, NameRefusal::None, NameRefusal::None},
        {long255, NameRefusal::None, NameRefusal::None, NameRefusal::None},
        {long255 + "x", NameRefusal::TooLong, NameRefusal::TooLong, NameRefusal::TooLong},
        {utf16Of255, NameRefusal::None, NameRefusal::None, NameRefusal::None},
        // A character beyond the first plane takes two units.
        {std::string(254, 'z') + "\xF0\x9F\x98\x80", NameRefusal::TooLong, NameRefusal::TooLong,
         NameRefusal::TooLong},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RefusalOf(c.name, plain), NameRefusal::None) << c.name;
        EXPECT_EQ(RefusalOf(c.name, fat), c.onFat) << c.name;
        EXPECT_EQ(RefusalOf(c.name, exfat), c.onExfat) << c.name;
        EXPECT_EQ(RefusalOf(c.name, share), c.onShare) << c.name;
    }
    TargetNameRules bytes;
    bytes.maxNameLength = 255;
    EXPECT_EQ(RefusalOf(utf16Of255, bytes), NameRefusal::TooLong);
    // Where names are UTF-16, bytes that are no UTF-8 have no name; elsewhere they are bytes.
    for (const std::string name : {"bad\xff.txt", "cut\xc3", "\xed\xa0\x80surrogate"}) {
        EXPECT_EQ(RefusalOf(name, exfat), NameRefusal::Encoding) << name;
        EXPECT_EQ(RefusalOf(name, plain), NameRefusal::None) << name;
        EXPECT_EQ(RefusalOf(name, bytes), NameRefusal::None) << name;
    }
    EXPECT_EQ(RefusalText(NameRefusal::Encoding, "bad\xff", 0),
              "the Target's file system cannot hold this name (it is no UTF-8 text)");
}

TEST(TargetNamesTest, RefusalsSayWhatTheNameHasThatTheTargetCannotHold) {
    EXPECT_EQ(RefusalText(NameRefusal::Character, "bad:name?.txt", 0),
              "the Target's file system cannot hold this name (it has : ?)");
    EXPECT_EQ(RefusalText(NameRefusal::Character,
                          "a\x01"
                          "b",
                          0),
              "the Target's file system cannot hold this name (it has control characters)");
    EXPECT_EQ(RefusalText(NameRefusal::Character, "a*\nb", 0),
              "the Target's file system cannot hold this name (it has * or control characters)");
    EXPECT_EQ(RefusalText(NameRefusal::TooLong, "x", 255),
              "the Target's file system cannot hold this name (it is longer than 255 "
              "characters)");
    EXPECT_EQ(CaseCollisionText("a.txt", "A.txt"),
              "a.txt and A.txt differ only in letter case; the Target folder cannot hold both");
}

TEST(TargetNamesTest, OfNamesThatFoldToOneTheFirstInByteOrderIsKept) {
    std::vector<DirEntry> listing(6);
    const char* names[] = {"b.txt", "a.txt", "B.TXT", "A.txt", "bad:x", "B.txt"};
    std::vector<const DirEntry*> entries;
    for (std::size_t i = 0; i < listing.size(); ++i) {
        listing[i].name = names[i];
        entries.push_back(&listing[i]);
    }
    const std::vector<Inadmissible> found = FindInadmissible(entries, RulesOfType("exfat"));
    std::vector<std::string> lines;
    for (const Inadmissible& item : found) {
        lines.push_back(item.entry->name + (item.kept != nullptr ? " for " + item.kept->name : "") +
                        (item.refusal == NameRefusal::Character ? " refused" : ""));
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"B.txt for B.TXT", "a.txt for A.txt",
                                               "b.txt for B.TXT", "bad:x refused"}));

    // Where case counts, only refused names are out.
    TargetNameRules caseKept = RulesOfType("exfat");
    caseKept.foldsCase = false;
    ASSERT_EQ(FindInadmissible(entries, caseKept).size(), 1u);

    const NameLookup lookup(listing, true);
    EXPECT_EQ(lookup.Find("A.TXT")->name, "A.txt");
    EXPECT_EQ(lookup.Find("a.txt")->name, "a.txt");  // its own name first
    EXPECT_EQ(lookup.Find("b.TXT")->name, "B.TXT");
    EXPECT_EQ(lookup.Find("c.txt"), nullptr);
    EXPECT_EQ(NameLookup(listing, false).Find("A.TXT"), nullptr);
}

DirEntry Entry(const std::string& name, EntryKind kind) {
    DirEntry entry;
    entry.name = name;
    entry.kind = kind;
    return entry;
}

bool OnlyFolders(const DirEntry& entry) {
    return entry.kind == EntryKind::Folder;
}

TEST(TargetNamesTest, PositionalLookupFindsWhatTheFullLookupFindsWhereverTheNameStands) {
    const std::vector<DirEntry> listing = {
        Entry("A.txt", EntryKind::File), Entry("a.txt", EntryKind::File),
        Entry("Docs", EntryKind::Folder), Entry("B.TXT", EntryKind::File),
        Entry("docs", EntryKind::File)};
    const std::vector<std::string> asked = {"A.TXT", "a.txt", "b.TXT", "c.txt", "Docs",
                                            "DOCS",  "docs",  "B.TXT", "A.txt"};
    for (const bool fold : {false, true}) {
        const NameLookup full(listing, fold);
        // Every name at every position: a right guess, a wrong one, one past the listing.
        for (std::size_t position = 0; position <= listing.size(); ++position) {
            PositionalLookup positional(listing, fold);
            for (const std::string& name : asked) {
                EXPECT_EQ(positional.Find(name, position), full.Find(name))
                    << name << " at " << position << (fold ? ", folding" : "");
            }
        }
    }
}

TEST(TargetNamesTest, PositionalLookupLeavesOutWhatItDoesNotKeepEvenAtTheRightPlace) {
    const std::vector<DirEntry> listing = {Entry("docs", EntryKind::File),
                                           Entry("Docs", EntryKind::Folder),
                                           Entry("old", EntryKind::Folder)};
    PositionalLookup folders(listing, true, OnlyFolders);
    // The file of the very name is passed over for the folder that folds like it.
    EXPECT_EQ(folders.Find("docs", 0), &listing[1]);
    EXPECT_EQ(folders.Find("old", 2), &listing[2]);
    EXPECT_EQ(folders.Find("OLD", 2), &listing[2]);
    PositionalLookup exact(listing, false, OnlyFolders);
    EXPECT_EQ(exact.Find("docs", 0), nullptr);
    EXPECT_EQ(exact.Find("Docs", 0), &listing[1]);
}

}  // namespace
}  // namespace duvanto::test
