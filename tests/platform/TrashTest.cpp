// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Trash.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/Checks.h"
#include "support/ScopedLocale.h"
#include "support/TestSupport.h"
#include "tasks/Trees.h"

namespace duvanto::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::time_t kWhen = 1700000000;  // 2023-11-14 22:13:20 UTC

std::string Resolved(const std::string& folder) {
    const std::string path = std::filesystem::canonical(folder).string();
    return path.back() == '/' ? path : path + "/";
}

struct stat LinkStat(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
    return info;
}

// The value of one key of a .trashinfo, or nullopt.
std::optional<std::string> InfoValue(const std::string& content, const std::string& key) {
    std::string prefix = "\n" + key + "=";
    std::size_t at = content.find(prefix);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    at += prefix.size();
    return content.substr(at, content.find('\n', at) - at);
}

// The home trash lies in the temporary folder and has not been created yet; the mount lookup
// must not be asked, since every file of these tests sits on the home trash's device.
TrashEnvironment HomeEnvironment(const TempDir& dir) {
    TrashEnvironment env;
    env.homeTrash = dir / "home/.local/share/Trash/";
    env.uid = geteuid();
    env.now = [] { return kWhen; };
    env.homeTrashDevice = DeviceOfNearestFolder;
    env.mountPointOf = [](const std::string& path) -> Result<std::string> {
        ADD_FAILURE() << "mount lookup for " << path;
        return Status::Failure(ENOENT, "unexpected");
    };
    return env;
}

// Forces the top-directory branch: the home trash claims another device, and the mount lookup
// names mountPoint as the top directory of every file.
TrashEnvironment TopEnvironment(const TempDir& dir, const std::string& mountPoint) {
    TrashEnvironment env = HomeEnvironment(dir);
    Result<dev_t> realDevice = DeviceOfNearestFolder(dir.Path());
    EXPECT_TRUE(realDevice.ok());
    dev_t otherDevice = realDevice.value() + 1;
    env.homeTrashDevice = [otherDevice](const std::string&) -> Result<dev_t> {
        return otherDevice;
    };
    env.mountPointOf = [mountPoint](const std::string&) -> Result<std::string> {
        return mountPoint;
    };
    return env;
}

// A temporary folder on /dev/shm when that lies on a file system other than `other`; none
// where it does not.
std::unique_ptr<TempDir> DirElsewhere(dev_t other) {
    struct stat shm {};
    if (stat("/dev/shm", &shm) != 0 || shm.st_dev == other) {
        return nullptr;
    }
    ScopedEnv tmpdir("TMPDIR", "/dev/shm");
    return std::make_unique<TempDir>();
}

// Unreserved characters and slashes stay; every other byte is percent-encoded.
TEST(EncodeTrashPathTest, EncodesEveryByteButUnreservedOnesAndSlashes) {
    const std::pair<std::string, std::string> cases[] = {
        {"/home/ann/Az-09._~/file.txt", "/home/ann/Az-09._~/file.txt"},
        {"", ""},
        {"/a b/100%.txt", "/a%20b/100%25.txt"},
        {"caf\xC3\xA9", "caf%C3%A9"},
        {"a+b#c?d&e=f", "a%2Bb%23c%3Fd%26e%3Df"},
        {"tab\there\nline\x7F", "tab%09here%0Aline%7F"},
        {std::string("nul\0x", 5), "nul%00x"},
        {"\xFF", "%FF"},
    };
    for (const auto& [path, encoded] : cases) {
        EXPECT_EQ(EncodeTrashPath(path), encoded);
    }
}

// Only an absolute XDG_DATA_HOME counts; else the trash lies below HOME.
TEST(TrashEnvironmentTest, HomeTrashFollowsXdgDataHomeThenHome) {
    ScopedEnv home("HOME", "/home/ann");
    const char* const inHome = "/home/ann/.local/share/Trash/";
    const std::pair<const char*, const char*> cases[] = {{"/srv/data/", "/srv/data/Trash/"},
                                                         {"", inHome},
                                                         {"relative/data", inHome},
                                                         {nullptr, inHome}};
    for (const auto& [data, trash] : cases) {
        ScopedEnv variable("XDG_DATA_HOME", data);
        EXPECT_EQ(TrashEnvironment::FromProcess().homeTrash, trash) << (data ? data : "(unset)");
    }
}

