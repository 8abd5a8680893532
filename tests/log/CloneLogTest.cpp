// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/CloneLog.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "log/LogClassifier.h"
#include "support/FaultyFileSystem.h"
#include "support/ScopedLocale.h"
#include "support/TestSupport.h"
#include "support/Unprivileged.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

constexpr char kStamp[] = "12/4/2003 4:38:16 PM";

class CloneLogTest : public ::testing::Test {
protected:
    ScopedTimeLocale locale{"C"};
    TempDir dir;
    RecordingPrompt prompt;
    FixedClock clock{37959.6932407407};
    FaultyFileSystem fileSystem{TrashInside(dir.Path())};
    ErrorReporter reporter{dir.Path(), prompt, clock, fileSystem};
    cCloneLog log{dir.Path(), clock, reporter, prompt, fileSystem};

    void AddEntry(int32_t type, const std::string& file = "a.txt",
                  const std::string& task = "Nightly",
                  const std::string& description = "No such file or directory",
                  int32_t number = 2) {
        log.Add({.Type = static_cast<LogEntryType>(type),
                 .TaskName = task,
                 .FileName = file,
                 .SourceFolder = "/s/",
                 .TargetFolder = "/t/",
                 .ErrorNumber = number,
                 .ErrorDescription = description,
                 .SafeCopyStep = "(Copy Failed)",
                 .NewName = "A.txt"});
    }
    std::string LogFile() const { return dir / "clone.log"; }
};

