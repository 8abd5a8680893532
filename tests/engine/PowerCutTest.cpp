// SPDX-License-Identifier: GPL-3.0-or-later
// A power cut right after a clone, on a real file system: XFS in an image, shut down without
// writing its log (as a power cut leaves it) after another program's fsync wrote the log up to
// the clone's renames. Every Target file must then be its old version whole or its new one
// whole, and the next run must repair whatever is not new.

#include <sys/mount.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/EngineFixture.h"

namespace duvanto::test {
namespace {

constexpr int64_t kOld = 1'000'000'000;
constexpr int64_t kNew = 1'500'000'000;
constexpr int kFiles = 40;

// Runs a shell command quietly; whether it succeeded.
bool Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

// Bytes that tell file, version and position apart, so that a mix of versions shows.
std::string Bytes(int file, char version, std::size_t size) {
    std::string bytes(size, '\0');
    uint32_t state = static_cast<uint32_t>(file * 131 + version);
    for (char& c : bytes) {
        state = state * 1664525u + 1013904223u;
        c = static_cast<char>(state >> 24);
    }
    return bytes;
}

std::string Name(int file) {
    return "f" + std::to_string(file) + ".bin";
}

// The image mounted for the test's length.
class MountedImage {
public:
    MountedImage(std::string image, std::string folder)
        : m_image(std::move(image)), m_folder(std::move(folder)) {}
    ~MountedImage() { Unmount(); }
    MountedImage(const MountedImage&) = delete;
    MountedImage& operator=(const MountedImage&) = delete;

    bool Mount() {
        m_mounted = Shell("mount -o loop " + Quoted(m_image) + " " + Quoted(m_folder));
        return m_mounted;
    }
    void Unmount() {
        if (m_mounted) {
            m_mounted = !Shell("umount " + Quoted(m_folder));
        }
    }

private:
    std::string m_image;
    std::string m_folder;
    bool m_mounted = false;
};

class PowerCutTest : public EngineFixture {
protected:
    // An XFS image mounted in the temporary folder, the Target in it, and the files: old
    // versions in the Target (on the disk), new ones in the Source. The last file is new.
    // Skips the test where that cannot be.
    void SetUp() override {
        if (!RunningAsRoot()) {
            GTEST_SKIP() << "mounting a file system image needs root";
        }
        if (!Shell("command -v mkfs.xfs") || !Shell("command -v xfs_io")) {
            GTEST_SKIP() << "mkfs.xfs and xfs_io are missing (package xfsprogs)";
        }
        // XFS wants 300 MiB at least; the image is sparse.
        ASSERT_TRUE(Shell("truncate -s 320M " + Quoted(m_image)));
        ASSERT_TRUE(Shell("mkfs.xfs -q -f " + Quoted(m_image)));
        MakeFolder(m_mounted);
        if (!m_volume.Mount()) {
            GTEST_SKIP() << "cannot mount an image here (no loop devices?)";
        }
        // The Source lies elsewhere, so that the copies write their data rather than share
        // blocks with it.
        target = m_mounted + "T/";
        MakeFolder(target);
        for (int i = 0; i < kFiles; ++i) {
            // Some new versions keep the old size, some do not.
            const std::size_t size = 4096 + static_cast<std::size_t>(i) * 12288;
            older.push_back(i == kFiles - 1 ? std::string()
                                            : Bytes(i, 'o', i % 2 == 0 ? size : size / 2));
            newer.push_back(Bytes(i, 'n', size));
            File(source + Name(i), newer[i], kNew);
            if (i != kFiles - 1) {
                File(target + Name(i), older[i], kOld);
            }
        }
        ASSERT_TRUE(Shell("sync -f " + Quoted(target)));
    }

    // Another program's fsync writes the log, with whatever renames came before it; then the
    // power goes, and comes back.
    void PowerCut() {
        held.reset();  // nothing of the run may keep the volume busy
        File(m_mounted + "other.txt", "another program's file");
        ASSERT_TRUE(Shell("xfs_io -c fsync " + Quoted(m_mounted + "other.txt")));
        ASSERT_TRUE(Shell("xfs_io -x -c shutdown " + Quoted(m_mounted)));
        m_volume.Unmount();
        ASSERT_TRUE(m_volume.Mount()) << "the volume did not come back";
    }

    // Each file that had an old version holds it or the new one whole; the new file is absent,
    // short or whole. The count of new versions.
    int ExpectOldOrNewWhole() {
        int whole = 0;
        for (int i = 0; i < kFiles; ++i) {
            const std::string path = target + Name(i);
            if (i == kFiles - 1) {
                // A new name has no old version to keep; short, the next run repairs it.
                const std::string now = PathExists(path) ? ReadFile(path) : std::string();
                EXPECT_TRUE(newer[i].starts_with(now)) << Name(i);
                continue;
            }
            const std::string now = ReadFile(path);
            EXPECT_TRUE(now == older[i] || now == newer[i])
                << Name(i) << ": " << now.size() << " bytes, old " << older[i].size() << ", new "
                << newer[i].size();
            whole += now == newer[i] ? 1 : 0;
        }
        return whole;
    }

    std::vector<std::string> older, newer;

private:
    std::string m_image = temp / "xfs.img";
    std::string m_mounted = temp / "xfs/";
    MountedImage m_volume{m_image, m_mounted};

protected:
    // Roots a test holds itself; given up at the power cut, and before the volume goes.
    std::unique_ptr<IHeldRoots> held;
};

TEST_F(PowerCutTest, AfterACloneEveryFileIsOldOrNewWholeAndTheNextRunRepairsTheRest) {
    ASSERT_EQ(CloneAll(), StepResult::Ok);
    PowerCut();
    RecordProperty("new versions whole", ExpectOldOrNewWhole());

    NextRun();
    ASSERT_EQ(CloneAll(), StepResult::Ok);
    for (int i = 0; i < kFiles; ++i) {
        EXPECT_EQ(ReadFile(target + Name(i)), newer[i]) << Name(i) << " was not repaired";
    }
}

// The single copy that Safe Copy and copies into a read-only folder make.
TEST_F(PowerCutTest, ASingleCopyOverAFileIsOldOrNewWhole) {
    // As in a run: nothing is changed but below the folders held.
    Result<std::unique_ptr<IHeldRoots>> roots = fileSystem.OpenRoots({source, target});
    ASSERT_TRUE(roots.ok());
    held = std::move(roots.value());
    for (int i = 0; i < kFiles; ++i) {
        ASSERT_TRUE(held->CopyFile(source + Name(i), target + Name(i), CopyOptions{}, {}).ok())
            << Name(i);
    }
    PowerCut();
    RecordProperty("new versions whole", ExpectOldOrNewWhole());
}

}  // namespace
}  // namespace duvanto::test