TEST(DeviceOfNearestFolderTest, UsesTheNearestExistingAncestor) {
    TempDir dir;
    struct stat info = LinkStat(dir.Path());
    Result<dev_t> device = DeviceOfNearestFolder(dir / "not/yet/Trash/");
    ASSERT_TRUE(device.ok()) << device.status().message();
    EXPECT_EQ(device.value(), info.st_dev);
    EXPECT_EQ(DeviceOfNearestFolder("relative/Trash").status().code(), ENOENT);

    const auto shm = DirElsewhere(info.st_dev);
    if (!shm) {
        return;  // no second file system to tell apart
    }
    Result<dev_t> shmDevice = DeviceOfNearestFolder(*shm / "missing/Trash/");
    ASSERT_TRUE(shmDevice.ok());
    EXPECT_EQ(shmDevice.value(), LinkStat(shm->Path()).st_dev);
}

TEST(MountPointOfTest, GivesTheMountHoldingThePath) {
    Result<std::string> proc = MountPointOf("/proc/self/status");
    ASSERT_TRUE(proc.ok()) << proc.status().message();
    EXPECT_EQ(proc.value(), "/proc/");

    TempDir dir;
    WriteFile(dir / "file", "x");
    std::string file = Resolved(dir.Path()) + "file";
    Result<std::string> mount = MountPointOf(file);
    ASSERT_TRUE(mount.ok()) << mount.status().message();
    EXPECT_EQ(file.compare(0, mount.value().size(), mount.value()), 0) << mount.value();
    EXPECT_EQ(mount.value().back(), '/');
    struct stat mountInfo {};
    ASSERT_EQ(stat(mount.value().c_str(), &mountInfo), 0);
    EXPECT_EQ(mountInfo.st_dev, LinkStat(file).st_dev);

    EXPECT_EQ(MountPointOf(dir / "missing").status().code(), ENOENT);

    // Through /proc/self/root the path begins with the mount point /proc/, yet the file lies
    // elsewhere: only the device tells.
    Result<std::string> viaProc = MountPointOf("/proc/self/root" + file);
    if (viaProc.ok()) {
        EXPECT_NE(viaProc.value(), "/proc/");
        ASSERT_EQ(stat(viaProc.value().c_str(), &mountInfo), 0);
        EXPECT_EQ(mountInfo.st_dev, LinkStat(file).st_dev);
    } else {
        EXPECT_EQ(viaProc.status().code(), ENOENT);
    }

    // A mounted folder is told from its parent.
    const auto shm = DirElsewhere(LinkStat("/dev/").st_dev);
    if (!shm) {
        return;  // /dev/shm is not a mount of its own here
    }
    WriteFile(*shm / "file", "x");
    mount = MountPointOf(*shm / "file");
    ASSERT_TRUE(mount.ok()) << mount.status().message();
    EXPECT_EQ(mount.value(), "/dev/shm/");
}

// A temporary folder whose home trash has not been made yet.
class TrashTest : public ::testing::Test {
protected:
    // Moves the file and gives where it went; a refusal fails the test.
    static std::string Move(Trash& trash, const std::string& path) {
        std::string trashedAs;
        const Status status = trash.MoveToTrash(path, &trashedAs);
        EXPECT_TRUE(status.ok()) << path << ": " << status.message();
        return trashedAs;
    }
    // The same through a fresh home trash, or the trash of the top directory top.
    std::string Move(const std::string& path, const std::string& top = "") {
        Trash trash(top.empty() ? HomeEnvironment(dir) : TopEnvironment(dir, top));
        return Move(trash, path);
    }
    // The Path of the record of a trashed name, in the trash folder given.
    static std::optional<std::string> Recorded(const std::string& trash, const std::string& name) {
        return InfoValue(ReadFile(trash + "info/" + name + ".trashinfo"), "Path");
    }

    TempDir dir;
    const std::string home = dir / "home/.local/share/Trash/";
    const std::string base = Resolved(dir.Path());
    const std::string uid = std::to_string(geteuid());
};