TEST_F(CloneLogTest, EveryKindWritesItsLineAndOthersNothing) {
    const std::string desc = " 2 No such file or directory ";
    const std::vector<std::pair<LogEntryType, std::string>> expected = {
        {Begin, "<Begin: Nightly>\r\n"},
        {End, "<End: Nightly> {All Activity Logged}\r\n\r\n"},
        {Copied, " - Copied: a.txt from /s/ to /t/\r\n"},
        {Deleted, " - Deleted: a.txt from /t/\r\n"},
        {CreatedFolder, " - Created Folder: /t/\r\n"},
        {DeletedFolder, " - Deleted Folder: /t/\r\n"},
        {CopyError, " *Copy Error:" + desc + "a.txt from /s/ to /t/\r\n"},
        {DeleteError, " *Delete Error:" + desc + "a.txt from /t/\r\n"},
        {CreateDirError, " *Create Dir Error:" + desc + "/t/\r\n"},
        {DeleteDirError, " *Delete Dir Error:" + desc + "/t/\r\n"},
        {UnexpectedError, " *Unexpected Error:" + desc +
                              "File Name: a.txt Source Folder: /s/ Target Folder: /t/\r\n"},
        {DuplicateFileError, " *Duplicate File Error:" + desc + "a.txt in /s/\r\n"},
        {ContentCompareError,
         " *Content Compare Error:" + desc + "Comparing a.txt in /s/ and /t/\r\n"},
        {CRCCompareError, " *CRC Compare Error:" + desc + "Comparing a.txt in /s/ and /t/\r\n"},
        {UserCancelledError, " *User Cancelled Error: \r\n"},
        {FolderPathError, " *Folder Path Error:  No such file or directory a.txt\r\n"},
        {ApplicationShutdownError, " *Application Shutdown Error: The clone task was aborted\r\n"},
        {IncludeFilterFolderError,
         " *Include Filter Error: The subfolder does not exist  a.txt\r\n"},
        {SafeCopyError, " *Safe Copy Error: (Copy Failed)" + desc + "a.txt\r\n"},
        {IncludeFilterFileError, " *Include Filter Error: The file does not exist  a.txt\r\n"},
        {GetSubFoldersError, " *Get SubFolders Error:" + desc + "a.txt\r\n"},
        {MassDeleteError, " *Mass Delete Error: No such file or directory /t/\r\n"},
        {Renamed, " - Renamed: a.txt to A.txt in /t/\r\n"},
        {RenameError, " *Rename Error:" + desc + "a.txt to A.txt in /t/\r\n"},
        {TargetNameError,
         " *Target Name Error: No such file or directory  a.txt from /s/ to /t/\r\n"},
    };
    ASSERT_EQ(expected.size(), 25u);
    std::string all;
    for (const auto& [type, text] : expected) {
        AddEntry(type);
        all += kStamp + text;
        EXPECT_EQ(log.InMemoryString(), all) << "kind " << type;
    }
    EXPECT_EQ(log.CurrInMemoryLogSize(), static_cast<int32_t>(all.size()));

    // Kinds outside the range add nothing.
    for (int32_t type : {-1, 25, 1000}) {
        AddEntry(type);
        EXPECT_EQ(log.FormatEntry({.Type = static_cast<LogEntryType>(type), .TaskName = "T"}), "");
    }
    EXPECT_EQ(log.InMemoryString(), all);
    EXPECT_EQ(log.CurrInMemoryLogSize(), static_cast<int32_t>(all.size()));
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(CloneLogTest, OnlyErrorsModeDropsTheSuccessKindsAndSaysSoAtTheEnd) {
    log.LogOnlyErrors(true);
    AddEntry(Begin);
    for (LogEntryType type : {Copied, Deleted, CreatedFolder, DeletedFolder, Renamed}) {
        const int32_t before = log.CurrInMemoryLogSize();
        AddEntry(type);
        EXPECT_EQ(log.CurrInMemoryLogSize(), before) << "kind " << type;
    }
    AddEntry(End);
    EXPECT_EQ(log.InMemoryString(), std::string(kStamp) + "<Begin: Nightly>\r\n" + kStamp +
                                        "<End: Nightly> {Only Errors Logged}\r\n\r\n");
}

TEST_F(CloneLogTest, EveryEntryStaysOnOneLine) {
    // System texts end in CR LF: the pair becomes two blanks before the separator blank.
    AddEntry(DeleteError, "a.txt", "Nightly", "Permission denied\r\n", 13);
    EXPECT_EQ(log.InMemoryString(),
              std::string(kStamp) + " *Delete Error: 13 Permission denied   a.txt from /t/\r\n");
    log.ResetInMemoryLog();

    AddEntry(CopyError, "a\nb\x7f\x1b[2J.txt", "Night\tly", "bad\rtext\n", 5);
    EXPECT_EQ(log.InMemoryString(),
              std::string(kStamp) +
                  " *Copy Error: 5 bad\\x0Dtext\\x0A a\\x0Ab\\x7F\\x1B[2J.txt from /s/ to /t/\r\n");
    log.ResetInMemoryLog();

    AddEntry(DeleteDirError, "", "", "gone", -1);  // the number keeps its sign
    EXPECT_EQ(log.InMemoryString(), std::string(kStamp) + " *Delete Dir Error: -1 gone /t/\r\n");
    log.ResetInMemoryLog();

    log.Add({.Type = Begin, .TaskName = "Night\tly"});
    log.Add({.Type = Copied,
             .FileName = "\xc3\xa9t\xc3\xa9.txt",
             .SourceFolder = "/s\x01/",
             .TargetFolder = "/t\x1f/"});
    EXPECT_EQ(log.InMemoryString(), std::string(kStamp) + "<Begin: Night\\x09ly>\r\n" + kStamp +
                                        " - Copied: \xc3\xa9t\xc3\xa9.txt from /s\\x01/ to "
                                        "/t\\x1F/\r\n");
}

TEST_F(CloneLogTest, BufferFlushesOnlyWhenItPassesTheThreshold) {
    // Every line is 20 (stamp) + 19 (" - Created Folder: ") + folder + 2 = 1024 characters.
    const std::string folder = "/" + std::string(981, 'f') + "/";
    const std::string line = kStamp + std::string(" - Created Folder: ") + folder + "\r\n";
    ASSERT_EQ(line.size(), 1024u);
    std::string all;
    for (int i = 0; i < 100; ++i) {
        log.Add({.Type = CreatedFolder, .TargetFolder = folder});
        all += line;
    }
    EXPECT_EQ(log.CurrInMemoryLogSize(), cCloneLog::kFlushThreshold);
    EXPECT_FALSE(fs::exists(LogFile()));

    log.Add({.Type = CreatedFolder, .TargetFolder = folder});
    all += line;
    EXPECT_EQ(ReadFile(LogFile()), all);
    EXPECT_EQ(log.CurrInMemoryLogSize(), 0);
    EXPECT_EQ(log.InMemoryString(), "");

    // The count starts again: the next entry waits for the threshold once more.
    log.Add({.Type = CreatedFolder, .TargetFolder = folder});
    EXPECT_EQ(ReadFile(LogFile()), all);
    EXPECT_EQ(log.InMemoryString(), line);
}

TEST_F(CloneLogTest, AppendingKeepsTheBufferAndAnEmptyBufferCreatesNoFile) {
    log.AppendInMemoryStringToLogFile();
    EXPECT_FALSE(fs::exists(LogFile()));
    EXPECT_EQ(log.GetLogEntriesFromFile(), "");

    WriteFile(LogFile(), "earlier\r\n");
    AddEntry(Begin);
    const std::string entry = log.InMemoryString();
    EXPECT_EQ(log.GetLogEntriesFromFile(), "earlier\r\n") << "the file alone, not the buffer";
    log.AppendInMemoryStringToLogFile();
    EXPECT_EQ(ReadFile(LogFile()), "earlier\r\n" + entry);
    EXPECT_EQ(log.InMemoryString(), entry);
    EXPECT_EQ(log.CurrInMemoryLogSize(), static_cast<int32_t>(entry.size()));
}

TEST_F(CloneLogTest, TheFileGoesAtItsMaximumSizeOrOnRequestAndTheBufferStays) {
    log.DeleteLogFileIfMaxSizeIsExceeded();  // no file: nothing happens
    WriteFile(LogFile(), std::string(1000, 'x'));
    log.MaxLogFileSize(1001);
    log.DeleteLogFileIfMaxSizeIsExceeded();
    EXPECT_TRUE(fs::exists(LogFile()));
    log.MaxLogFileSize(1000);
    log.DeleteLogFileIfMaxSizeIsExceeded();
    EXPECT_FALSE(fs::exists(LogFile()));

    // Deleting the file keeps the buffered entries for the new one.
    WriteFile(LogFile(), "old run\r\n");
    AddEntry(Begin);
    const std::string entry = log.InMemoryString();
    log.DeleteLogFile();
    EXPECT_FALSE(fs::exists(LogFile()));
    EXPECT_EQ(log.InMemoryString(), entry);
    log.DeleteLogFile();  // already gone: not an error
    EXPECT_TRUE(prompt.shown.empty());
    log.AppendInMemoryStringToLogFile();
    EXPECT_EQ(ReadFile(LogFile()), entry);
}

TEST_F(CloneLogTest, FailedDeleteTellsTheUserAndKeepsTheFile) {
    // Root ignores permission bits: the delete runs as an ordinary user (in a child when the
    // test runs as root), which is why the verdict comes back as a code, not as messages.
    const std::string locked = dir / "locked/";
    WriteFile(locked + "clone.log", "entries\r\n");
    chmod(dir.Path().c_str(), 0755);
    chmod(locked.c_str(), 0555);
    const int verdict = RunUnprivileged([&locked, this] {
        RecordingPrompt userPrompt;
        FixedClock anyTime;
        ErrorReporter lockedReporter(locked, userPrompt, anyTime, fileSystem);
        cCloneLog lockedLog(locked, anyTime, lockedReporter, userPrompt, fileSystem);
        lockedLog.DeleteLogFile();
        const std::vector<ShownMessage>& shown = userPrompt.shown;
        return shown.size() == 1 && shown[0].title == "Log Delete Failed" &&
                       shown[0].text ==
                           "Unable to Delete the Log file.\r\n\r\nError Number: 13\r\nError "
                           "Description: Permission denied\r\n\r\nIf this problem continues, "
                           "please contact technical support." &&
                       shown[0].icon == MessageIcon::Exclamation &&
                       shown[0].buttons == MessageButtons::OK
                   ? 0
                   : 1;
    });
    if (verdict == 255) {
        GTEST_SKIP() << "running as root and unable to switch to user " << kUnprivilegedId;
    }
    EXPECT_EQ(verdict, 0) << "not one message with that title, text, icon and buttons";
    EXPECT_EQ(ReadFile(locked + "clone.log"), "entries\r\n");
}

TEST_F(CloneLogTest, SaveAsCopiesTheFileReplacingTheTarget) {
    const std::string copy = dir / "saved.log";
    log.SaveAs(copy);
    EXPECT_FALSE(fs::exists(copy));

    WriteFile(LogFile(), "line one\r\nline two\r\n");
    WriteFile(copy, std::string(100, 'z'));
    log.SaveAs(copy);
    EXPECT_EQ(ReadFile(copy), "line one\r\nline two\r\n");

    log.SaveAs(LogFile());  // onto itself: the log must survive
    log.SaveAs(dir / "missing/saved.log");
    EXPECT_EQ(ReadFile(LogFile()), "line one\r\nline two\r\n");
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(CloneLogTest, UnexpectedFailuresAreReportedUnderTheOperationsLabel) {
    cCloneLog homeless(dir / "missing/", clock, reporter, prompt, fileSystem);
    homeless.Add({.Type = Begin, .TaskName = "Nightly"});
    homeless.AppendInMemoryStringToLogFile();
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title, "Unexpected Error in cCloneLog.AppendInMemoryStringToLogFile");
    EXPECT_TRUE(prompt.shown[0].text.starts_with(
        "DLL Error: No such file or directory\r\nError: Path not found\r\n"))
        << prompt.shown[0].text;
    EXPECT_EQ(homeless.InMemoryString(), std::string(kStamp) + "<Begin: Nightly>\r\n");

    // A clock gone wild fails only that entry; the buffer keeps what it had.
    clock.now = 1e12;
    homeless.Add({.Type = End, .TaskName = "Nightly"});
    ASSERT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown[1].title, "Unexpected Error in cCloneLog.Add");
    EXPECT_EQ(homeless.InMemoryString(), std::string(kStamp) + "<Begin: Nightly>\r\n");
    EXPECT_EQ(homeless.CurrInMemoryLogSize(), 38);
}

