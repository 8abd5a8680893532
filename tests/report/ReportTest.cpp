#include "platform/PosixFileSystem.h"
#include "report/Report.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <libdeflate.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "report/ReportPictures.h"
#include "support/ScopedLocale.h"
#include "support/TestSupport.h"

namespace duvanto {
namespace {

namespace fs = std::filesystem;
using test::FixedClock;
using test::ReadFile;
using test::RecordingPrompt;
using test::ScopedTimeLocale;
using test::SetModificationTime;
using test::TempDir;
using test::WriteFile;

// 4 December 2003 16:38:16 local time, and how the C locale writes it.
constexpr double kNow = 37959.6932407407;
constexpr char kStamp[] = "12/4/2003 4:38:16 PM";
constexpr int64_t kTime = 1'000'000'000;

class RecordingStatusHost : public IStatusHost {
public:
    void SetStatusText(int panel, const std::string& text) override {
        texts.push_back(std::to_string(panel) + ":" + text);
    }
    void Pump() override { ++pumps; }

    std::vector<std::string> texts;
    long pumps = 0;
};

// Records what it was asked to open and what the file held at that moment.
class RecordingBrowser : public IBrowserHost {
public:
    OpenResult OpenFile(const std::string& fileSpec) override {
        opened.push_back(fileSpec);
        contentWhenOpened = ReadFile(fileSpec);
        return answer;
    }

    OpenResult answer = OpenResult::Opened;
    std::vector<std::string> opened;
    std::string contentWhenOpened;
};

// The real file system, except that listing one chosen folder throws or fails.
class FaultyFileSystem : public PosixFileSystem {
public:
    Result<std::vector<DirEntry>> ListFolder(const std::string& folderPath,
                                             bool withStatus) override {
        if (folderPath == throwFor) {
            throw std::runtime_error("listing went wrong");
        }
        if (folderPath == failFor) {
            return Status::FromErrno(EACCES);
        }
        return PosixFileSystem::ListFolder(folderPath, withStatus);
    }

    std::string throwFor;
    std::string failFor;
};

class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        if (m_old) {
            setenv(m_name, m_old->c_str(), 1);
        } else {
            unsetenv(m_name);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

std::size_t CountOf(const std::string& text, const std::string& piece) {
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos;
         at = text.find(piece, at + piece.size())) {
        ++count;
    }
    return count;
}

// The fixed parts of every page, written out as the reader's browser receives them.
const std::string kFooter =
    "<p><table CELLPADDING=7 COLS=1 WIDTH=\"100%\" BGCOLOR=\"#FFFFCC\" ><tr><td>All differences "
    "shown are from the perspective of the Source Folder.<br>Folders and files which have been "
    "<i>added to</i>, <i>deleted from</i>, or <i>changed in</i> the Source Folder are listed "
    "above.</td></tr></table></body></html>";
const std::string kTableStart =
    "<dl><b>Summary:</b></dl><table BORDER CELLPADDING=3 WIDTH=\"33%\" HEIGHT=\"43\" "
    "BGCOLOR=\"#FFFFCC\" ><tr VALIGN=TOP><td><dl><b><font size=-1>";

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
        CompareFoldersAndFillResultTypeArrays(services, source, target, subfolders, results);
        return results;
    }

    std::string Head() const {
        return std::string("<html><body><div align=right><font color=\"#666600\"><font size=-1>") +
               kStamp + "</font></font></div><h1><img SRC=\"" + app +
               "rpt_folders_sheep.jpg\"  HSPACE=2 BORDER=0 height=102 width=113 "
               "align=CENTER>Folder Differences Report</h1><dl><dd><b>Source Folder:</b> " +
               source + "</dd><dd><b>Target Folder:</b> " + target +
               "</dd><br>&nbsp;<dd><b></b></dd>";
    }
    std::string FileLine(const std::string& entry) const {
        return "<dd><img SRC=\"" + app + "rpt_file.jpg\" HSPACE=8 height=12 width=10>" + entry +
               "</dd>";
    }
    std::string FolderLine(const std::string& entry) const {
        return "<dd><img SRC=\"" + app + "rpt_folder.jpg\" HSPACE=5 height=16 width=16>" + entry +
               "</dd>";
    }

