// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command-line runner as a function: arguments and streams in, exit status out, so that
// tests run it in-process.
//
// Exit status: 0 success; 1 the run met an error (or was cancelled); 2 bad usage or a folder
// that fails its check (nothing is touched then).

#include <iostream>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace duvanto {

// What a command works with: the terminal's streams and the one file system that every file
// of the command goes through, the program's own (options, task list, log, plans) included.
struct CliStreams {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    IFileSystem& fileSystem;
    bool interactive = false;  // standard input and output are a terminal
};

int RunCli(const std::vector<std::string>& args, CliStreams streams);
int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace duvanto