TEST_F(CloneLogTest, AFullDiskKeepsTheFileAndTheBufferForTheNextAppend) {
    WriteFile(LogFile(), "earlier\r\n");
    AddEntry(Begin);
    const std::string entry = log.InMemoryString();
    fileSystem.Fail(FsOp::Append, LogFile(), ENOSPC);
    log.AppendInMemoryStringToLogFile();
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title, "Unexpected Error in cCloneLog.AppendInMemoryStringToLogFile");
    EXPECT_TRUE(
        prompt.shown[0].text.starts_with("DLL Error: No space left on device\r\n"
                                         "Error: Disk full\r\n"))
        << prompt.shown[0].text;
    EXPECT_EQ(ReadFile(LogFile()), "earlier\r\n");
    EXPECT_EQ(log.InMemoryString(), entry);

    fileSystem.ClearFaults();
    log.AppendInMemoryStringToLogFile();
    EXPECT_EQ(ReadFile(LogFile()), "earlier\r\n" + entry);
}

// Notes each entry; it needs no lock of its own, since the log calls it under its lock.
class RecordingObserver : public ICloneLogObserver {
public:
    void EntryAdded(const std::string& line, LogLineKind kind) override {
        lines.push_back(line);
        kinds.push_back(kind);
        threads.push_back(std::this_thread::get_id());
    }
    std::vector<std::string> lines;
    std::vector<LogLineKind> kinds;
    std::vector<std::thread::id> threads;
};