    ScopedTimeLocale locale{"C"};
    TempDir temp;
    std::string source = temp / "S/";
    std::string target = temp / "T/";
    std::string app = temp / "App/";
    std::string page = temp / "out/report.html";
    RecordingPrompt prompt;
    FixedClock clock{kNow};
    ErrorReporter reporter{app, prompt, clock};
    CloneSettings compare;
    PosixFileSystem fileSystem;
    RecordingStatusHost host;
    RecordingBrowser browser;
    ReportServices services{fileSystem, compare, host, reporter, prompt, clock, browser, app};
};

TEST_F(ReportTest, IdenticalFoldersGiveZeroCountsWithoutLinksOrSections) {
    for (const std::string& side : {source, target}) {
        File(side + "a.txt", "same");
        File(side + "sub/b.txt", "also same");
        fs::create_directories(side + "sub/empty");
    }

    const std::string written = Create();

    const std::string expected =
        Head() + kTableStart +
        "Added:</font></b><br>0</dl></td><td><b><font size=-1>Deleted:</font></b><br>0</dl></"
        "td><td><b><font size=-1>Changed:</font></b><br>0</td></tr></table>" +
        kFooter;
    EXPECT_EQ(written, page);
    EXPECT_EQ(ReadFile(page), expected);
    EXPECT_TRUE(prompt.shown.empty());
    ASSERT_EQ(browser.opened, std::vector<std::string>{page});
    EXPECT_EQ(browser.contentWhenOpened, expected) << "the page is whole before it is opened";
    // Only the page itself is left in its folder: no piece or temporary file stays behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(temp / "out"), fs::directory_iterator()), 1);
}

TEST_F(ReportTest, FolderOnlyInTargetIsDeletedInSourceTermsFolderFirst) {
    File(target + "Old/Deep/y.txt");

    Create();

    const std::string expected =
        Head() + kTableStart +
        "Added:</font></b><br>0</dl></td><td><b><font size=-1><a "
        "href=\"#deleted\">Deleted:</a>    </font></b><br>3</dl></td><td><b><font "
        "size=-1>Changed:</font></b><br>0</td></tr></table>"
        "<h2><font size=+1>&nbsp;<a NAME=\"deleted\"></a>Deleted From Source</font></h2>"
        "<P><font size=-1><I>The objects in this list appear in the Target folder but not in the "
        "Source folder</font></I></P>" +
        FolderLine(source + "Old/..") + FolderLine(source + "Old/Deep/..") +
        FileLine(source + "Old/Deep/y.txt") + kFooter;
    EXPECT_EQ(ReadFile(page), expected);
}

TEST_F(ReportTest, SubtreesListEachFolderBeforeItsContentsInListingOrder) {
    File(target + "Old/a.txt");
    File(target + "Old/b.txt");
    File(target + "Old/Inner/c.txt");
    File(source + "New/d.txt");
    File(source + "New/Inner/e.txt");

    const FolderDiffResults results = Compare();

    // The order within a folder is the file system's; take it from the folders themselves.
    auto expectedSubtree = [](const std::string& listed, const std::string& inSourceTerms) {
        std::vector<std::string> entries{inSourceTerms + ".."};
        std::function<void(const std::string&, const std::string&)> walk =
            [&](const std::string& folder, const std::string& terms) {
                for (const auto& item : fs::directory_iterator(folder)) {
                    const std::string name = item.path().filename();
                    if (item.is_directory()) {
                        entries.push_back(terms + name + "/..");
                        walk(folder + name + "/", terms + name + "/");
                    } else {
                        entries.push_back(terms + name);
                    }
                }
            };
        walk(listed, inSourceTerms);
        return entries;
    };
    EXPECT_EQ(results.Deleted.Items(), expectedSubtree(target + "Old/", source + "Old/"));
    EXPECT_EQ(results.Added.Items(), expectedSubtree(source + "New/", source + "New/"));
    EXPECT_EQ(results.Deleted.Count(), 5u);
    EXPECT_EQ(results.Added.Count(), 4u);
    EXPECT_EQ(results.Changed.Count(), 0u);
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

    const std::string expected =
        Head() + kTableStart +
        "<a href=\"#added\">Added:</a>    </font></b><br>1</dl></td><td><b><font "
        "size=-1>Deleted:</font></b><br>0</dl></td><td><b><font "
        "size=-1>Changed:</font></b><br>0</td></tr></table>"
        "<h2><font size=+1>&nbsp;<a NAME=\"added\"></a>Added To Source</font></h2>"
        "<P><font size=-1><I>The objects in this list appear in the Source folder but not in the "
        "Target folder</I></font></P>" +
        FileLine(source + "a.txt") + kFooter;
    EXPECT_EQ(ReadFile(page), expected);

    // The same folders with subfolders do show what lies below.
    const FolderDiffResults deep = Compare(true);
    EXPECT_EQ(deep.Added.Count(), 3u);
    EXPECT_EQ(deep.Deleted.Count(), 2u);
    EXPECT_EQ(deep.Changed.Items(), std::vector<std::string>{source + "Both/c.txt"});
}

