// SPDX-License-Identifier: GPL-3.0-or-later
#include <clocale>
#include <iostream>

#include "cli/Cli.h"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    return duvanto::RunCli(argc, argv, std::cout, std::cerr);
}
