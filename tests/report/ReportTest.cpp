// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PosixFileSystem.h"
#include "report/Report.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/NameRules.h"
#include "report/ReportPictures.h"
#include "support/FaultyFileSystem.h"
#include "support/RecordingStatusHost.h"
#include "support/ScopedLocale.h"
#include "support/TestSupport.h"
#include "tasks/Trees.h"
#include "util/PathStrings.h"

namespace duvanto::test {
namespace {

using ::testing::HasSubstr;

namespace fs = std::filesystem;
using List = std::vector<std::string>;

// 4 December 2003 16:38:16 local time.
constexpr double kNow = 37959.6932407407;
constexpr int64_t kTime = 1'000'000'000;

// Records what it was asked to open and what the file held at that moment.
class RecordingBrowser : public IBrowserHost {
public:
    OpenResult OpenFile(const std::string& fileSpec) override {
        opened.push_back(fileSpec);
        contentWhenOpened = ReadFile(fileSpec);
        return answer;
    }

    OpenResult answer = OpenResult::Opened;
    List opened;
    std::string contentWhenOpened;
};

// Records each message with the status text that was showing when it came.
class StatusAtMessages : public RecordingPrompt {
public:
    explicit StatusAtMessages(const RecordingStatusHost& host) : m_host(host) {}
    MessageAnswer ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                              MessageButtons buttons) override {
        statusWhenShown.push_back(m_host.texts.empty() ? "" : m_host.texts.back());
        return RecordingPrompt::ShowMessage(title, text, icon, buttons);
    }
    std::vector<std::string> statusWhenShown;

private:
    const RecordingStatusHost& m_host;
};

std::size_t CountOf(const std::string& text, const std::string& piece) {
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos;
         at = text.find(piece, at + piece.size())) {
        ++count;
    }
    return count;
}

const std::string kFooter =
    "<p><table CELLPADDING=7 COLS=1 WIDTH=\"100%\" BGCOLOR=\"#FFFFCC\" ><tr><td>All differences "
    "shown are from the perspective of the Source Folder.<br>Folders and files which have been "
    "<i>added to</i>, <i>deleted from</i>, or <i>changed in</i> the Source Folder are listed "
    "above.</td></tr></table></body></html>";

// The golden page, with line breaks between its parts for reading (the page itself has none).
std::string GoldenPage() {
    const std::string golden = DUVANTO_TEST_SOURCE_DIR "/report/GoldenReport.html";
    EXPECT_TRUE(fs::exists(golden)) << golden;
    std::string text = ReadFile(golden);
    std::erase(text, '\n');
    return text;
}

class ReportTest : public ::testing::Test {
protected:
    ReportTest() {
        fs::create_directories(source);
        fs::create_directories(target);
        fs::create_directories(app);
        fs::create_directories(temp / "out");
    }

    // A file with content and a fixed modification time.
    static void File(const std::string& path, const std::string& content = "x",
                     int64_t mtime = kTime) {
        WriteFile(path, content);
        SetModificationTime(path, mtime);
    }

    std::string Create(bool subfolders = true) {
        return CreateHTMLReportOfFolderDiffs(services, source, target, subfolders, page);
    }

    FolderDiffResults Compare(bool subfolders = true) {
        FolderDiffResults results;
        CompareFoldersAndFillResultTypeArrays(services, fileSystem, source, target, subfolders,
                                              results);
        return results;
    }

    // The page with its time stamp masked and the temporary folder written as "~/".
    std::string Masked(const std::string& html) const {
        static const std::regex stamp(
            "<div align=right><font color=\"#666600\"><font "
            "size=-1>[^<]*</font>");
        std::string masked = std::regex_replace(
            html, stamp, "<div align=right><font color=\"#666600\"><font size=-1>@TIME@</font>",
            std::regex_constants::format_first_only);
        return ReplaceString(masked, temp.Path(), "~/");
    }

    std::string FileLine(const std::string& entry) const {
        return "<dd><img SRC=\"" + app + "rpt_file.jpg\" HSPACE=8 height=12 width=10>" + entry +
               "</dd>";
    }
    std::string FolderLine(const std::string& entry) const {
        return "<dd><img SRC=\"" + app + "rpt_folder.jpg\" HSPACE=5 height=16 width=16>" + entry +
               "</dd>";
    }

