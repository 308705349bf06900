#include "CliApplication.h"

#include <QCoreApplication>
#include <iostream>

int main(int argc, char* argv[]) {
    // The run engine's timers and worker hand-overs need an event loop on this thread.
    QCoreApplication qtApp(argc, argv);
    const std::vector<std::string> args(argv + 1, argv + argc);
    harvexa::CliApplication app(std::cout, std::cerr);
    return app.Run(args);
}
