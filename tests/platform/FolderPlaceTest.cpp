// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FolderPlace.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "support/TestSupport.h"

namespace duvanto::test {
namespace {

TEST(FolderPlaceTest, MountEntriesAreFoundByIdAndDecoded) {
    TempDir dir;
    WriteFile(dir / "mountinfo",
              "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
              "45 22 8:1 /srv/my\\040data /mnt/bind\\040point rw - ext4 /dev/sda1 rw\n"
              "46 22 0:40 / /tmp rw - tmpfs tmpfs rw\n");
    std::string fileSystem, root, mountPoint;
    ASSERT_TRUE(FindMountById(dir / "mountinfo", 45, fileSystem, root, mountPoint));
    EXPECT_EQ(fileSystem, "8:1");
    EXPECT_EQ(root, "/srv/my data");
    EXPECT_EQ(mountPoint, "/mnt/bind point");
    EXPECT_FALSE(FindMountById(dir / "mountinfo", 4, fileSystem, root, mountPoint));
}

TEST(FolderPlaceTest, LineageClimbsToTheRootAndPlaceIgnoresLinks) {
    TempDir dir;
    std::filesystem::create_directories(dir / "a/b");
    ASSERT_EQ(symlink((dir / "a/b").c_str(), (dir / "link").c_str()), 0);
    Result<FolderPlace> real = LocateFolder(dir / "a/b/");
    Result<FolderPlace> viaLink = LocateFolder(dir / "link/");
    Result<FolderPlace> parent = LocateFolder(dir / "a/");
    Result<FolderPlace> top = LocateFolder("/");
    ASSERT_TRUE(real.ok() && viaLink.ok() && parent.ok() && top.ok());
    EXPECT_EQ(real.value().lineage, viaLink.value().lineage);
    EXPECT_EQ(real.value().lineage[1], parent.value().lineage[0]);
    EXPECT_EQ(real.value().lineage.back(), top.value().lineage[0]);
    EXPECT_EQ(top.value().lineage.size(), 1u);
    if (!real.value().fileSystem.empty()) {
        EXPECT_EQ(real.value().pathInFileSystem, viaLink.value().pathInFileSystem);
        EXPECT_TRUE(real.value().pathInFileSystem.ends_with("/a/b"))
            << real.value().pathInFileSystem;
    }
    EXPECT_FALSE(LocateFolder(dir / "missing/").ok());
}

}  // namespace
}  // namespace duvanto::test