    TempDir temp;
    std::string source = temp / "S/";
    std::string target = temp / "T/";
    std::string app = temp / "App/";
    std::string page = temp / "out/report.html";
    RecordingPrompt prompt;
    FixedClock clock{kNow};
    FaultyFileSystem fileSystem{TrashInside(temp.Path())};
    ErrorReporter reporter{app, prompt, clock, fileSystem};
    CloneSettings compare;
    RecordingStatusHost host;
    RecordingBrowser browser;
    ReportServices services{fileSystem, compare, host, reporter, prompt, clock, browser, app};
};

// Every section, a subtree on each side, a file whose name ends in two dots (shown as a folder),
// and names and a picture folder that need escaping. Listings are sorted to fix the order.
TEST_F(ReportTest, ThePageMatchesTheGoldenPage) {
    app = temp / "App & \"#1\" 100%?/";
    fs::create_directories(app);
    services.appPath = app;
    fileSystem.SortListings(true);
    File(source + "Both/c.txt", "x", kTime + 60);
    File(target + "Both/c.txt", "x", kTime);
    File(source + "Both/say \"hi\".txt");
    // "/" cannot be part of a name: this is a folder "<b>x<" holding "b>&.txt".
    File(source + "Both/<b>x</b>&.txt");
    File(source + std::string("Both/line\nbreak\r\x01\x7f.txt"));
    File(source + "New/Inner/e.txt");
    File(source + "odd..");
    File(target + "Gone/Deep/y.txt");
    File(target + "gone.txt");
    for (const std::string& side : {source, target}) {
        File(side + "same.txt", "same");
        fs::create_directories(side + "Both/empty");
    }
    EXPECT_EQ(Create(), page);
    const std::string html = ReadFile(page);
    EXPECT_EQ(Masked(html), GoldenPage());
    EXPECT_TRUE(prompt.shown.empty());
    ASSERT_EQ(browser.opened, List{page});
    EXPECT_EQ(browser.contentWhenOpened, html) << "the page is whole before it is opened";
    // Only the page itself is left in its folder: no piece or temporary file stays behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(temp / "out"), fs::directory_iterator()), 1);
    EXPECT_TRUE(fs::exists(app + "rpt_file.jpg")) << "the pictures go to the folder itself";
}

// On a Target that folds case and refuses names (a USB stick's), a name differing in case alone
// is no deletion and addition, and what the stick cannot hold is never counted as missing there.
TEST_F(ReportTest, OnAStickRenamesAndNamesItCannotHoldHaveListsOfTheirOwn) {
    fileSystem.InjectNameRules(RulesOfType("exfat"));
    fileSystem.SortListings(true);
    File(source + "photo.jpg", "p");
    File(target + "Photo.JPG", "p");
    File(source + "Docs/new.txt");
    fs::create_directories(target + "DOCS");
    File(source + "a.txt", "small");
    File(source + "A.txt", "CAPITAL");
    File(target + "A.txt", "CAPITAL");
    File(source + "bad:name?.txt");
    Create();
    const std::string html = ReadFile(page);
    const auto noted = [&](const std::string& line, const std::string& note) {
        return line.substr(0, line.size() - 5) + " &nbsp;<i><font size=-1>" + note +
               "</font></i></dd>";
    };
    EXPECT_THAT(html, HasSubstr("#renamed\">Renamed:</a>    </font></b><br>2"));
    EXPECT_THAT(html, HasSubstr("#refused\">Cannot Be Held:</a>    </font></b><br>2"));
    EXPECT_THAT(html, HasSubstr(noted(FolderLine(source + "Docs/.."), "in the Target: DOCS") +
                                noted(FileLine(source + "photo.jpg"), "in the Target: Photo.JPG")));
    EXPECT_THAT(html, HasSubstr(noted(FileLine(source + "a.txt"),
                                      "a.txt and A.txt differ only in letter case; the Target "
                                      "folder cannot hold both") +
                                noted(FileLine(source + "bad:name?.txt"),
                                      "the Target's file system cannot hold this name (it "
                                      "has : ?)")));
    // Inside the folder of another case the walk goes on: its new file is added.
    EXPECT_THAT(html, HasSubstr("Added:</a>    </font></b><br>1"));
    EXPECT_THAT(html, HasSubstr(FileLine(source + "Docs/new.txt")));
    EXPECT_THAT(html, HasSubstr("Deleted:</font></b><br>0"));
    EXPECT_THAT(html, HasSubstr("Changed:</font></b><br>0"));
}

