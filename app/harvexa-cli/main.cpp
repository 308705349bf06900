#include "CliApplication.h"

#include <iostream>

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    harvexa::CliApplication app(std::cout, std::cerr);
    return app.Run(args);
}