TEST_F(CloneLogTest, TwoWritersKeepEveryLineWholeAndTheObserverHearsEachOnItsThread) {
    RecordingObserver observer;
    log.SetObserver(&observer);
    // Enough entries to pass the flush threshold several times while both write.
    constexpr int kPerWriter = 4000;
    auto write = [this](const std::string& who, int32_t type) {
        for (int i = 0; i < kPerWriter; ++i) {
            AddEntry(type, who + std::to_string(i) + ".txt");
        }
    };
    std::thread copier(write, "copied-", Copied);
    std::thread failer(write, "failed-", CopyError);
    const std::thread::id copierId = copier.get_id();
    const std::thread::id failerId = failer.get_id();
    copier.join();
    failer.join();
    log.AppendInMemoryStringToLogFile();
    log.ResetInMemoryLog();

    // Each writer's lines complete, in its own order, and nothing else in the file.
    const std::string text = ReadFile(LogFile());
    std::map<std::string, int> next;
    std::size_t lines = 0;
    for (std::size_t start = 0; start < text.size(); ++lines) {
        const std::size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        const std::string line = text.substr(start, end - start);
        start = end + 2;
        const std::size_t name =
            line.find(line.find(" *Copy Error") != std::string::npos ? "failed-" : "copied-");
        ASSERT_NE(name, std::string::npos) << line;
        const std::string who = line.substr(name, 7);
        EXPECT_EQ(line.substr(name + 7, line.find(".txt", name) - name - 7),
                  std::to_string(next[who]++))
            << line;
    }
    EXPECT_EQ(lines, 2u * kPerWriter);
    EXPECT_EQ(next["copied-"], kPerWriter);
    EXPECT_EQ(next["failed-"], kPerWriter);

    ASSERT_EQ(observer.lines.size(), 2u * kPerWriter);
    for (std::size_t i = 0; i < observer.lines.size(); ++i) {
        const bool failed = observer.lines[i].find("failed-") != std::string::npos;
        EXPECT_EQ(observer.kinds[i], failed ? LogLineKind::Error : LogLineKind::Plain);
        EXPECT_EQ(observer.threads[i], failed ? failerId : copierId);
    }
    EXPECT_EQ(reporter.ReportCount(), 0);
}