TEST_F(ReportTest, WithoutSubfoldersOnlyTheTopFolderIsCompared) {
    File(source + "a.txt");
    File(source + "OnlyS/n.txt");
    File(target + "OnlyT/o.txt");
    File(source + "Both/c.txt", "x", kTime);
    File(target + "Both/c.txt", "x", kTime + 60);
    File(source + "same.txt");
    File(target + "same.txt");
    Create(false);
    const std::string html = ReadFile(page);
    EXPECT_EQ(CountOf(html, "<dd><img"), 1u);
    EXPECT_NE(html.find(FileLine(source + "a.txt")), std::string::npos);
    EXPECT_NE(html.find("Added:</a>    </font></b><br>1</dl>"), std::string::npos);
}

TEST_F(ReportTest, ChangedFollowsTheCurrentComparisonMethod) {
    File(source + "sameSizeNewer.txt", "abcd", kTime + 100);
    File(target + "sameSizeNewer.txt", "wxyz", kTime);
    File(source + "longer.txt", "abcde", kTime);
    File(target + "longer.txt", "abcd", kTime);
    File(source + "twoSecondsApart.txt", "same", kTime + 2);
    File(target + "twoSecondsApart.txt", "same", kTime);
    auto changed = [&](CompareMethodType method, bool twoSec) {
        compare.CompareMethod = method;
        compare.IgnoreFAT_NTFS_TwoSecDiff = twoSec;
        std::vector<std::string> items = Compare().Changed.Items();
        std::sort(items.begin(), items.end());
        return items;
    };
    const std::string a = source + "longer.txt";
    const std::string b = source + "sameSizeNewer.txt";
    const std::string c = source + "twoSecondsApart.txt";
    // A file of another size is never the same, whatever the method.
    EXPECT_EQ(changed(CompareMethodType::DateTime, true), (List{a, b}));
    EXPECT_EQ(changed(CompareMethodType::DateTime, false), (List{a, b, c}));
    EXPECT_EQ(changed(CompareMethodType::Size, false), (List{a}));
    EXPECT_EQ(changed(CompareMethodType::Contents, false), (List{a, b}));
    EXPECT_EQ(changed(CompareMethodType::CRC32, false), (List{a, b}));
}