TEST_F(ReportTest, AllThreeSectionsAppearInOrder) {
    File(source + "new.txt");
    File(target + "gone.txt");
    File(source + "edit.txt", "x", kTime + 1);
    File(target + "edit.txt", "x", kTime - 10);

    Create();

    const std::string expected =
        Head() + kTableStart +
        "<a href=\"#added\">Added:</a>    </font></b><br>1</dl></td><td><b><font size=-1><a "
        "href=\"#deleted\">Deleted:</a>    </font></b><br>1</dl></td><td><b><font size=-1><a "
        "href=\"#changed\">Changed:</a>    </font></b><br>1</td></tr></table>"
        "<h2><font size=+1>&nbsp;<a NAME=\"added\"></a>Added To Source</font></h2>"
        "<P><font size=-1><I>The objects in this list appear in the Source folder but not in the "
        "Target folder</I></font></P>" +
        FileLine(source + "new.txt") +
        "<h2><font size=+1>&nbsp;<a NAME=\"deleted\"></a>Deleted From Source</font></h2>"
        "<P><font size=-1><I>The objects in this list appear in the Target folder but not in the "
        "Source folder</font></I></P>" +
        FileLine(source + "gone.txt") +
        "<h2><font size=+1>&nbsp;<a NAME=\"changed\"></a>Changed In Source</font></h2>"
        "<P><font size=-1><I>The files in this list appear in both the Source and Target folders "
        "but differ.</font></I></P>" +
        FileLine(source + "edit.txt") + kFooter;
    EXPECT_EQ(ReadFile(page), expected);
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
    using List = std::vector<std::string>;
    EXPECT_EQ(changed(CompareMethodType::DateTime, true), (List{b}));
    EXPECT_EQ(changed(CompareMethodType::DateTime, false), (List{b, c}));
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
        EXPECT_EQ(results.Added.Items(), std::vector<std::string>{source + "folderLink"});
        EXPECT_EQ(results.Deleted.Count(), 0u);
        std::vector<std::string> changed = results.Changed.Items();
        std::sort(changed.begin(), changed.end());
        return changed;
    };
    using List = std::vector<std::string>;
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

    EXPECT_EQ(results.Deleted.Items(), std::vector<std::string>{source + "X"});
    EXPECT_EQ(results.Added.Items(),
              (std::vector<std::string>{source + "X/..", source + "X/inside.txt"}));
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
    ASSERT_TRUE(html.starts_with(Head() + kTableStart +
                                 "<a href=\"#added\">Added:</a>    </font></b><br>32005</dl>"));
    ASSERT_TRUE(html.ends_with(kFooter));
    EXPECT_EQ(CountOf(html, "<dd><img SRC="), static_cast<std::size_t>(kFiles));
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

