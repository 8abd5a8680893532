// SPDX-License-Identifier: GPL-3.0-or-later
// The runner on a real exFAT file system (a USB stick's), mounted from an image through FUSE, and
// the same Source cloned to the test's own disk: exFAT folds letter case and refuses some
// characters, so the two Targets must end up differently, each as its file system allows.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "support/TestSupport.h"

namespace duvanto::test {
namespace {

namespace fs = std::filesystem;

bool Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

class ExfatTargetCliTest : public CliFolders {
protected:
    void SetUp() override {
        if (!RunningAsRoot()) {
            GTEST_SKIP() << "mounting an exFAT image needs root";
        }
        if (!Shell("command -v mkfs.exfat") || !Shell("command -v mount.exfat-fuse")) {
            GTEST_SKIP() << "mkfs.exfat or mount.exfat-fuse is missing (packages exfatprogs, "
                            "exfat-fuse)";
        }
        ASSERT_TRUE(Shell("truncate -s 64M '" + m_image + "'"));
        ASSERT_TRUE(Shell("mkfs.exfat '" + m_image + "'"));
        fs::create_directories(m_stick);
        if (!Shell("mount -t exfat-fuse -o loop '" + m_image + "' '" + m_stick + "'")) {
            GTEST_SKIP() << "cannot mount an exFAT image here (no loop device or no FUSE)";
        }
        m_mounted = true;
        WriteFile(source + "a.txt", "small");
        WriteFile(source + "A.txt", "CAPITAL");
        WriteFile(source + "bad:name?.txt", "b");
        fs::create_directories(source + "Photos");
        WriteFile(source + "Photos/Photo.JPG", "p");
    }
    void TearDown() override {
        if (m_mounted) {
            Shell("umount '" + m_stick + "'");
        }
    }
    std::vector<std::string> Tree(const std::string& root) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            names.push_back(entry.path().string().substr(root.size()));
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string m_image = temp / "stick.img";
    std::string m_stick = temp / "stick/";
    bool m_mounted = false;
};

const char kCollision[] =
    "*Target Name Error: a.txt and A.txt differ only in letter case; the Target folder cannot "
    "hold both  a.txt from ~/S/ to ~/stick/";
const char kRefused[] =
    "*Target Name Error: the Target's file system cannot hold this name (it has : ?)  "
    "bad:name?.txt from ~/S/ to ~/stick/";

TEST_F(ExfatTargetCliTest, TwoRunsSettleWithOneCopyAndTheSameErrorsAndACaseRenameIsARename) {
    EXPECT_EQ(Run({"clone", source, m_stick}), 1);
    EXPECT_EQ(Log(), (std::vector<std::string>{
                         "<Begin: Command Line Clone>",
                         kCollision,
                         kRefused,
                         "- Copied: A.txt from ~/S/ to ~/stick/",
                         "- Created Folder: ~/stick/Photos/",
                         "- Copied: Photo.JPG from ~/S/Photos/ to ~/stick/Photos/",
                         "<End: Command Line Clone> {All Activity Logged}",
                         "",
                     }));
    EXPECT_EQ(Tree(m_stick), (std::vector<std::string>{"A.txt", "Photos", "Photos/Photo.JPG"}));
    EXPECT_EQ(ReadFile(m_stick + "A.txt"), "CAPITAL");

    // The second run writes nothing and says the same.
    fs::remove(home + "clone.log");
    EXPECT_EQ(Run({"clone", source, m_stick}), 1);
    EXPECT_EQ(Log(),
              (std::vector<std::string>{"<Begin: Command Line Clone>", kCollision, kRefused,
                                        "<End: Command Line Clone> {All Activity Logged}", ""}));

    // Renamed in case only, in the Source: renamed on the stick, nothing copied.
    fs::rename(source + "Photos/Photo.JPG", source + "Photos/photo.jpg");
    fs::rename(source + "Photos", source + "photos");
    EXPECT_EQ(Run({"plan", source, m_stick}), 0);
    EXPECT_EQ(out,
              "     CANNOT COPY FILE     \"a.txt\"  FROM  ~/S/  TO  ~/stick/\n"
              "     CANNOT COPY FILE     \"bad:name?.txt\"  FROM  ~/S/  TO  ~/stick/\n"
              "     RENAME FOLDER     \"Photos\"  TO  \"photos\"  IN  ~/stick/\n"
              "     RENAME FILE     \"Photo.JPG\"  TO  \"photo.jpg\"  IN  ~/stick/Photos/\n");
    fs::remove(home + "clone.log");
    EXPECT_EQ(Run({"clone", source, m_stick}), 1);
    EXPECT_EQ(Log(), (std::vector<std::string>{
                         "<Begin: Command Line Clone>",
                         kCollision,
                         kRefused,
                         "- Renamed: Photo.JPG to photo.jpg in ~/stick/Photos/",
                         "- Renamed: Photos to photos in ~/stick/",
                         "<End: Command Line Clone> {All Activity Logged}",
                         "",
                     }));
    EXPECT_EQ(Tree(m_stick), (std::vector<std::string>{"A.txt", "photos", "photos/photo.jpg"}));
}

TEST_F(ExfatTargetCliTest, ATargetThatKeepsCaseApartHoldsEveryNameAsBefore) {
    EXPECT_EQ(Run({"clone", source, target}), 0);
    EXPECT_EQ(Tree(target), (std::vector<std::string>{"A.txt", "Photos", "Photos/Photo.JPG",
                                                      "a.txt", "bad:name?.txt"}));
    fs::rename(source + "Photos/Photo.JPG", source + "Photos/photo.jpg");
    EXPECT_EQ(Run({"plan", source, target}), 0);
    EXPECT_EQ(out,
              "     DELETE FILE     \"Photo.JPG\"  FROM  ~/T/Photos/\n"
              "     COPY FILE     \"photo.jpg\"  FROM  ~/S/Photos/  TO  ~/T/Photos/\n");
}

}  // namespace
}  // namespace duvanto::test