TEST_F(ReportTest, LinksAreComparedAsLinksAndSpecialFilesIgnored) {
    auto link = [](const std::string& text, const std::string& path, int64_t mtime) {
        ASSERT_EQ(symlink(text.c_str(), path.c_str()), 0);
        struct timespec times[2] = {{mtime, 0}, {mtime, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
    };
    link("to/here", source + "sameLink", kTime);
    link("to/here", target + "sameLink", kTime);
    link("to/here", source + "otherText", kTime);
    link("to/there", target + "otherText", kTime);
    link("to/here", source + "newerLink", kTime + 100);
    link("to/here", target + "newerLink", kTime);
    link("a.txt", source + "linkOrFile", kTime);
    File(target + "linkOrFile");
    // A link to a folder is not a folder: nothing below it is looked at.
    File(temp / "elsewhere/inside.txt");
    link(temp / "elsewhere", source + "folderLink", kTime);
    ASSERT_EQ(mkfifo((source + "pipe").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((target + "otherPipe").c_str(), 0600), 0);
    auto sortedChanged = [&](CompareMethodType method) {
        compare.CompareMethod = method;
        FolderDiffResults results = Compare();
        EXPECT_EQ(results.Added.Items(), List{source + "folderLink"});
        EXPECT_EQ(results.Deleted.Count(), 0u);
        std::vector<std::string> changed = results.Changed.Items();
        std::sort(changed.begin(), changed.end());
        return changed;
    };
    EXPECT_EQ(sortedChanged(CompareMethodType::DateTime),
              (List{source + "linkOrFile", source + "newerLink", source + "otherText"}));
    EXPECT_EQ(sortedChanged(CompareMethodType::Size),
              (List{source + "linkOrFile", source + "otherText"}));
}

TEST_F(ReportTest, ASourceFolderGivenAsALinkIsFollowedOnceAndNamedAsGiven) {
    File(temp / "real/a.txt");
    File(temp / "real/Sub/b.txt");
    ASSERT_EQ(symlink((temp / "real").c_str(), (temp / "linked").c_str()), 0);
    source = temp / "linked/";
    Create();
    const std::string html = ReadFile(page);
    EXPECT_NE(html.find("<b>Source Folder:</b> " + source + "</dd>"), std::string::npos);
    EXPECT_NE(html.find(FileLine(source + "a.txt")), std::string::npos);
    EXPECT_NE(html.find(FolderLine(source + "Sub/..")), std::string::npos);
    EXPECT_NE(html.find(FileLine(source + "Sub/b.txt")), std::string::npos);
    EXPECT_NE(html.find("<br>3</dl>"), std::string::npos);
}

TEST_F(ReportTest, AFileAndAFolderOfOneNameAreOneDeletedAndOneAdded) {
    File(target + "X");
    File(source + "X/inside.txt");
    const FolderDiffResults results = Compare();
    EXPECT_EQ(results.Deleted.Items(), List{source + "X"});
    EXPECT_EQ(results.Added.Items(), (List{source + "X/..", source + "X/inside.txt"}));
    EXPECT_EQ(results.Changed.Count(), 0u);
}

TEST_F(ReportTest, MoreThanThirtyTwoThousandEntriesAreAllReported) {
    constexpr int kFiles = 32'005;
    std::set<std::string> created;
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = "f" + std::to_string(i);
        std::ofstream(source + name).put('x');
        created.insert(source + name);
    }
    EXPECT_EQ(Create(), page);
    const std::string html = ReadFile(page);
    EXPECT_EQ(CountOf(html, "Added:</a>    </font></b><br>32005</dl>"), 1u);
    ASSERT_TRUE(html.ends_with(kFooter));
    EXPECT_EQ(CountOf(html, "</dd><dd><img SRC=\"" + app + "rpt_file.jpg\""),
              static_cast<std::size_t>(kFiles - 1));
    EXPECT_EQ(CountOf(html, "Added To Source"), 1u);
    EXPECT_EQ(CountOf(html, "Deleted From Source"), 0u);
    EXPECT_EQ(CountOf(html, "Changed In Source"), 0u);
    // Every file once: the page is written out in pieces, and none may be lost or repeated.
    std::set<std::string> listed;
    const std::string opening = " HSPACE=8 height=12 width=10>";
    for (std::size_t at = html.find(opening); at != std::string::npos;
         at = html.find(opening, at)) {
        at += opening.size();
        const std::size_t end = html.find("</dd>", at);
        ASSERT_NE(end, std::string::npos);
        EXPECT_TRUE(listed.insert(html.substr(at, end - at)).second);
    }
    EXPECT_EQ(listed, created);
    EXPECT_EQ(browser.contentWhenOpened, html);
    EXPECT_GE(host.pumps, 2L * kFiles) << "each entry yields when compared and when written";
}

// Without an output path each report is a new page in the runtime folder, else in the
// temporary folder; it lists the user's files, so other local users must not read it.
TEST_F(ReportTest, WithoutAnOutputPathThePageIsANewPrivateRptFile) {
    const std::string run = temp / "run/";
    const std::string tmp = temp / "tmp/";
    fs::create_directories(run);
    fs::create_directories(tmp);
    ScopedEnv tmpdir("TMPDIR", tmp);
    File(source + "a.txt");
    const mode_t oldMask = umask(022);
    std::vector<std::string> pages;
    for (const std::string& runtime : {run, std::string(), std::string()}) {
        ScopedEnv variable("XDG_RUNTIME_DIR", runtime);
        pages.push_back(CreateHTMLReportOfFolderDiffs(services, source, target, true));
    }
    umask(oldMask);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const std::string& folder = i == 0 ? run : tmp;
        ASSERT_TRUE(pages[i].starts_with(folder + "rpt")) << pages[i];
        EXPECT_TRUE(pages[i].ends_with(".html")) << pages[i];
        EXPECT_EQ(pages[i].find('/', folder.size()), std::string::npos);
        struct stat info {};
        ASSERT_EQ(stat(pages[i].c_str(), &info), 0) << pages[i];
        EXPECT_EQ(info.st_mode & 0777, 0600u) << pages[i];
        EXPECT_TRUE(ReadFile(pages[i]).ends_with(kFooter));
    }
    EXPECT_NE(pages[1], pages[2]);
    EXPECT_EQ(browser.opened, pages);
    EXPECT_EQ(FolderNames(tmp).size(), 2u);
}

// A browser takes an image by its bytes, a file manager or a mail program by its name: the
// ".jpg" pictures are JPEG files (that they read back as drawn is PicturesTest's).
TEST_F(ReportTest, PicturesAreWrittenOnceAndNeverOverwritten) {
    Create();
    const std::vector<std::string> names = {"rpt_folders_sheep.jpg", "rpt_file.jpg",
                                            "rpt_folder.jpg"};
    std::vector<std::string> firstBytes;
    for (const std::string& name : names) {
        firstBytes.push_back(ReadFile(app + name));
        EXPECT_EQ(firstBytes.back(), ReportPictureBytes(name)) << name;
        EXPECT_TRUE(firstBytes.back().starts_with(std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11)));
        EXPECT_TRUE(firstBytes.back().ends_with("\xFF\xD9")) << name;
    }
    WriteFile(app + "rpt_file.jpg", "the user's own picture");
    fs::remove(app + "rpt_folder.jpg");
    SetModificationTime(app + "rpt_folders_sheep.jpg", kTime);
    Create();
    EXPECT_EQ(ReadFile(app + "rpt_file.jpg"), "the user's own picture");
    EXPECT_EQ(ReadFile(app + "rpt_folder.jpg"), firstBytes[2]) << "a missing one comes back";
    struct stat banner {};
    ASSERT_EQ(stat((app + "rpt_folders_sheep.jpg").c_str(), &banner), 0);
    EXPECT_EQ(banner.st_mtim.tv_sec, kTime) << "an existing picture is not even rewritten";
    EXPECT_TRUE(prompt.shown.empty());
}

