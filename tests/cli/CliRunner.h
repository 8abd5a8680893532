#pragma once
// Runs duvanto-cli in-process with a program folder, and keeps what it wrote with the
// temporary folder's path shortened to "~/", so that expectations read like the tree.

#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "util/PathStrings.h"

namespace duvanto::test {

struct CliRunner {
    std::string home;
    std::string shorten;  // this prefix becomes "~/" in out and err
    std::string out;
    std::string err;

    int Run(std::vector<std::string> args, const std::string& input = "") {
        args.insert(args.begin(), {"duvanto-cli", "--home", home});
        std::istringstream in(input);
        std::ostringstream outStream, errStream;
        int code = RunCli(args, CliStreams{in, outStream, errStream, false});
        out = ReplaceString(outStream.str(), shorten, "~/");
        err = ReplaceString(errStream.str(), shorten, "~/");
        return code;
    }
};

}  // namespace duvanto::test