TEST(FolderDiffListTest, GrowsInBlocksAndKeepsEveryEntry) {
    FolderDiffList list;
    EXPECT_GE(list.Items().capacity(), kFolderDiffListBlock);
    for (std::size_t i = 0; i < 2 * kFolderDiffListBlock + 1; ++i) {
        list.Add(std::to_string(i));
        if (i + 1 == kFolderDiffListBlock) {
            EXPECT_EQ(list.Items().capacity(), kFolderDiffListBlock);
        }
    }
    EXPECT_EQ(list.Count(), 2 * kFolderDiffListBlock + 1);
    EXPECT_EQ(list.Items().capacity(), 3 * kFolderDiffListBlock);
    for (std::size_t i = 0; i < list.Count(); ++i) {
        ASSERT_EQ(list.Items()[i], std::to_string(i));
    }
}

TEST_F(ReportTest, NamesShowAsTextAndAddNoMarkup) {
    // "/" cannot be part of a name, so this is a folder "<b>x<" holding "b>&.txt": its entry in
    // Source terms reads exactly "<b>x</b>&.txt".
    File(source + "<b>x</b>&.txt");

    Create();

    const std::string expected =
        Head() + kTableStart +
        "<a href=\"#added\">Added:</a>    </font></b><br>2</dl></td><td><b><font "
        "size=-1>Deleted:</font></b><br>0</dl></td><td><b><font "
        "size=-1>Changed:</font></b><br>0</td></tr></table>"
        "<h2><font size=+1>&nbsp;<a NAME=\"added\"></a>Added To Source</font></h2>"
        "<P><font size=-1><I>The objects in this list appear in the Source folder but not in the "
        "Target folder</I></font></P>" +
        FolderLine(source + "&lt;b&gt;x&lt;/..") +
        FileLine(source + "&lt;b&gt;x&lt;/b&gt;&amp;.txt") + kFooter;
    EXPECT_EQ(ReadFile(page), expected);
}

TEST_F(ReportTest, QuotesAndControlCharactersInNamesKeepThePageOneLine) {
    File(source + "say \"hi\".txt");
    File(source + std::string("line\nbreak\r\x01\x7f.txt"));

    Create();

    const std::string html = ReadFile(page);
    EXPECT_NE(html.find(FileLine(source + "say &quot;hi&quot;.txt")), std::string::npos);
    EXPECT_NE(html.find(FileLine(source + "line\\x0Abreak\\x0D\\x01\\x7F.txt")), std::string::npos);
    EXPECT_EQ(html.find_first_of(std::string("\r\n\x01\x7f", 4)), std::string::npos);
    EXPECT_EQ(CountOf(html, "\""), CountOf(html, "=\"") * 2) << "every quote is an attribute's";
}

TEST_F(ReportTest, PicturePathsAreEscapedAndCannotCutTheReferenceShort) {
    app = temp / "App & \"#1\" 100%?/";
    fs::create_directories(app);
    services.appPath = app;
    File(source + "a.txt");
    File(source + "Folder/b.txt");

    Create();

    const std::string html = ReadFile(page);
    const std::string shown = temp / "App &amp; &quot;%231&quot; 100%25%3F/";
    EXPECT_NE(html.find("<h1><img SRC=\"" + shown + "rpt_folders_sheep.jpg\"  HSPACE=2"),
              std::string::npos);
    EXPECT_NE(html.find("<dd><img SRC=\"" + shown + "rpt_file.jpg\" HSPACE=8"), std::string::npos);
    EXPECT_NE(html.find("<dd><img SRC=\"" + shown + "rpt_folder.jpg\" HSPACE=5"),
              std::string::npos);
    EXPECT_TRUE(fs::exists(app + "rpt_file.jpg")) << "the pictures go to the folder itself";
}