// Earlier versions wrote PNG bytes under the ".jpg" names. Exactly those files are the
// program's own and become JPEG files; any other PNG there is a user's and stays.
TEST_F(ReportTest, AnEarlierVersionsPngPictureBecomesTheJpeg) {
    const std::string earlierFolder(
        "\x89\x50\x4E\x47\x0D\x0A\x1A\x0A\x00\x00\x00\x0D\x49\x48\x44\x52\x00\x00\x00\x10"
        "\x00\x00\x00\x10\x08\x03\x00\x00\x00\x28\x2D\x0F\x53\x00\x00\x00\x18\x50\x4C\x54"
        "\x45\x00\x00\x00\x20\x20\x20\xFF\xFF\xFF\x9A\x9A\x9A\xFF\xD8\x4D\xFF\xE9\x96\xB8"
        "\x86\x0B\x4A\x6F\xC4\xA0\x48\x97\xB9\x00\x00\x00\x08\x74\x52\x4E\x53\x00\xFF\xFF"
        "\xFF\xFF\xFF\xFF\xFF\xD5\xCA\x54\x32\x00\x00\x00\x2D\x49\x44\x41\x54\x78\xDA\xBD"
        "\xCF\xA1\x01\x00\x20\x0C\x03\xC1\x8A\x70\xFB\x8F\x8C\x6D\x51\x55\x9C\xCB\xBB\xD4"
        "\x02\xE8\x3B\x49\xE2\x0D\x01\xA8\x72\x06\xE5\xA4\xFB\x16\xA6\xC5\xD7\x0B\x8C\x2D"
        "\x03\x1C\x64\x5D\xA4\x97\x00\x00\x00\x00\x49\x45\x4E\x44\xAE\x42\x60\x82",
        158);
    WriteFile(app + "rpt_folder.jpg", earlierFolder);
    std::string usersOwn = earlierFolder;
    usersOwn[100] = static_cast<char>(usersOwn[100] ^ 1);
    WriteFile(app + "rpt_file.jpg", usersOwn);
    Create();
    EXPECT_EQ(ReadFile(app + "rpt_folder.jpg"), ReportPictureBytes("rpt_folder.jpg"));
    EXPECT_EQ(ReadFile(app + "rpt_file.jpg"), usersOwn);
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(ReportTest, TheCommandRefusesAFolderThatFailsItsCheckAndShowsItsStatus) {
    struct Case {
        std::string source, target, text;
    };
    const std::vector<Case> cases = {
        {temp / "missing/", target, "Problems processing the Source folder."},
        {source, temp / "missing/", "Problems processing the Target folder."},
        {"S", target, "Problems processing the Source folder."},
        // One refusal is enough: the Target is not looked at once the Source failed.
        {temp / "missing/", temp / "gone/", "Problems processing the Source folder."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source + " " + c.target);
        prompt.shown.clear();
        host.texts.clear();
        EXPECT_EQ(ReportFolderDifferences(services, c.source, c.target, true, page), "");
        ASSERT_EQ(prompt.shown.size(), 1u);
        EXPECT_EQ(prompt.shown[0].title, "Create Report");
        EXPECT_EQ(prompt.shown[0].text, c.text);
        EXPECT_EQ(prompt.shown[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(prompt.shown[0].buttons, MessageButtons::OK);
        EXPECT_EQ(host.texts, (List{"1:Creating Report...", "1:"}));
        EXPECT_FALSE(fs::exists(page));
        EXPECT_FALSE(fs::exists(app + "rpt_file.jpg"));
        EXPECT_TRUE(browser.opened.empty());
    }
    // The good folders: a written and opened page (its status texts are those of the page a
    // browser cannot open, below).
    prompt.shown.clear();
    File(source + "a.txt");
    EXPECT_EQ(ReportFolderDifferences(services, source, target, true, page), page);
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ(browser.opened, List{page});
    EXPECT_NE(ReadFile(page).find(FileLine(source + "a.txt")), std::string::npos);
}

// The page is there even when no browser shows it: the user is told where, and by then the
// status bar no longer says that the report is being made.
TEST_F(ReportTest, TheUserIsToldWhereThePageIsWhenItCannotBeOpened) {
    const std::string notOpened = "Web Page not opened\r\n\r\nThe report was saved as\r\n" + page +
                                  "\r\nOpen that file with a web browser to read it.";
    StatusAtMessages told(host);
    ReportServices telling{fileSystem, compare, host, reporter, told, clock, browser, app};
    browser.answer = IBrowserHost::OpenResult::NoProgram;
    EXPECT_EQ(ReportFolderDifferences(telling, source, target, true, page), page)
        << "the page is written all the same";
    ASSERT_EQ(told.shown.size(), 2u);
    EXPECT_EQ(told.shown[0].title, "Duvanto");
    EXPECT_EQ(told.shown[0].text, "Could not find a browser");
    EXPECT_EQ(told.shown[1].title, "Duvanto");
    EXPECT_EQ(told.shown[1].text, notOpened);
    EXPECT_EQ(told.statusWhenShown, (List{"1:", "1:"}));
    EXPECT_EQ(host.texts, (List{"1:Creating Report...", "1:"}));
    prompt.shown.clear();
    browser.answer = IBrowserHost::OpenResult::Failed;
    EXPECT_FALSE(ShowHTMLFileInBrowser(page, browser, prompt, reporter));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, notOpened);
    prompt.shown.clear();
    browser.answer = IBrowserHost::OpenResult::Opened;
    EXPECT_TRUE(ShowHTMLFileInBrowser(page, browser, prompt, reporter));
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(ReportTest, APageThatCannotBeWrittenIsReportedAndNotOpened) {
    page = temp / "no such folder/report.html";
    EXPECT_EQ(Create(), "");
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title,
              "Unexpected Error in modFolderCompare.CreateHTMLReportOfFolderDiffs");
    EXPECT_TRUE(browser.opened.empty());
    EXPECT_FALSE(fs::exists(temp / "no such folder"));
}

// The page's last step, its rename over the path, fails: the old page stays whole and the
// unfinished one goes.
TEST_F(ReportTest, APageThatCannotTakeItsNameLeavesTheOldPage) {
    WriteFile(page, "an older report");
    File(source + "a.txt");
    fileSystem.Fail(FsOp::Rename, page, ENOSPC);
    EXPECT_EQ(Create(), "");
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title,
              "Unexpected Error in modFolderCompare.CreateHTMLReportOfFolderDiffs");
    EXPECT_NE(prompt.shown[0].text.find("Error: Disk full\r\n"), std::string::npos)
        << prompt.shown[0].text;
    EXPECT_TRUE(browser.opened.empty());
    EXPECT_EQ(ReadTree(temp / "out/"), Tree{"report.html=an older report"});
}

TEST_F(ReportTest, AFailureInsideTheWalkEndsOnlyThatFolderPair) {
    File(source + "top.txt");
    File(source + "Broken/lost.txt");
    fs::create_directories(target + "Broken");
    File(target + "Gone/Deeper/x.txt");
    File(target + "Gone/y.txt");
    fileSystem.Throw(FsOp::List, source + "Broken/");
    fileSystem.Fail(FsOp::List, target + "Gone/Deeper/", EACCES);
    FolderDiffResults results;
    CompareFoldersAndFillResultTypeArrays(services, fileSystem, source, target, true, results);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title,
              "Unexpected Error in modCompare.CompareFoldersAndFillResultTypeArrays");
    EXPECT_EQ(results.Added.Items(), List{source + "top.txt"});
    // A folder that cannot be listed still has its own entry, but nothing below it.
    std::vector<std::string> deleted = results.Deleted.Items();
    std::sort(deleted.begin(), deleted.end());
    EXPECT_EQ(deleted,
              (List{source + "Gone/..", source + "Gone/Deeper/..", source + "Gone/y.txt"}));
}