// A taken name, by a record or by a file left in the trash without one, is never replaced.
TEST_F(TrashTest, MovesFilesIntoTheHomeTrashWithRecordsAndKeepsEveryFileOfTheSameName) {
    ScopedTimeZone zone("XYZ-1");
    WriteFile(dir / "a/report.txt", "from a");
    WriteFile(dir / "b/report.txt", "from b");
    WriteFile(dir / "notes", "new");
    Trash trash(HomeEnvironment(dir));

    EXPECT_EQ(Move(trash, dir / "a/report.txt"), home + "files/report.txt");
    EXPECT_FALSE(PathExists(dir / "a/report.txt"));
    EXPECT_EQ(ReadFile(home + "info/report.txt.trashinfo"),
              "[Trash Info]\nPath=" + base + "a/report.txt\nDeletionDate=2023-11-14T23:13:20\n");
    for (const char* folder : {"", "files", "info"}) {
        EXPECT_EQ(LinkStat(home + folder).st_mode & 07777, 0700u) << folder;
    }
    WriteFile(home + "files/notes", "left behind");
    EXPECT_EQ(Move(trash, dir / "b/report.txt"), home + "files/report.txt.2");
    EXPECT_EQ(Move(trash, dir / "notes"), home + "files/notes.2");
    EXPECT_EQ(ReadTree(home + "files/"), (Tree{"notes.2=new", "notes=left behind",
                                               "report.txt.2=from b", "report.txt=from a"}));
    EXPECT_THAT(FolderNames(home + "info"),
                ElementsAre("notes.2.trashinfo", "report.txt.2.trashinfo", "report.txt.trashinfo"));
    EXPECT_EQ(Recorded(home, "report.txt.2"), base + "b/report.txt");
}