TEST(HTMLReportGraphicCodeTest, PicksThePictureByTheTrailingDots) {
    RecordingPrompt prompt;
    FixedClock clock;
    TempDir dir;
    ErrorReporter reporter{dir.Path(), prompt, clock};

    EXPECT_EQ(HTMLReportGraphicCode(reporter, "/s/Old/..", "/a/f.jpg", "/a/d.jpg"),
              "<dd><img SRC=\"/a/d.jpg\" HSPACE=5 height=16 width=16>/s/Old/..</dd>");
    EXPECT_EQ(HTMLReportGraphicCode(reporter, "/s/file..", "/a/f.jpg", "/a/d.jpg"),
              "<dd><img SRC=\"/a/d.jpg\" HSPACE=5 height=16 width=16>/s/file..</dd>")
        << "any item ending in two dots counts as a folder";
    EXPECT_EQ(HTMLReportGraphicCode(reporter, "/s/file.", "/a/f.jpg", "/a/d.jpg"),
              "<dd><img SRC=\"/a/f.jpg\" HSPACE=8 height=12 width=10>/s/file.</dd>");
    EXPECT_EQ(HTMLReportGraphicCode(reporter, "", "/a/f.jpg", "/a/d.jpg"),
              "<dd><img SRC=\"/a/f.jpg\" HSPACE=8 height=12 width=10></dd>");
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(ReportTest, WithoutAnOutputPathThePageIsANewRptFileInTheTemporaryFolder) {
    const std::string tmp = temp / "tmp/";
    fs::create_directories(tmp);
    ScopedEnvironment tmpdir("TMPDIR", tmp);
    ScopedEnvironment runtime("XDG_RUNTIME_DIR", "");
    File(source + "a.txt");

    const std::string first = CreateHTMLReportOfFolderDiffs(services, source, target, true);
    const std::string second = CreateHTMLReportOfFolderDiffs(services, source, target, true);

    for (const std::string& written : {first, second}) {
        ASSERT_TRUE(written.starts_with(tmp + "rpt")) << written;
        EXPECT_TRUE(written.ends_with(".html")) << written;
        EXPECT_EQ(written.find('/', tmp.size()), std::string::npos);
        EXPECT_TRUE(ReadFile(written).ends_with(kFooter));
    }
    EXPECT_NE(first, second);
    EXPECT_EQ(browser.opened, (std::vector<std::string>{first, second}));
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp), fs::directory_iterator()), 2);
}

// The page lists the user's files: other local users must not read it.
TEST_F(ReportTest, TheTemporaryPageIsTheUsersAloneInTheRuntimeFolder) {
    const std::string run = temp / "run/";
    fs::create_directories(run);
    fs::create_directories(temp / "tmp");
    ScopedEnvironment tmpdir("TMPDIR", temp / "tmp/");
    File(source + "a.txt");
    const mode_t oldMask = umask(022);
    std::string pages[2];
    {
        ScopedEnvironment runtime("XDG_RUNTIME_DIR", run);
        pages[0] = CreateHTMLReportOfFolderDiffs(services, source, target, true);
    }
    {
        ScopedEnvironment runtime("XDG_RUNTIME_DIR", "");
        pages[1] = CreateHTMLReportOfFolderDiffs(services, source, target, true);
    }
    umask(oldMask);
    EXPECT_TRUE(pages[0].starts_with(run + "rpt")) << pages[0];
    EXPECT_TRUE(pages[1].starts_with(temp / "tmp/rpt")) << pages[1];
    for (const std::string& written : pages) {
        struct stat info {};
        ASSERT_EQ(stat(written.c_str(), &info), 0) << written;
        EXPECT_EQ(info.st_mode & 0777, 0600u) << written;
        EXPECT_TRUE(ReadFile(written).ends_with(kFooter));
    }
}

TEST_F(ReportTest, AnExistingPageAtTheOutputPathIsReplacedWhole) {
    WriteFile(page, "an older report that is much longer than nothing at all");
    File(source + "a.txt");

    EXPECT_EQ(Create(), page);

    const std::string html = ReadFile(page);
    EXPECT_TRUE(html.starts_with("<html><body>"));
    EXPECT_TRUE(html.ends_with(kFooter));
    EXPECT_EQ(html.find("older report"), std::string::npos);
}