TEST_F(ReportTest, AFailureInsideACollectorIsReportedUnderItsOwnLabel) {
    File(target + "Gone/x.txt");
    File(source + "New/y.txt");
    fileSystem.Throw(FsOp::List, target + "Gone/");
    FolderDiffList deleted;
    AddFolderAndContentsToDeletedItemsArray(services, fileSystem, source + "Gone/",
                                            target + "Gone/", deleted);
    EXPECT_EQ(deleted.Items(), List{source + "Gone/.."});
    fileSystem.ClearFaults();
    fileSystem.Throw(FsOp::List, source + "New/");
    FolderDiffList added;
    AddFolderAndContentsToAddedItemsArray(services, fileSystem, source + "New/", added);
    EXPECT_EQ(added.Items(), List{source + "New/.."});
    ASSERT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown[0].title,
              "Unexpected Error in modCompare.AddFolderAndContentsToDeletedItemsArray");
    EXPECT_EQ(prompt.shown[1].title,
              "Unexpected Error in modCompare.AddFolderAndContentsToAddedItemsArray");
}

TEST_F(ReportTest, AnUnlistableFolderContributesNothingToThePage) {
    File(source + "a.txt");
    fileSystem.Fail(FsOp::List, target, EACCES);
    EXPECT_EQ(Create(), page);
    EXPECT_TRUE(prompt.shown.empty());
    const std::string html = ReadFile(page);
    EXPECT_NE(html.find("Added:</font></b><br>0</dl>"), std::string::npos);
    EXPECT_EQ(CountOf(html, "<dd><img"), 0u);
}

TEST_F(ReportTest, AFolderThatCannotBeHeldGivesNoReport) {
    // Gone between its check and the report: without the held roots nothing is compared.
    File(target + "a.txt");
    fs::remove_all(source);
    EXPECT_EQ(Create(), "");
    EXPECT_FALSE(fs::exists(page));
    EXPECT_TRUE(browser.opened.empty());
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "Problems processing the Source folder.");
}

}  // namespace
}  // namespace duvanto::test