TEST_F(CloneLogTest, TheObserverHearsTheLinesAsWrittenAndNothingOnceTakenOff) {
    RecordingObserver observer;
    log.SetObserver(&observer);
    AddEntry(Begin);
    AddEntry(End);
    AddEntry(99);  // no entry, nothing heard
    log.SetObserver(nullptr);
    AddEntry(Copied);

    EXPECT_EQ(observer.lines,
              (std::vector<std::string>{
                  std::string(kStamp) + "<Begin: Nightly>\r\n",
                  std::string(kStamp) + "<End: Nightly> {All Activity Logged}\r\n\r\n",
              }));
    EXPECT_EQ(observer.kinds,
              (std::vector<LogLineKind>{LogLineKind::BeginEnd, LogLineKind::BeginEnd}));
    EXPECT_EQ(log.InMemoryString().substr(observer.lines[0].size() + observer.lines[1].size()),
              std::string(kStamp) + " - Copied: a.txt from /s/ to /t/\r\n");
}

TEST_F(CloneLogTest, EveryEntryKindIsClassifiedByItsMarks) {
    for (int32_t type = Begin; type <= MassDeleteError; ++type) {
        // Names with both marks: a success entry must stay plain whatever it names.
        std::string line = log.FormatEntry({.Type = static_cast<LogEntryType>(type),
                                            .TaskName = "Night run",
                                            .FileName = "a*b<c>:d.txt",
                                            .SourceFolder = "/s/",
                                            .TargetFolder = "/t/",
                                            .ErrorNumber = 13,
                                            .ErrorDescription = "Permission denied",
                                            .SafeCopyStep = "(Copy Failed)"});
        line.resize(line.find("\r\n"));
        const LogLineClass found = ClassifyLogLine(line);
        if (type == Begin || type == End) {
            EXPECT_EQ(found.kind, LogLineKind::BeginEnd) << line;
            EXPECT_EQ(found.name, "Night run") << line;
        } else if (type >= CopyError) {
            EXPECT_EQ(found.kind, LogLineKind::Error) << line;
            // Each kind's own name is in its line, as written above; the first and the last
            // of the range show where the name ends.
            if (type == CopyError || type == MassDeleteError) {
                EXPECT_EQ(found.name, type == CopyError ? "Copy Error" : "Mass Delete Error");
            }
        } else {
            EXPECT_EQ(found.kind, LogLineKind::Plain) << line;
            EXPECT_TRUE(found.name.empty()) << line;
        }
    }
    EXPECT_EQ(ClassifyLogLine("").kind, LogLineKind::Plain);
    EXPECT_EQ(ClassifyLogLine("4:00 *no colon").kind, LogLineKind::Plain);
    EXPECT_EQ(ClassifyLogLine("4:00<Begin: unclosed").kind, LogLineKind::Plain);
    EXPECT_EQ(ClassifyLogLine("4:00<Other: x>").kind, LogLineKind::Plain);
}

}  // namespace
}  // namespace duvanto::test