TEST_F(ReportTest, PicturesAreWrittenOnceAndNeverOverwritten) {
    Create();
    const std::vector<std::string> names = {"rpt_folders_sheep.jpg", "rpt_file.jpg",
                                            "rpt_folder.jpg"};
    std::vector<std::string> firstBytes;
    for (const std::string& name : names) {
        firstBytes.push_back(ReadFile(app + name));
        EXPECT_EQ(firstBytes.back(), ReportPictureBytes(name)) << name;
        EXPECT_TRUE(firstBytes.back().starts_with("\x89PNG\r\n\x1A\n")) << name;
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

TEST_F(ReportTest, AFolderThatFailsItsCheckIsRefusedAndNothingIsWritten) {
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
        EXPECT_EQ(host.texts, (std::vector<std::string>{"1:Creating Report...", "1:"}));
        EXPECT_FALSE(fs::exists(page));
        EXPECT_FALSE(fs::exists(app + "rpt_file.jpg"));
        EXPECT_TRUE(browser.opened.empty());
    }
}

TEST_F(ReportTest, TheCommandShowsItsStatusWhileTheReportIsMade) {
    File(source + "a.txt");

    EXPECT_EQ(ReportFolderDifferences(services, source, target, true, page), page);

    EXPECT_EQ(host.texts, (std::vector<std::string>{"1:Creating Report...", "1:"}));
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ(browser.opened, std::vector<std::string>{page});
    EXPECT_NE(ReadFile(page).find(FileLine(source + "a.txt")), std::string::npos);
}

TEST_F(ReportTest, TheUserIsToldWhenThePageCannotBeOpened) {
    browser.answer = IBrowserHost::OpenResult::NoProgram;
    EXPECT_EQ(Create(), page) << "the page is written all the same";
    ASSERT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown[0].title, "Duvanto");
    EXPECT_EQ(prompt.shown[0].text, "Could not find a browser");
    EXPECT_EQ(prompt.shown[1].title, "Duvanto");
    EXPECT_EQ(prompt.shown[1].text, "Web Page not opened");

    prompt.shown.clear();
    browser.answer = IBrowserHost::OpenResult::Failed;
    EXPECT_FALSE(ShowHTMLFileInBrowser(page, browser, prompt, reporter));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "Web Page not opened");

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

TEST_F(ReportTest, AFailureInsideTheWalkEndsOnlyThatFolderPair) {
    FaultyFileSystem faulty;
    ReportServices withFaults{faulty, compare, host, reporter, prompt, clock, browser, app};
    File(source + "top.txt");
    File(source + "Broken/lost.txt");
    fs::create_directories(target + "Broken");
    File(target + "Gone/Deeper/x.txt");
    File(target + "Gone/y.txt");
    faulty.throwFor = source + "Broken/";
    faulty.failFor = target + "Gone/Deeper/";

    FolderDiffResults results;
    CompareFoldersAndFillResultTypeArrays(withFaults, source, target, true, results);

    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title,
              "Unexpected Error in modCompare.CompareFoldersAndFillResultTypeArrays");
    EXPECT_EQ(results.Added.Items(), std::vector<std::string>{source + "top.txt"});
    // A folder that cannot be listed still has its own entry, but nothing below it.
    std::vector<std::string> deleted = results.Deleted.Items();
    std::sort(deleted.begin(), deleted.end());
    EXPECT_EQ(deleted, (std::vector<std::string>{source + "Gone/..", source + "Gone/Deeper/..",
                                                 source + "Gone/y.txt"}));
}

TEST_F(ReportTest, AFailureInsideACollectorIsReportedUnderItsOwnLabel) {
    FaultyFileSystem faulty;
    ReportServices withFaults{faulty, compare, host, reporter, prompt, clock, browser, app};
    File(target + "Gone/x.txt");
    File(source + "New/y.txt");

    faulty.throwFor = target + "Gone/";
    FolderDiffList deleted;
    AddFolderAndContentsToDeletedItemsArray(withFaults, source + "Gone/", target + "Gone/",
                                            deleted);
    EXPECT_EQ(deleted.Items(), std::vector<std::string>{source + "Gone/.."});

    faulty.throwFor = source + "New/";
    FolderDiffList added;
    AddFolderAndContentsToAddedItemsArray(withFaults, source + "New/", added);
    EXPECT_EQ(added.Items(), std::vector<std::string>{source + "New/.."});

    ASSERT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown[0].title,
              "Unexpected Error in modCompare.AddFolderAndContentsToDeletedItemsArray");
    EXPECT_EQ(prompt.shown[1].title,
              "Unexpected Error in modCompare.AddFolderAndContentsToAddedItemsArray");
}

