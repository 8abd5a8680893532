// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FolderCheck.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <filesystem>

#include "support/TestSupport.h"

namespace duvanto::test {
namespace {

using ::testing::HasSubstr;

TEST(GetInvalidPathErrorMsgTest, EachStatusHasItsText) {
    const std::string p = "An error occurred while processing \"/x/\".\r\n";
    EXPECT_EQ(GetInvalidPathErrorMsg(-1, "", 0), "No Folder path provided.");
    EXPECT_EQ(GetInvalidPathErrorMsg(0, "/x/", 0), "");
    EXPECT_EQ(
        GetInvalidPathErrorMsg(1, "C", 0),
        "\"C\" is not a valid path.\r\nPaths must contain at least two characters.\r\nex)  C:");
    EXPECT_EQ(GetInvalidPathErrorMsg(2, "/x/", 0),
              p + "Make sure that the drive exists and that you have permission to access it.");
    EXPECT_EQ(GetInvalidPathErrorMsg(2, "/x/", 2),
              "Error Number: 2\r\n\r\nAn unexpected error occurred while accessing /x/");
    EXPECT_EQ(GetInvalidPathErrorMsg(3, "/x/", 0),
              p + "The drive is not ready. Please insert/connect the drive.");
    EXPECT_EQ(GetInvalidPathErrorMsg(4, "/x/", 0),
              p + "Make sure that the folder exists and that you have permission to access it.");
    EXPECT_EQ(GetInvalidPathErrorMsg(5, "/x/", 0),
              p + "You do not have permission to access this folder.  Please see your Network "
                  "Administrator.");
    EXPECT_EQ(GetInvalidPathErrorMsg(6, "/x/", 5),
              "Error Number: 5\r\n\r\nAn unexpected error occurred while accessing /x/");
    EXPECT_EQ(GetInvalidPathErrorMsg(7, "/x/", 0), "");
}

// The verdict on two folders of the temporary folder.
std::string Apart(const TempDir& temp, const std::string& source, const std::string& target) {
    return CheckSourceTargetApart(temp / source, temp / target);
}

TEST(CheckSourceTargetApartTest, NestedOrSameFoldersAreCaughtThroughLinks) {
    TempDir temp;
    std::filesystem::create_directories(temp / "S/inner");
    std::filesystem::create_directories(temp / "T");
    std::filesystem::create_directories(temp / "S-sibling");
    ASSERT_EQ(symlink((temp / "S").c_str(), (temp / "alias").c_str()), 0);

    EXPECT_EQ(Apart(temp, "S/", "T/"), "");
    // A name that merely begins like the Source is not inside it.
    EXPECT_EQ(Apart(temp, "S/", "S-sibling/"), "");
    // The folders are named as the user gave them, not as the links resolve.
    const std::string s = temp / "S/";
    const std::string end = "\". A folder cannot be cloned into itself.";
    EXPECT_EQ(Apart(temp, "S/", "alias/"),
              "The Target folder \"" + temp / "alias/" + "\" is the Source folder \"" + s + end);
    EXPECT_EQ(Apart(temp, "S/", "alias/inner/"), "The Target folder \"" + temp / "alias/inner/" +
                                                     "\" lies inside the Source folder \"" + s +
                                                     end);
    EXPECT_EQ(
        Apart(temp, "S/inner/", "S/"),
        "The Target folder \"" + s + "\" contains the Source folder \"" + temp / "S/inner/" + end);
}

// A bind mount for the length of a test; mounting needs root.
class BindMount {
public:
    BindMount(const std::string& from, const std::string& to) : m_to(to) {
        m_mounted = mount(from.c_str(), to.c_str(), nullptr, MS_BIND, nullptr) == 0;
        m_error = m_mounted ? "" : strerror(errno);
    }
    ~BindMount() {
        if (m_mounted) {
            umount2(m_to.c_str(), MNT_DETACH);
        }
    }
    bool Mounted() const { return m_mounted; }
    const std::string& Error() const { return m_error; }

private:
    std::string m_to;
    bool m_mounted;
    std::string m_error;
};

TEST(CheckSourceTargetApartTest, NestingThroughABindMountIsCaught) {
    TempDir temp;
    std::filesystem::create_directories(temp / "S/inner");
    std::filesystem::create_directories(temp / "T/sub");
    std::filesystem::create_directories(temp / "T2");
    std::filesystem::create_directories(temp / "S2");
    {
        // The Target is the Source's subfolder under another name.
        BindMount bind(temp / "S/inner", temp / "T2");
        if (!bind.Mounted()) {
            GTEST_SKIP() << "cannot bind-mount here (" << bind.Error() << ")";
        }
        EXPECT_THAT(Apart(temp, "S/", "T2/"), HasSubstr("lies inside"));
        EXPECT_THAT(Apart(temp, "T2/", "S/"), HasSubstr("contains"));
        EXPECT_THAT(Apart(temp, "S/inner/", "T2/"), HasSubstr("is the Source"));
        EXPECT_EQ(Apart(temp, "T/", "T2/"), "");
    }
    {
        // The Source is the Target's subfolder under another name.
        BindMount bind(temp / "T/sub", temp / "S2");
        ASSERT_TRUE(bind.Mounted()) << bind.Error();
        EXPECT_THAT(Apart(temp, "S2/", "T/"), HasSubstr("contains"));
        EXPECT_EQ(Apart(temp, "S2/", "S/"), "");
    }
}

}  // namespace
}  // namespace duvanto::test
