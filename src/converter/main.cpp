// pictel: converts one picture per run, BLP1 to 32-bit TGA or TGA to BLP1.
#include "command_line.h"
#include "pictel_flow.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return pictel::run_pictel(arguments, stderr, pictel::temporary_folder_from_environment());
}
