// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs duvanto-cli in-process with a program folder, and keeps what it wrote with the
// temporary folder's path shortened to "~/", so that expectations read like the tree.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "support/FaultyFileSystem.h"
#include "support/TestSupport.h"
#include "tasks/Trees.h"
#include "util/PathStrings.h"

namespace duvanto::test {

// A Source, a Target and a program folder (made by the runner when it first needs it) in a
// temporary folder, whose own trash keeps deletions to the trash in here; the runner's files
// go through a file system that can fail them.
class CliFolders : public ::testing::Test {
protected:
    CliFolders() {
        std::filesystem::create_directories(source);
        std::filesystem::create_directories(target);
        setenv("XDG_DATA_HOME", (temp / "data").c_str(), 1);
    }

    // Runs duvanto-cli in-process with the arguments; out and err receive its streams.
    int Run(std::vector<std::string> args, const std::string& input = "") {
        args.insert(args.begin(), {"duvanto-cli", "--home", home});
        std::istringstream in(input);
        std::ostringstream outStream, errStream;
        const int code = RunCli(args, CliStreams{in, outStream, errStream, fileSystem, false});
        out = ReplaceString(outStream.str(), temp.Path(), "~/");
        err = ReplaceString(errStream.str(), temp.Path(), "~/");
        return code;
    }
    // The program folder's log without timestamps, paths shortened.
    std::vector<std::string> Log() const {
        return LogTails(ReplaceString(ReadFile(home + "clone.log"), temp.Path(), "~/"));
    }

    TempDir temp;
    FaultyFileSystem fileSystem{TrashInside(temp / "data/")};
    std::string source = temp / "S/", target = temp / "T/", home = temp / "home/";
    std::string out, err;
};

}  // namespace duvanto::test
