#include "engine/FolderCheck.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "support/TestSupport.h"

namespace duvanto::test {
namespace {

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

TEST(CheckSourceTargetApartTest, NestedOrSameFoldersAreCaughtThroughLinks) {
    TempDir temp;
    std::filesystem::create_directories(temp / "S/inner");
    std::filesystem::create_directories(temp / "T");
    std::filesystem::create_directories(temp / "S-sibling");
    ASSERT_EQ(symlink((temp / "S").c_str(), (temp / "alias").c_str()), 0);

    EXPECT_EQ(CheckSourceTargetApart(temp / "S/", temp / "T/"), "");
    // A name that merely begins like the Source is not inside it.
    EXPECT_EQ(CheckSourceTargetApart(temp / "S/", temp / "S-sibling/"), "");
    EXPECT_NE(CheckSourceTargetApart(temp / "S/", temp / "alias/").find("is the Source folder"),
              std::string::npos);
    EXPECT_NE(CheckSourceTargetApart(temp / "S/", temp / "alias/inner/").find("lies inside"),
              std::string::npos);
    EXPECT_NE(CheckSourceTargetApart(temp / "S/inner/", temp / "S/").find("contains"),
              std::string::npos);
}

}  // namespace
}  // namespace duvanto::test