TEST_F(TrashTest, TrashesALinkAsALinkAndLeavesItsTarget) {
    WriteFile(dir / "target.txt", "keep me");
    ASSERT_EQ(symlink("target.txt", (dir / "link").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", (dir / "dangling").c_str()), 0);

    for (const auto& [name, text] : {std::pair{"link", "target.txt"}, {"dangling", "nowhere"}}) {
        const std::string trashedAs = Move(dir / name);
        EXPECT_FALSE(PathExists(dir / name));
        EXPECT_TRUE(S_ISLNK(LinkStat(trashedAs).st_mode));
        EXPECT_EQ(std::filesystem::read_symlink(trashedAs), text);
    }
    EXPECT_EQ(ReadFile(dir / "target.txt"), "keep me");
    EXPECT_EQ(Recorded(home, "link"), base + "link");
}

TEST_F(TrashTest, TheRecordHoldsTheResolvedPathPercentEncoded) {
    const std::string name = "caf\xC3\xA9 menu 100%.txt";
    WriteFile(dir / ("my docs/" + name), "x");
    // Only the record is encoded; the trashed file keeps its own bytes as its name.
    EXPECT_EQ(Move(dir / ("my docs/" + name)), home + "files/" + name);
    EXPECT_EQ(Recorded(home, name), base + "my%20docs/caf%C3%A9%20menu%20100%25.txt");

    // The record names the resolved folder of the file.
    WriteFile(dir / "real/file", "x");
    ASSERT_EQ(symlink("real", (dir / "alias").c_str()), 0);
    Move(dir / "alias/file");
    EXPECT_EQ(Recorded(home, "file"), base + "real/file");
    EXPECT_FALSE(PathExists(dir / "real/file"));
    EXPECT_TRUE(S_ISLNK(LinkStat(dir / "alias").st_mode));
}

TEST_F(TrashTest, ShortensANameTooLongForItsRecordAtACharacterBoundary) {
    // 244 + 2 + 4 bytes: cutting at 245 would split the two bytes of the e-acute.
    const std::string shortName(244, 'a');
    WriteFile(dir / (shortName + "\xC3\xA9" + "bbbb"), "long");
    EXPECT_EQ(Move(dir / (shortName + "\xC3\xA9" + "bbbb")), home + "files/" + shortName);
    EXPECT_EQ(ReadFile(home + "files/" + shortName), "long");
    EXPECT_EQ(Recorded(home, shortName), base + shortName + "%C3%A9bbbb");
}

// $topdir/.Trash is used only as a sticky folder of its own: without the sticky bit, as a link
// to one elsewhere, or missing, it is no trash, and the user's own .Trash-$uid is made instead.
// The record holds the path below the top directory, and no home trash is made.
TEST_F(TrashTest, UsesTheSharedTrashOnlyWhenItIsAStickyFolderOfItsOwn) {
    const struct {
        const char* name;
        mode_t mode;  // 0: no shared trash at all
        bool asLink;
    } cases[] = {{"sticky/", 01777, false},
                 {"plain/", 0777, false},
                 {"linked/", 01777, true},
                 {"missing/", 0, false}};
    for (const auto& [name, mode, asLink] : cases) {
        const std::string at = dir / name;
        WriteFile(at + "vol/sub/a b.txt", "x");
        const std::string shared = asLink ? at + "elsewhere" : at + "vol/.Trash";
        if (mode != 0) {
            ASSERT_EQ(mkdir(shared.c_str(), 0777), 0);
            ASSERT_EQ(chmod(shared.c_str(), mode), 0);
        }
        if (asLink) {
            ASSERT_EQ(symlink("../elsewhere", (at + "vol/.Trash").c_str()), 0);
        }
        const std::string top = Resolved(at + "vol");
        const bool usable = mode == 01777 && !asLink;
        const std::string trashFolder = top + (usable ? ".Trash/" + uid : ".Trash-" + uid) + "/";
        EXPECT_EQ(Move(at + "vol/sub/a b.txt", top), trashFolder + "files/a b.txt") << name;
        EXPECT_EQ(Recorded(trashFolder, "a b.txt"), "sub/a%20b.txt") << name;
        EXPECT_EQ(LinkStat(trashFolder).st_mode & 07777, 0700u) << name;
        EXPECT_EQ(PathExists(top + ".Trash-" + uid), !usable) << name;
        EXPECT_EQ(FolderNames(shared).empty(), !usable) << name;
    }
    EXPECT_FALSE(PathExists(dir / "home"));
}

// A user trash planted as a link, or owned by someone else (only root can give a folder
// away), is refused before anything is moved into it.
TEST_F(TrashTest, RefusesAUserTrashThatIsALinkOrSomeoneElses) {
    for (const bool asLink : {true, false}) {
        if (!asLink && geteuid() != 0) {
            continue;
        }
        const std::string at = dir / (asLink ? "linked/" : "given/");
        WriteFile(at + "vol/file", "x");
        const std::string planted = asLink ? at + "planted" : at + "vol/.Trash-" + uid;
        ASSERT_EQ(mkdir(planted.c_str(), 0777), 0);
        if (asLink) {
            ASSERT_EQ(symlink("../planted", (at + "vol/.Trash-" + uid).c_str()), 0);
        } else {
            ASSERT_EQ(chown(planted.c_str(), kUnprivilegedId, kUnprivilegedId), 0);
        }
        const Status status =
            Trash(TopEnvironment(dir, Resolved(at + "vol"))).MoveToTrash(at + "vol/file");
        EXPECT_EQ(status.code(), asLink ? ENOTDIR : EPERM) << status.message();
        if (asLink) {
            EXPECT_NE(status.message().find(".Trash-" + uid), std::string::npos)
                << status.message();
        }
        EXPECT_EQ(ReadFile(at + "vol/file"), "x");
        EXPECT_THAT(FolderNames(planted), IsEmpty());
    }
}

// The lookup names /dev/ as the top directory of a file on /dev/shm: a prefix of its path, but
// another file system, so nothing may be created there.
TEST_F(TrashTest, NeverUsesATopDirectoryOnAnotherFileSystem) {
    const auto shm = DirElsewhere(LinkStat("/dev/").st_dev);
    if (!shm) {
        GTEST_SKIP() << "/dev/shm is not a file system of its own here";
    }
    WriteFile(*shm / "file", "stay");

    const Status status = Trash(TopEnvironment(dir, "/dev/")).MoveToTrash(*shm / "file");
    EXPECT_EQ(status.code(), EXDEV) << status.message();
    EXPECT_EQ(ReadFile(*shm / "file"), "stay");
    const std::string stray = "/dev/.Trash-" + uid;
    EXPECT_FALSE(PathExists(stray));
    std::error_code error;  // what a failed run left there goes
    std::filesystem::remove_all(stray, error);
}

// A home trash said to share the file's device but really elsewhere: the rename fails with
// EXDEV, which must take the record back and never fall back to copying.
TEST_F(TrashTest, NeverCopiesIntoATrashOnAnotherFileSystem) {
    const auto other = DirElsewhere(LinkStat(dir.Path()).st_dev);
    if (!other) {
        GTEST_SKIP() << "no second file system at /dev/shm";
    }
    WriteFile(dir / "file", "stay");
    TrashEnvironment env = HomeEnvironment(dir);
    env.homeTrash = *other / "Trash/";
    const dev_t fileDevice = LinkStat(dir / "file").st_dev;
    env.homeTrashDevice = [fileDevice](const std::string&) -> Result<dev_t> { return fileDevice; };

    const Status status = Trash(env).MoveToTrash(dir / "file");
    EXPECT_EQ(status.code(), EXDEV) << status.message();
    EXPECT_EQ(ReadFile(dir / "file"), "stay");
    EXPECT_THAT(FolderNames(env.homeTrash + "files"), IsEmpty());
    EXPECT_THAT(FolderNames(env.homeTrash + "info"), IsEmpty());
}

TEST_F(TrashTest, RefusesMissingFilesFoldersPathsWithoutANameAndAForeignTopDirectory) {
    WriteFile(dir / "folder/inside", "x");
    Trash trash(HomeEnvironment(dir));
    EXPECT_EQ(trash.MoveToTrash(dir / "missing").code(), ENOENT);
    EXPECT_EQ(trash.MoveToTrash(dir / "no/such/folder/file").code(), ENOENT);
    EXPECT_EQ(trash.MoveToTrash(dir / "folder").code(), EISDIR);
    EXPECT_EQ(trash.MoveToTrash(dir / "folder/").code(), EINVAL);
    EXPECT_EQ(trash.MoveToTrash(dir / "folder/..").code(), EINVAL);
    EXPECT_EQ(ReadFile(dir / "folder/inside"), "x");
    EXPECT_THAT(FolderNames(home + "info"), IsEmpty());

    // A top directory that does not hold the file.
    ASSERT_EQ(mkdir((dir / "vol").c_str(), 0777), 0);
    const Status status =
        Trash(TopEnvironment(dir, Resolved(dir / "vol"))).MoveToTrash(dir / "folder/inside");
    EXPECT_EQ(status.code(), EINVAL) << status.message();
    EXPECT_EQ(ReadFile(dir / "folder/inside"), "x");
    EXPECT_THAT(FolderNames(dir / "vol"), IsEmpty());
}

// Root ignores permission bits, so the permission failures run as an ordinary user.
class TrashPermissionTest : public TrashTest {
protected:
    void SetUp() override {
        WriteFile(dir / "src/file", "precious");
        std::filesystem::create_directories(home + "files");
        std::filesystem::create_directories(home + "info");
        for (const std::string& folder :
             {dir.Path(), dir / "home", dir / "home/.local", dir / "home/.local/share", home}) {
            ASSERT_EQ(chmod(folder.c_str(), 0755), 0) << folder;
        }
        ASSERT_EQ(chmod((dir / "src").c_str(), 0777), 0);
    }

    // Trashes the file as the ordinary user (through the trash of top, if given), expecting
    // EACCES with a message that holds mentioned.
    void ExpectRefusedWithEacces(const std::string& file, const std::string& top = "",
                                 const std::string& mentioned = "") {
        EXPECT_TRUE(HoldsUnprivileged([&] {
            const Status status =
                Trash(top.empty() ? HomeEnvironment(dir) : TopEnvironment(dir, top))
                    .MoveToTrash(file);
            return status.code() == EACCES && status.message().find(mentioned) != std::string::npos;
        }));
    }
};

// An unwritable info folder stops the move before the rename; an unwritable files folder fails
// the rename, which must take its record back.
TEST_F(TrashPermissionTest, AnUnwritableTrashFolderLeavesTheFileInPlace) {
    for (const auto& [files, info] : {std::pair{0777, 0555}, {0555, 0777}}) {
        ASSERT_EQ(chmod((home + "files").c_str(), files), 0);
        ASSERT_EQ(chmod((home + "info").c_str(), info), 0);
        ExpectRefusedWithEacces(dir / "src/file");
        EXPECT_EQ(ReadFile(dir / "src/file"), "precious");
        EXPECT_THAT(FolderNames(home + "info"), IsEmpty());
        EXPECT_THAT(FolderNames(home + "files"), IsEmpty());
    }
}

TEST_F(TrashPermissionTest, AnUnwritableTopDirectoryGivesTheReason) {
    WriteFile(dir / "vol/sub/file", "on the volume");
    ASSERT_EQ(chmod((dir / "vol/sub").c_str(), 0777), 0);
    ASSERT_EQ(chmod((dir / "vol").c_str(), 0555), 0);
    ExpectRefusedWithEacces(dir / "vol/sub/file", Resolved(dir / "vol"), ".Trash-");
    EXPECT_EQ(ReadFile(dir / "vol/sub/file"), "on the volume");
    EXPECT_THAT(FolderNames(dir / "vol"), ElementsAre("sub"));
}

}  // namespace
}  // namespace duvanto::test