TEST_F(ReportTest, AnUnlistableFolderContributesNothingToThePage) {
    FaultyFileSystem faulty;
    ReportServices withFaults{faulty, compare, host, reporter, prompt, clock, browser, app};
    File(source + "a.txt");
    faulty.failFor = target;

    EXPECT_EQ(CreateHTMLReportOfFolderDiffs(withFaults, source, target, true, page), page);

    EXPECT_TRUE(prompt.shown.empty());
    const std::string html = ReadFile(page);
    EXPECT_NE(html.find("Added:</font></b><br>0</dl>"), std::string::npos);
    EXPECT_EQ(CountOf(html, "<dd><img"), 0u);
}

// Reads a PNG the way a viewer would: chunk checksums, the header, and the pixel rows.
void ExpectValidPng(const std::string& png, uint32_t width, uint32_t height) {
    ASSERT_TRUE(png.starts_with("\x89PNG\r\n\x1A\n"));
    auto be32 = [&](std::size_t at) {
        return (static_cast<uint32_t>(static_cast<unsigned char>(png[at])) << 24) |
               (static_cast<uint32_t>(static_cast<unsigned char>(png[at + 1])) << 16) |
               (static_cast<uint32_t>(static_cast<unsigned char>(png[at + 2])) << 8) |
               static_cast<uint32_t>(static_cast<unsigned char>(png[at + 3]));
    };
    std::vector<std::string> types;
    std::string idat;
    std::size_t paletteEntries = 0;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const uint32_t length = be32(at);
        ASSERT_LE(at + 12 + length, png.size());
        const std::string type = png.substr(at + 4, 4);
        const std::string data = png.substr(at + 8, length);
        EXPECT_EQ(be32(at + 8 + length), libdeflate_crc32(0, png.data() + at + 4, length + 4))
            << type;
        types.push_back(type);
        if (type == "IHDR") {
            ASSERT_EQ(length, 13u);
            EXPECT_EQ(be32(at + 8), width);
            EXPECT_EQ(be32(at + 12), height);
        } else if (type == "PLTE") {
            paletteEntries = length / 3;
        } else if (type == "IDAT") {
            idat += data;
        }
        at += 12 + length;
    }
    EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "PLTE", "tRNS", "IDAT", "IEND"}));

    std::string pixels(static_cast<std::size_t>(height) * (width + 1) + 1, '\0');
    std::size_t produced = 0;
    libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
    ASSERT_NE(decompressor, nullptr);
    const auto result = libdeflate_zlib_decompress(decompressor, idat.data(), idat.size(),
                                                   pixels.data(), pixels.size(), &produced);
    libdeflate_free_decompressor(decompressor);
    ASSERT_EQ(result, LIBDEFLATE_SUCCESS);
    ASSERT_EQ(produced, static_cast<std::size_t>(height) * (width + 1));
    std::set<unsigned char> used;
    for (uint32_t row = 0; row < height; ++row) {
        ASSERT_EQ(pixels[row * (width + 1)], '\0') << "row " << row;
        for (uint32_t column = 1; column <= width; ++column) {
            const auto index = static_cast<unsigned char>(pixels[row * (width + 1) + column]);
            ASSERT_LT(index, paletteEntries);
            used.insert(index);
        }
    }
    EXPECT_GE(used.size(), 3u) << "a picture, not a blank";
}

TEST(ReportPicturesTest, EachPictureIsAWellFormedImageOfItsSize) {
    ExpectValidPng(ReportPictureBytes("rpt_folders_sheep.jpg"), 112, 100);
    ExpectValidPng(ReportPictureBytes("rpt_file.jpg"), 10, 12);
    ExpectValidPng(ReportPictureBytes("rpt_folder.jpg"), 16, 16);
    EXPECT_EQ(ReportPictureBytes("rpt_other.jpg"), "");
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
}  // namespace duvanto
