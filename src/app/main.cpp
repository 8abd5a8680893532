#include "app/widgets/DesktopProgram.h"

int main(int argc, char** argv) {
    return duvanto::RunDesktopProgram(argc, argv);
}
