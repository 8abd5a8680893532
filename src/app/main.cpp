// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow/QtDesktopProgram.h"

int main(int argc, char** argv) {
    return duvanto::RunDesktopProgram(argc, argv);
}
