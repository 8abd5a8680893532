#include "platform/Trash.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/ScopedLocale.h"
#include "support/TestSupport.h"
#include "support/Unprivileged.h"

namespace duvanto::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::time_t kWhen = 1700000000;  // 2023-11-14 22:13:20 UTC

std::string Resolved(const std::string& folder) {
    char resolved[PATH_MAX];
    if (realpath(folder.c_str(), resolved) == nullptr) {
        ADD_FAILURE() << "cannot resolve " << folder;
        return folder;
    }
    std::string path = resolved;
    return path.back() == '/' ? path : path + "/";
}

struct stat LinkStat(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
    return info;
}

std::string LinkText(const std::string& path) {
    char buffer[PATH_MAX];
    ssize_t length = readlink(path.c_str(), buffer, sizeof buffer);
    return length < 0 ? "" : std::string(buffer, static_cast<std::size_t>(length));
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

// A folder on /dev/shm, which is usually a file system of its own.
class ShmDir {
public:
    ShmDir() {
        char pattern[] = "/dev/shm/duvanto-trash-XXXXXX";
        if (mkdtemp(pattern) != nullptr) {
            m_path = std::string(pattern) + "/";
        }
    }
    ~ShmDir() {
        if (!m_path.empty()) {
            std::error_code error;
            std::filesystem::remove_all(m_path, error);
        }
    }
    ShmDir(const ShmDir&) = delete;
    ShmDir& operator=(const ShmDir&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

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

TEST(TrashEnvironmentTest, HomeTrashFollowsXdgDataHomeThenHome) {
    ScopedEnv home("HOME", "/home/ann");
    {
        ScopedEnv data("XDG_DATA_HOME", "/srv/data/");
        EXPECT_EQ(TrashEnvironment::FromProcess().homeTrash, "/srv/data/Trash/");
    }
    {
        ScopedEnv data("XDG_DATA_HOME", "");
        EXPECT_EQ(TrashEnvironment::FromProcess().homeTrash, "/home/ann/.local/share/Trash/");
    }
    {
        ScopedEnv data("XDG_DATA_HOME", "relative/data");
        EXPECT_EQ(TrashEnvironment::FromProcess().homeTrash, "/home/ann/.local/share/Trash/");
    }
    ScopedEnv data("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(TrashEnvironment::FromProcess().homeTrash, "/home/ann/.local/share/Trash/");
}

TEST(DeviceOfNearestFolderTest, UsesTheNearestExistingAncestor) {
    TempDir dir;
    struct stat info = LinkStat(dir.Path());
    Result<dev_t> device = DeviceOfNearestFolder(dir / "not/yet/Trash/");
    ASSERT_TRUE(device.ok()) << device.status().message();
    EXPECT_EQ(device.value(), info.st_dev);
    EXPECT_EQ(DeviceOfNearestFolder("relative/Trash").status().code(), ENOENT);

    ShmDir shm;
    struct stat shmInfo {};
    if (shm.Path().empty() || stat(shm.Path().c_str(), &shmInfo) != 0 ||
        shmInfo.st_dev == info.st_dev) {
        return;  // no second file system to tell apart
    }
    Result<dev_t> shmDevice = DeviceOfNearestFolder(shm.Path() + "missing/Trash/");
    ASSERT_TRUE(shmDevice.ok());
    EXPECT_EQ(shmDevice.value(), shmInfo.st_dev);
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
}

TEST(MountPointOfTest, TellsAMountedFolderFromItsParent) {
    struct stat shm {};
    struct stat dev {};
    if (stat("/dev/shm", &shm) != 0 || stat("/dev", &dev) != 0 || shm.st_dev == dev.st_dev) {
        GTEST_SKIP() << "/dev/shm is not a mount of its own here";
    }
    ShmDir dir;
    ASSERT_FALSE(dir.Path().empty());
    WriteFile(dir.Path() + "file", "x");
    Result<std::string> mount = MountPointOf(dir.Path() + "file");
    ASSERT_TRUE(mount.ok()) << mount.status().message();
    EXPECT_EQ(mount.value(), "/dev/shm/");
}

TEST(TrashTest, MovesAFileIntoTheHomeTrashWithItsRecord) {
    ScopedTimeZone zone("XYZ-1");
    TempDir dir;
    WriteFile(dir / "docs/report.txt", "quarterly numbers");
    Trash trash(HomeEnvironment(dir));

    std::string trashedAs;
    Status status = trash.MoveToTrash(dir / "docs/report.txt", &trashedAs);
    ASSERT_TRUE(status.ok()) << status.message();

    std::string home = dir / "home/.local/share/Trash/";
    EXPECT_EQ(trashedAs, home + "files/report.txt");
    EXPECT_FALSE(PathExists(dir / "docs/report.txt"));
    EXPECT_EQ(ReadFile(home + "files/report.txt"), "quarterly numbers");
    EXPECT_THAT(FolderNames(home + "files"), ElementsAre("report.txt"));
    EXPECT_THAT(FolderNames(home + "info"), ElementsAre("report.txt.trashinfo"));

    std::string info = ReadFile(home + "info/report.txt.trashinfo");
    EXPECT_EQ(info, "[Trash Info]\nPath=" + Resolved(dir.Path()) +
                        "docs/report.txt\nDeletionDate=2023-11-14T23:13:20\n");

    for (const char* folder : {"", "files", "info"}) {
        EXPECT_EQ(LinkStat(home + folder).st_mode & 07777, 0700u) << folder;
    }
}

// A taken name, by a record or by a file left in the trash without one, is never replaced.
TEST(TrashTest, KeepsEveryFileOfTheSameName) {
    TempDir dir;
    std::string home = dir / "home/.local/share/Trash/";
    WriteFile(dir / "a/report.txt", "from a");
    WriteFile(dir / "b/report.txt", "from b");
    WriteFile(home + "files/notes", "left behind");
    WriteFile(dir / "notes", "new");
    Trash trash(HomeEnvironment(dir));

    std::string first, second, notes;
    ASSERT_TRUE(trash.MoveToTrash(dir / "a/report.txt", &first).ok());
    ASSERT_TRUE(trash.MoveToTrash(dir / "b/report.txt", &second).ok());
    ASSERT_TRUE(trash.MoveToTrash(dir / "notes", &notes).ok());

    EXPECT_EQ(second, home + "files/report.txt.2");
    EXPECT_EQ(notes, home + "files/notes.2");
    EXPECT_THAT(FolderNames(home + "files"),
                ElementsAre("notes", "notes.2", "report.txt", "report.txt.2"));
    EXPECT_THAT(FolderNames(home + "info"),
                ElementsAre("notes.2.trashinfo", "report.txt.2.trashinfo", "report.txt.trashinfo"));
    EXPECT_EQ(ReadFile(first), "from a");
    EXPECT_EQ(ReadFile(second), "from b");
    EXPECT_EQ(ReadFile(home + "files/notes"), "left behind");
    EXPECT_EQ(ReadFile(notes), "new");
    std::string base = Resolved(dir.Path());
    EXPECT_EQ(InfoValue(ReadFile(home + "info/report.txt.trashinfo"), "Path"),
              base + "a/report.txt");
    EXPECT_EQ(InfoValue(ReadFile(home + "info/report.txt.2.trashinfo"), "Path"),
              base + "b/report.txt");
}

TEST(TrashTest, TrashesALinkAsALinkAndLeavesItsTarget) {
    TempDir dir;
    WriteFile(dir / "target.txt", "keep me");
    ASSERT_EQ(symlink("target.txt", (dir / "link").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", (dir / "dangling").c_str()), 0);
    Trash trash(HomeEnvironment(dir));

    for (const auto& [name, text] : {std::pair{"link", "target.txt"}, {"dangling", "nowhere"}}) {
        std::string trashedAs;
        Status status = trash.MoveToTrash(dir / name, &trashedAs);
        ASSERT_TRUE(status.ok()) << status.message();
        EXPECT_FALSE(PathExists(dir / name));
        EXPECT_TRUE(S_ISLNK(LinkStat(trashedAs).st_mode));
        EXPECT_EQ(LinkText(trashedAs), text);
    }
    EXPECT_EQ(ReadFile(dir / "target.txt"), "keep me");
    EXPECT_EQ(InfoValue(ReadFile(dir / "home/.local/share/Trash/info/link.trashinfo"), "Path"),
              Resolved(dir.Path()) + "link");
}

TEST(TrashTest, PercentEncodesBlanksAndNonAsciiInThePath) {
    TempDir dir;
    std::string name = "caf\xC3\xA9 menu 100%.txt";
    WriteFile(dir / ("my docs/" + name), "x");
    Trash trash(HomeEnvironment(dir));

    std::string trashedAs;
    ASSERT_TRUE(trash.MoveToTrash(dir / ("my docs/" + name), &trashedAs).ok());
    std::string home = dir / "home/.local/share/Trash/";
    // Only the record is encoded; the trashed file keeps its own bytes as its name.
    EXPECT_EQ(trashedAs, home + "files/" + name);
    EXPECT_EQ(InfoValue(ReadFile(home + "info/" + name + ".trashinfo"), "Path"),
              Resolved(dir.Path()) + "my%20docs/caf%C3%A9%20menu%20100%25.txt");
}

TEST(TrashTest, RecordsTheResolvedFolderOfTheFile) {
    TempDir dir;
    WriteFile(dir / "real/file", "x");
    ASSERT_EQ(symlink("real", (dir / "alias").c_str()), 0);
    Trash trash(HomeEnvironment(dir));

    ASSERT_TRUE(trash.MoveToTrash(dir / "alias/file").ok());
    EXPECT_EQ(InfoValue(ReadFile(dir / "home/.local/share/Trash/info/file.trashinfo"), "Path"),
              Resolved(dir.Path()) + "real/file");
    EXPECT_FALSE(PathExists(dir / "real/file"));
    EXPECT_TRUE(S_ISLNK(LinkStat(dir / "alias").st_mode));
}

TEST(TrashTest, ShortensANameTooLongForItsRecordAtACharacterBoundary) {
    TempDir dir;
    // 244 + 2 + 4 bytes: cutting at 245 would split the two bytes of the e-acute.
    std::string name = std::string(244, 'a') + "\xC3\xA9" + "bbbb";
    WriteFile(dir / name, "long");
    Trash trash(HomeEnvironment(dir));

    std::string trashedAs;
    Status status = trash.MoveToTrash(dir / name, &trashedAs);
    ASSERT_TRUE(status.ok()) << status.message();
    std::string home = dir / "home/.local/share/Trash/";
    std::string shortName(244, 'a');
    EXPECT_EQ(trashedAs, home + "files/" + shortName);
    EXPECT_EQ(ReadFile(trashedAs), "long");
    EXPECT_EQ(InfoValue(ReadFile(home + "info/" + shortName + ".trashinfo"), "Path"),
              Resolved(dir.Path()) + std::string(244, 'a') + "%C3%A9bbbb");
}

TEST(TrashTest, UsesTheTopDirectoryTrashOnAnotherFileSystem) {
    TempDir dir;
    WriteFile(dir / "vol/sub/a b.txt", "on the volume");
    std::string top = Resolved(dir / "vol");
    Trash trash(TopEnvironment(dir, top));

    std::string uid = std::to_string(geteuid());
    std::string trashedAs;
    Status status = trash.MoveToTrash(dir / "vol/sub/a b.txt", &trashedAs);
    ASSERT_TRUE(status.ok()) << status.message();
    std::string trashFolder = top + ".Trash-" + uid + "/";
    EXPECT_EQ(trashedAs, trashFolder + "files/a b.txt");
    EXPECT_EQ(ReadFile(trashedAs), "on the volume");
    EXPECT_FALSE(PathExists(dir / "vol/sub/a b.txt"));
    std::string info = ReadFile(trashFolder + "info/a b.txt.trashinfo");
    EXPECT_EQ(InfoValue(info, "Path"), "sub/a%20b.txt");
    EXPECT_EQ(LinkStat(trashFolder).st_mode & 07777, 0700u);
    EXPECT_FALSE(PathExists(dir / "home"));
}

TEST(TrashTest, UsesTheSharedTrashWhenItHasTheStickyBit) {
    TempDir dir;
    WriteFile(dir / "vol/file", "x");
    ASSERT_EQ(mkdir((dir / "vol/.Trash").c_str(), 0777), 0);
    ASSERT_EQ(chmod((dir / "vol/.Trash").c_str(), 01777), 0);
    std::string top = Resolved(dir / "vol");
    Trash trash(TopEnvironment(dir, top));

    std::string trashedAs;
    ASSERT_TRUE(trash.MoveToTrash(dir / "vol/file", &trashedAs).ok());
    std::string uid = std::to_string(geteuid());
    std::string trashFolder = top + ".Trash/" + uid + "/";
    EXPECT_EQ(trashedAs, trashFolder + "files/file");
    EXPECT_EQ(InfoValue(ReadFile(trashFolder + "info/file.trashinfo"), "Path"), "file");
    EXPECT_EQ(LinkStat(trashFolder).st_mode & 07777, 0700u);
    EXPECT_FALSE(PathExists(top + ".Trash-" + uid));
}

// Without the sticky bit, or as a link to one elsewhere, $topdir/.Trash is no trash to use.
TEST(TrashTest, IgnoresASharedTrashWithoutTheStickyBitOrThatIsALink) {
    for (const bool asLink : {false, true}) {
        TempDir dir;
        WriteFile(dir / "vol/file", "x");
        const std::string shared = asLink ? dir / "elsewhere" : dir / "vol/.Trash";
        ASSERT_EQ(mkdir(shared.c_str(), 0777), 0);
        ASSERT_EQ(chmod(shared.c_str(), asLink ? 01777 : 0777), 0);
        if (asLink) {
            ASSERT_EQ(symlink("../elsewhere", (dir / "vol/.Trash").c_str()), 0);
        }
        std::string top = Resolved(dir / "vol");
        std::string trashedAs;
        ASSERT_TRUE(Trash(TopEnvironment(dir, top)).MoveToTrash(dir / "vol/file", &trashedAs).ok());
        EXPECT_EQ(trashedAs, top + ".Trash-" + std::to_string(geteuid()) + "/files/file");
        EXPECT_THAT(FolderNames(shared), IsEmpty()) << asLink;
    }
}

TEST(TrashTest, RefusesAUserTrashThatIsALink) {
    TempDir dir;
    WriteFile(dir / "vol/file", "x");
    ASSERT_EQ(mkdir((dir / "planted").c_str(), 0777), 0);
    std::string uid = std::to_string(geteuid());
    ASSERT_EQ(symlink("../planted", (dir / ("vol/.Trash-" + uid)).c_str()), 0);
    std::string top = Resolved(dir / "vol");
    Trash trash(TopEnvironment(dir, top));

    Status status = trash.MoveToTrash(dir / "vol/file");
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.code(), ENOTDIR) << status.message();
    EXPECT_NE(status.message().find(".Trash-" + uid), std::string::npos) << status.message();
    EXPECT_EQ(ReadFile(dir / "vol/file"), "x");
    EXPECT_THAT(FolderNames(dir / "planted"), IsEmpty());
}

TEST(TrashTest, RefusesAUserTrashOwnedBySomeoneElse) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "giving a folder to another user needs root";
    }
    TempDir dir;
    WriteFile(dir / "vol/file", "x");
    std::string uid = std::to_string(geteuid());
    std::string planted = dir / ("vol/.Trash-" + uid);
    ASSERT_EQ(mkdir(planted.c_str(), 0777), 0);
    ASSERT_EQ(chown(planted.c_str(), kUnprivilegedId, kUnprivilegedId), 0);
    Trash trash(TopEnvironment(dir, Resolved(dir / "vol")));

    Status status = trash.MoveToTrash(dir / "vol/file");
    EXPECT_EQ(status.code(), EPERM) << status.message();
    EXPECT_EQ(ReadFile(dir / "vol/file"), "x");
    EXPECT_THAT(FolderNames(planted), IsEmpty());
}

// The lookup names /dev/ as the top directory of a file on /dev/shm: a prefix of its path, but
// another file system, so nothing may be created there.
TEST(TrashTest, NeverUsesATopDirectoryOnAnotherFileSystem) {
    ShmDir shm;
    struct stat shmInfo {};
    struct stat devInfo {};
    if (shm.Path().empty() || stat(shm.Path().c_str(), &shmInfo) != 0 ||
        stat("/dev/", &devInfo) != 0 || shmInfo.st_dev == devInfo.st_dev) {
        GTEST_SKIP() << "/dev/shm is not a file system of its own here";
    }
    TempDir dir;
    WriteFile(shm.Path() + "file", "stay");
    TrashEnvironment env = TopEnvironment(dir, "/dev/");
    Trash trash(env);

    Status status = trash.MoveToTrash(shm.Path() + "file");
    EXPECT_EQ(status.code(), EXDEV) << status.message();
    EXPECT_EQ(ReadFile(shm.Path() + "file"), "stay");
    std::string stray = "/dev/.Trash-" + std::to_string(geteuid());
    EXPECT_FALSE(PathExists(stray));
    if (PathExists(stray)) {
        std::error_code error;
        std::filesystem::remove_all(stray, error);
    }
}

// A home trash said to share the file's device but really elsewhere: the rename fails with
// EXDEV, which must take the record back and never fall back to copying.
TEST(TrashTest, NeverCopiesIntoATrashOnAnotherFileSystem) {
    TempDir dir;
    ShmDir other;
    struct stat otherInfo {};
    if (other.Path().empty() || stat(other.Path().c_str(), &otherInfo) != 0 ||
        otherInfo.st_dev == LinkStat(dir.Path()).st_dev) {
        GTEST_SKIP() << "no second file system at /dev/shm";
    }
    WriteFile(dir / "file", "stay");
    TrashEnvironment env = HomeEnvironment(dir);
    env.homeTrash = other.Path() + "Trash/";
    dev_t fileDevice = LinkStat(dir / "file").st_dev;
    env.homeTrashDevice = [fileDevice](const std::string&) -> Result<dev_t> { return fileDevice; };
    Trash trash(env);

    Status status = trash.MoveToTrash(dir / "file");
    EXPECT_EQ(status.code(), EXDEV) << status.message();
    EXPECT_EQ(ReadFile(dir / "file"), "stay");
    EXPECT_THAT(FolderNames(env.homeTrash + "files"), IsEmpty());
    EXPECT_THAT(FolderNames(env.homeTrash + "info"), IsEmpty());
}

TEST(TrashTest, RefusesATopDirectoryThatDoesNotHoldTheFile) {
    TempDir dir;
    WriteFile(dir / "src/file", "x");
    ASSERT_EQ(mkdir((dir / "vol").c_str(), 0777), 0);
    Trash trash(TopEnvironment(dir, Resolved(dir / "vol")));
    Status status = trash.MoveToTrash(dir / "src/file");
    EXPECT_EQ(status.code(), EINVAL) << status.message();
    EXPECT_EQ(ReadFile(dir / "src/file"), "x");
    EXPECT_THAT(FolderNames(dir / "vol"), IsEmpty());
}

TEST(TrashTest, RefusesMissingFilesFoldersAndPathsWithoutAName) {
    TempDir dir;
    WriteFile(dir / "folder/inside", "x");
    Trash trash(HomeEnvironment(dir));
    EXPECT_EQ(trash.MoveToTrash(dir / "missing").code(), ENOENT);
    EXPECT_EQ(trash.MoveToTrash(dir / "no/such/folder/file").code(), ENOENT);
    EXPECT_EQ(trash.MoveToTrash(dir / "folder").code(), EISDIR);
    EXPECT_EQ(trash.MoveToTrash(dir / "folder/").code(), EINVAL);
    EXPECT_EQ(trash.MoveToTrash(dir / "folder/..").code(), EINVAL);
    EXPECT_EQ(ReadFile(dir / "folder/inside"), "x");
    EXPECT_THAT(FolderNames(dir / "home/.local/share/Trash/info"), IsEmpty());
}

// Root ignores permission bits, so the permission failures run as an ordinary user.
class TrashPermissionTest : public ::testing::Test {
protected:
    void SetUp() override {
        home = dir / "home/.local/share/Trash/";
        WriteFile(dir / "src/file", "precious");
        std::filesystem::create_directories(home + "files");
        std::filesystem::create_directories(home + "info");
        for (const std::string& folder :
             {dir.Path(), dir / "home", dir / "home/.local", dir / "home/.local/share", home}) {
            ASSERT_EQ(chmod(folder.c_str(), 0755), 0) << folder;
        }
        ASSERT_EQ(chmod((dir / "src").c_str(), 0777), 0);
    }

    // Trashes src/file as the ordinary user, expecting EACCES.
    void ExpectRefusedWithEacces() {
        int code = RunUnprivileged([this] {
            Status status = Trash(HomeEnvironment(dir)).MoveToTrash(dir / "src/file");
            return status.code() == EACCES ? 0 : 1;
        });
        ASSERT_NE(code, 255) << "could not drop privileges";
        EXPECT_EQ(code, 0);
    }

    TempDir dir;
    std::string home;
};

// An unwritable info folder stops the move before the rename; an unwritable files folder fails
// the rename, which must take its record back.
TEST_F(TrashPermissionTest, AnUnwritableTrashFolderLeavesTheFileInPlace) {
    for (const auto& [files, info] : {std::pair{0777, 0555}, {0555, 0777}}) {
        ASSERT_EQ(chmod((home + "files").c_str(), files), 0);
        ASSERT_EQ(chmod((home + "info").c_str(), info), 0);
        ExpectRefusedWithEacces();
        EXPECT_EQ(ReadFile(dir / "src/file"), "precious");
        EXPECT_THAT(FolderNames(home + "info"), IsEmpty());
        EXPECT_THAT(FolderNames(home + "files"), IsEmpty());
    }
}

TEST_F(TrashPermissionTest, AnUnwritableTopDirectoryGivesTheReason) {
    WriteFile(dir / "vol/sub/file", "on the volume");
    ASSERT_EQ(chmod((dir / "vol/sub").c_str(), 0777), 0);
    ASSERT_EQ(chmod((dir / "vol").c_str(), 0555), 0);
    std::string top = Resolved(dir / "vol");
    int code = RunUnprivileged([&] {
        Status status = Trash(TopEnvironment(dir, top)).MoveToTrash(dir / "vol/sub/file");
        return status.code() == EACCES && status.message().find(".Trash-") != std::string::npos ? 0
                                                                                                : 1;
    });
    ASSERT_NE(code, 255) << "could not drop privileges";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadFile(dir / "vol/sub/file"), "on the volume");
    EXPECT_THAT(FolderNames(dir / "vol"), ElementsAre("sub"));
}

}  // namespace
}  // namespace duvanto::test
